#include "tools/host/CommandLine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace ksphost {

namespace {

enum class Takes { Nothing, Value };

struct OptionSpec {
    Takes takes;
    std::vector<Command> commands;
};

const std::map<std::string, OptionSpec>& OptionSpecs() {
    static const std::vector<Command> state = {Command::Info, Command::Render, Command::Preset,
                                               Command::Snapshot};
    static const std::vector<Command> render = {Command::Render};
    static const std::map<std::string, OptionSpec> specs = {
        {"--load-preset", {Takes::Value, state}},
        {"--save-preset", {Takes::Value, state}},
        {"--program", {Takes::Value, state}},
        {"--set", {Takes::Value, state}},
        {"--set-normalized", {Takes::Value, state}},
        {"--mono", {Takes::Value, render}},
        {"--tail", {Takes::Value, render}},
        {"--compensate-latency", {Takes::Nothing, render}},
        {"--block", {Takes::Value, render}},
        {"--precision", {Takes::Value, render}},
        {"--tempo", {Takes::Value, render}},
        {"--playing", {Takes::Nothing, render}},
        {"--rate", {Takes::Value, render}},
        {"--channels", {Takes::Value, render}},
        {"--seconds", {Takes::Value, {Command::Example}}},
    };
    return specs;
}

bool ParseNumber(const std::string& text, double low, double high, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value) && value >= low && value <= high;
}

bool ParseInteger(const std::string& text, long low, long high, long& value) {
    if (text.empty() || text.size() > 12) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

Status ApplyOption(Options& options, const std::string& name, const std::string& value) {
    long integer = 0;
    double number = 0.0;
    if (name == "--load-preset") {
        options.state.loadPreset = value;
    } else if (name == "--save-preset") {
        options.state.savePreset = value;
    } else if (name == "--program") {
        options.state.program = value;
    } else if (name == "--set" || name == "--set-normalized") {
        if (value.find('=') == std::string::npos) {
            return Status::Error(name + " needs NAME=VALUE, not '" + value + "'");
        }
        options.state.settings.push_back(Setting{value, name == "--set-normalized"});
    } else if (name == "--mono") {
        if (value != "mix" && value != "left") {
            return Status::Error("--mono is mix or left, not '" + value + "'");
        }
        options.render.monoInput = value == "mix" ? MonoInput::Mix : MonoInput::Left;
    } else if (name == "--tail") {
        if (!ParseNumber(value, 0.0, 3600.0, number)) {
            return Status::Error("--tail needs seconds from 0 to 3600, not '" + value + "'");
        }
        options.render.tailSeconds = number;
    } else if (name == "--compensate-latency") {
        options.render.compensateLatency = true;
    } else if (name == "--block") {
        if (!ParseInteger(value, 1, 1 << 20, integer)) {
            return Status::Error("--block needs a number of frames from 1 to 1048576, not '" + value + "'");
        }
        options.render.blockSize = static_cast<VstInt32>(integer);
    } else if (name == "--precision") {
        if (value != "single" && value != "double") {
            return Status::Error("--precision is single or double, not '" + value + "'");
        }
        options.render.doublePrecision = value == "double";
    } else if (name == "--tempo") {
        if (!ParseNumber(value, 1.0, 999.0, number)) {
            return Status::Error("--tempo needs beats per minute from 1 to 999, not '" + value + "'");
        }
        options.render.transport.tempo = number;
    } else if (name == "--playing") {
        options.render.transport.playing = true;
    } else if (name == "--rate") {
        if (!ParseInteger(value, 1, 10000000, integer)) {
            return Status::Error("--rate needs a sample rate in Hz, not '" + value + "'");
        }
        options.raw.sampleRate = static_cast<int>(integer);
        options.rawFormatGiven = true;
    } else if (name == "--channels") {
        if (!ParseInteger(value, 1, 64, integer)) {
            return Status::Error("--channels needs a channel count from 1 to 64, not '" + value + "'");
        }
        options.raw.channels = static_cast<int>(integer);
        options.rawFormatGiven = true;
    } else if (name == "--seconds") {
        if (!ParseNumber(value, 0.001, 3600.0, number)) {
            return Status::Error("--seconds needs a length from 0.001 to 3600, not '" + value + "'");
        }
        options.seconds = number;
    }
    return Status();
}

// command is the command's name as given.
Status CheckPositionals(Options& options, const std::string& command,
                        const std::vector<std::string>& positionals) {
    const bool render = options.command == Command::Render;
    const bool snapshot = options.command == Command::Snapshot;
    const size_t needed = render ? 3 : snapshot ? 2 : 1;
    if (positionals.size() < needed) {
        const char* synopsis = render                                ? "PLUGIN IN OUT"
                               : snapshot                            ? "PLUGIN OUT.png"
                               : options.command == Command::Example ? "OUT"
                                                                     : "PLUGIN";
        return Status::Error(command + " needs " + synopsis);
    }
    if (positionals.size() > needed) {
        return Status::Error(command + ": unexpected argument '" + positionals[needed] + "'");
    }
    if (options.command == Command::Example) {
        options.output = positionals[0];
    } else {
        options.plugin = positionals[0];
    }
    if (snapshot) {
        options.output = positionals[1];
    }
    if (render) {
        options.input = positionals[1];
        options.output = positionals[2];
        if (options.rawFormatGiven && !IsRawAudioPath(options.input)) {
            return Status::Error("--rate and --channels describe raw input files (*.f32, *.raw) only");
        }
    }
    if (options.command == Command::Preset && options.state.savePreset.empty()) {
        return Status::Error("preset needs --save-preset FILE");
    }
    return Status();
}

} // namespace

