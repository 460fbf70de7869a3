#pragma once

#include "tools/host/Plugin.h"
#include "tools/host/Status.h"

#include <string>
#include <vector>

namespace ksphost {

// The state options a command applies to a plug-in, in this order: load a preset file,
// select a program, set parameters; then save a preset file.
struct StateOptions {
    std::string loadPreset;
    std::string program;               // a program number (from 0) or name
    std::vector<std::string> settings; // NAME=VALUE
    std::string savePreset;
};

// Applies loadPreset, program and settings; adds a line per change to report.
Status ApplyState(Plugin& plugin, const StateOptions& options, std::vector<std::string>& report);

// Whether path names a preset file this host writes: *.fxp (program) or *.fxb (bank).
Status CheckPresetPath(const std::string& path);
// The current program (.fxp) or all programs (.fxb) as preset file bytes.
Result<std::vector<uint8_t>> MakePresetFile(Plugin& plugin, const std::string& path);

} // namespace ksphost
