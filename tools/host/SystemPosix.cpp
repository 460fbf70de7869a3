#include "tools/host/System.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace ksphost {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool RenameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

PathKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return PathKind::Missing;
    }
    if (S_ISREG(info.st_mode)) {
        return PathKind::File;
    }
    return S_ISDIR(info.st_mode) ? PathKind::Directory : PathKind::Other;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {};
    struct stat y {};
    return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

std::string ResolveLinks(const std::string& path) {
    // As many links in a row as the kernel itself follows.
    constexpr int kMostLinks = 40;
    std::string current = path;
    for (int i = 0; i < kMostLinks; ++i) {
        char target[PATH_MAX];
        const ssize_t n = readlink(current.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof target) {
            break;
        }
        std::string next(target, static_cast<size_t>(n));
        const size_t slash = current.find_last_of('/');
        if (next[0] != '/' && slash != std::string::npos) {
            next = current.substr(0, slash + 1) + next;
        }
        current = next;
    }
    return current;
}

int64_t FileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

std::string LastFileError() {
    return std::strerror(errno);
}

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

long ProcessId() {
    return static_cast<long>(getpid());
}

Result<std::unique_ptr<DynamicLibrary>> DynamicLibrary::Open(const std::string& path) {
    // A name without a slash would be looked for along the library path, not in this folder.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        return Status::Error("cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason"));
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
    dlclose(handle);
}

void* DynamicLibrary::Symbol(const char* name) const {
    return dlsym(handle, name);
}

} // namespace ksphost