Result<Options> ParseCommandLine(const std::vector<std::string>& args) {
    Options options;
    if (args.empty()) {
        return Status::Error("no command given");
    }
    const std::string& command = args[0];
    if (command == "help" || command == "--help" || command == "-h") {
        options.command = Command::Help;
        return options;
    }
    if (command == "--version") {
        options.command = Command::Version;
        return options;
    }
    const std::map<std::string, Command> commands = {{"info", Command::Info},
                                                     {"render", Command::Render},
                                                     {"preset", Command::Preset},
                                                     {"example", Command::Example},
                                                     {"snapshot", Command::Snapshot}};
    const auto found = commands.find(command);
    if (found == commands.end()) {
        return Status::Error("unknown command '" + command + "'");
    }
    options.command = found->second;

    std::vector<std::string> positionals;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.helpFor = options.command;
            options.command = Command::Help;
            return options;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positionals.push_back(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto spec = OptionSpecs().find(name);
        if (spec == OptionSpecs().end()) {
            return Status::Error("unknown option " + name);
        }
        const auto& allowed = spec->second.commands;
        if (std::find(allowed.begin(), allowed.end(), options.command) == allowed.end()) {
            return Status::Error(name + " does not apply to " + command);
        }
        std::string value;
        if (spec->second.takes == Takes::Value) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return Status::Error(name + " needs a value");
            }
        } else if (equals != std::string::npos) {
            return Status::Error(name + " takes no value");
        }
        const Status applied = ApplyOption(options, name, value);
        if (!applied.Ok()) {
            return applied;
        }
    }
    const Status complete = CheckPositionals(options, command, positionals);
    if (!complete.Ok()) {
        return complete;
    }
    return options;
}

namespace {

struct CommandText {
    Command command;
    const char* synopsis;
    const char* description;
};

const CommandText kCommandTexts[] = {
    {Command::Info, "  ksphaser-host info PLUGIN [STATE...]\n",
     "  info      Show what the plug-in tells a host: descriptor, names, parameters with their\n"
     "            values and texts, programs, audio pins and capabilities.\n"},
    {Command::Render, "  ksphaser-host render PLUGIN IN OUT [STATE...] [RENDER...]\n",
     "  render    Run the audio file IN through the plug-in into OUT, as a host does offline.\n"},
    {Command::Preset, "  ksphaser-host preset PLUGIN [STATE...] --save-preset FILE\n",
     "  preset    Set up the plug-in's state and save it as a preset file.\n"},
    {Command::Example, "  ksphaser-host example OUT [--seconds N]\n",
     "  example   Write the built-in example material: a few bars of chords, bass and drums,\n"
     "            44.1 kHz stereo, the same on every run (default 8 seconds).\n"},
    {Command::Snapshot, "  ksphaser-host snapshot PLUGIN OUT.png [STATE...]\n",
     "  snapshot  Open the plug-in's editor in an X11 window, let it paint and save its pixels as a\n"
     "            PNG file: on DISPLAY, or on a private Xvfb started and stopped for it when\n"
     "            DISPLAY is not set (Linux only).\n"},
};

const char* const kPluginText = R"(
A VST 2.4, VST 3 and CLAP host for the command line. PLUGIN is any VST 2.4 plug-in library
(.so, .dll), opened through its exported VSTPluginMain (or main), a VST 3 bundle (NAME.vst3) or
the library inside it, whose first audio effect class must be its own edit controller, or a
CLAP module (NAME.clap), whose factory's first plug-in is driven.
)";

