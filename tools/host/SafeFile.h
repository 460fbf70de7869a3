#pragma once

#include "tools/host/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ksphost {

// Files appear whole or not at all: they are written under a temporary name beside their target
// and renamed when complete. A path that is a symbolic link is written through: the link stays
// and its target gets the new content.

struct OutputFile {
    std::string path;      // as the user named it, for messages
    std::string target;    // the file that receives the content
    std::string temporary; // where it is written until complete
};

// Where a file named path is written.
OutputFile PlanOutput(const std::string& path);
// Renames the finished temporary file onto the target; removes it if that fails.
Status CommitFile(const OutputFile& file);
// Writes bytes to path through a temporary file.
Status WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// The bytes of the file at path; the caller owns them.
Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// Whether path names an existing file that can be read: not a directory.
Status CheckInputFile(const std::string& path);
// Whether path (or the file its link leads to) may be created or replaced.
Status CheckOutputFile(const std::string& path);

} // namespace ksphost
