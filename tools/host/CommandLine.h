#pragma once

#include "tools/host/AudioFile.h"
#include "tools/host/PluginState.h"
#include "tools/host/Renderer.h"
#include "tools/host/Status.h"

#include <string>
#include <vector>

namespace ksphost {

enum class Command { Help, Version, Info, Render, Preset, Example, Snapshot };

struct Options {
    Command command = Command::Help;
    Command helpFor = Command::Help; // the command whose usage --help shows; Help for all
    std::string plugin;
    std::string input;
    std::string output;
    StateOptions state;
    RenderSettings render;
    RawFormat raw;
    bool rawFormatGiven = false;
    double seconds = 8.0; // length of the example material
};

// args are the arguments after the program name.
Result<Options> ParseCommandLine(const std::vector<std::string>& args);
// The usage of command, or of every command for Command::Help.
std::string UsageText(Command command = Command::Help);

} // namespace ksphost