const char* const kStateText = R"(
State (applied in this order: preset file, program, parameters; then --save-preset):
  --load-preset FILE    Load a .fxp (one program) or .fxb (all programs) preset file (VST 2.4).
  --program N|NAME      Select a program by number (from 0) or name (any case).
  --set NAME=VALUE      Set a parameter (by name in any case, or by number); repeatable, in any
                        order. VALUE is what the parameter shows: one of its texts (Stages=8,
                        Waveform=Sine, "Mix=75:25", "Sync to Host=on", LFOSpeed=1/4 with sync
                        on) or a number in the unit of its display, with or without the unit
                        (Manual=1234Hz, Feedback=-30, LFOSpeed=1Hz, "Size=24.000000 m"); info
                        lists what each parameter shows.
  --set-normalized NAME=X
                        Set a parameter to the normalised value X from 0 to 1 that a host
                        sends (Mix=0.3).
  --save-preset FILE    Save the state after the changes above: FILE.fxp holds the current
                        program, FILE.fxb all programs; as the plug-in's chunk, or as lists of
                        parameter values for plug-ins that keep no chunk (VST 2.4).
)";

const char* const kRenderText = R"(
Render:
  --block N             Frames per processing call (default 512).
  --precision P         single (32-bit samples, default) or double (64-bit samples).
  --tempo BPM           Tempo told to the plug-in (default 120; 4/4 time).
  --playing             Report the transport as playing (default: stopped).
  --tail SECONDS        Go on for SECONDS past the end of IN, feeding silence, for what rings on
                        (reverbs, feedback); default 0.
  --compensate-latency  Drop the delay the plug-in reports (its initial delay) from the start
                        of OUT and render as much past the end, so OUT lines up with IN.
  --mono mix|left       For a plug-in with one input: feed it the average of IN's channels (mix)
                        or the first channel alone (left). Without it such input is refused.
  --rate HZ             Sample rate of a raw IN file (default 44100).
  --channels N          Channel count of a raw IN file (default 2).
)";

const char* const kAudioText = R"(
Audio files:
  IN may be anything libsndfile reads (WAV, FLAC, AIFF, Ogg, ...) at any sample rate. A mono
  IN feeds every plug-in input; otherwise channel i feeds input i. OUT has one channel per
  plug-in output at the rate of IN, written as 32-bit float WAV (*.wav). Files named *.f32 or
  *.raw are raw little-endian 32-bit float samples, interleaved, without a header; builds
  without libsndfile (Windows) read and write only these.
  Output files are written completely or not at all; an OUT that is a symbolic link keeps it
  and replaces the file it leads to. OUT must not be IN or any other file the command reads.
  An empty IN is refused; one shorter than its header says renders what it holds, with a
  warning.
)";

const char* const kExitText = R"(
Exit status: 0 on success, 1 when something failed, 2 for a wrong command line; errors are
reported as one line on stderr. COMMAND --help shows the usage of one command.
)";

} // namespace

std::string UsageText(Command command) {
    const bool all = command == Command::Help || command == Command::Version;
    auto shows = [&](std::initializer_list<Command> commands) {
        return all || std::find(commands.begin(), commands.end(), command) != commands.end();
    };
    std::string text = "Usage:\n";
    for (const CommandText& c : kCommandTexts) {
        text += shows({c.command}) ? c.synopsis : "";
    }
    text += all ? "  ksphaser-host --help | --version | COMMAND --help\n" : "";
    text += shows({Command::Info, Command::Render, Command::Preset, Command::Snapshot}) ? kPluginText : "";
    text += all ? "\nCommands:\n" : "\n";
    for (const CommandText& c : kCommandTexts) {
        text += shows({c.command}) ? c.description : "";
    }
    text += shows({Command::Info, Command::Render, Command::Preset, Command::Snapshot}) ? kStateText : "";
    text += shows({Command::Render}) ? kRenderText : "";
    text += shows({Command::Render, Command::Example}) ? kAudioText : "";
    return text + kExitText;
}

} // namespace ksphost
