#pragma once

#include "tools/host/Plugin.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace ksphost {

struct FlagName {
    uint32_t bit;
    const char* name;
};

// The names of the bits set in flags, the rest as a number; "none" for no bit.
std::string FlagNames(uint32_t flags, const FlagName* names, size_t count);

// What a host sees of the plug-in, as text: descriptor, names, parameters, programs, pins and
// capabilities.
std::string DescribePlugin(Plugin& plugin);

} // namespace ksphost
