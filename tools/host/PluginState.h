#pragma once

#include "tools/host/Instance.h"
#include "tools/host/Plugin.h"
#include "tools/host/Status.h"

#include <string>
#include <vector>

namespace ksphost {

// One --set (a value as the parameter shows it) or --set-normalized (a value from 0 to 1).
struct Setting {
    std::string text; // NAME=VALUE
    bool normalized = false;
};

// The state options a command applies to a plug-in, in this order: load a preset file,
// select a program, set parameters; then save a preset file.
struct StateOptions {
    std::string loadPreset;
    std::string program; // a program number (from 0) or name
    std::vector<Setting> settings;
    std::string savePreset;
};

// Applies loadPreset, program and settings; adds a line per change to report. The settings'
// order does not matter: values that depend on other parameters (a note value while tempo sync is
// switched on) are found once those are set.
Status ApplyState(PluginInstance& plugin, const StateOptions& options, std::vector<std::string>& report);

// Drives the plug-in's dispatcher. Loads a .fxp or .fxb file: the plug-in's chunk, or its
// parameter values.
Status LoadPresetFile(Plugin& plugin, const std::string& path);

// Whether path names a preset file this host writes: *.fxp (program) or *.fxb (bank).
Status CheckPresetPath(const std::string& path);
// Drives the plug-in's dispatcher. The current program (.fxp) or all programs
// (.fxb) as preset file bytes, owned by the caller: the plug-in's chunk when it keeps its state as
// one, else its parameter values.
Result<std::vector<uint8_t>> MakePresetFile(Plugin& plugin, const std::string& path);

} // namespace ksphost
