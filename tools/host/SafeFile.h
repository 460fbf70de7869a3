#pragma once

#include "tools/host/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ksphost {

// Files appear whole or not at all: they are written under a temporary name in the target's
// directory and renamed when complete.

// The temporary name used while writing target.
std::string TemporaryPathFor(const std::string& target);
// Renames the finished temporary file to target; removes it if that fails.
Status CommitFile(const std::string& temporary, const std::string& target);
// Writes bytes to path through a temporary file.
Status WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

} // namespace ksphost
