#pragma once

#include "tools/host/Plugin.h"

#include <string>

namespace ksphost {

// What a host sees of the plug-in, as text: descriptor, names, parameters, programs, pins and
// capabilities.
std::string DescribePlugin(Plugin& plugin);

} // namespace ksphost
