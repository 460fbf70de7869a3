#pragma once

#include "tools/host/Status.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace ksphost {

// Operating-system services, with paths given as UTF-8 on every platform.

// The program's arguments (without the program name) as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

std::FILE* OpenFile(const std::string& path, const char* mode);
// Moves from over to, replacing an existing file.
bool RenameOver(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);

enum class PathKind { Missing, File, Directory, Other };
// What path names, following symbolic links.
PathKind KindOfPath(const std::string& path);
// Whether a and b both exist and are one file, whatever the paths or links that lead to it.
bool SameFile(const std::string& a, const std::string& b);
// The file a symbolic link at path leads to (the link's final target, which need not exist yet);
// path itself when it is no link.
std::string ResolveLinks(const std::string& path);
// Size in bytes, or -1.
int64_t FileSize(const std::string& path);
// The reason for the last failed file operation, e.g. "No such file or directory".
std::string LastFileError();

bool StderrIsTerminal();
long ProcessId();

// A shared library loaded into the process; unloaded when destroyed.
class DynamicLibrary {
public:
    static Result<std::unique_ptr<DynamicLibrary>> Open(const std::string& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The address of an exported symbol, or none.
    void* Symbol(const char* name) const;
    // What the system's loader answered: a dlopen handle or a module handle.
    void* Handle() const { return handle; }

private:
    explicit DynamicLibrary(void* h) : handle(h) {}
    void* handle;
};

} // namespace ksphost
