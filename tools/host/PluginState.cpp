#include "tools/host/PluginState.h"

#include "tools/host/ParameterValue.h"
#include "tools/host/PresetFile.h"
#include "tools/host/SafeFile.h"
#include "tools/host/Text.h"

#include <cctype>
#include <cstdlib>

namespace ksphost {

namespace {

// A whole text that is a non-negative decimal integer.
bool ParseIndex(const std::string& text, long& index) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    index = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

// A whole text that is a number between 0 and 1.
bool ParseNormalized(const std::string& text, double& value) {
    std::string unit;
    return ParseNumberWithUnit(text, value, unit) && unit.empty() && value >= 0.0 && value <= 1.0;
}

Result<int> FindParameter(PluginInstance& plugin, const std::string& name) {
    for (int i = 0; i < plugin.ParameterCount(); ++i) {
        if (SameText(plugin.ParameterName(i), name)) {
            return i;
        }
    }
    long index = 0;
    if (ParseIndex(name, index)) {
        if (index < plugin.ParameterCount()) {
            return static_cast<int>(index);
        }
        return Status::Error("parameter " + name + " does not exist: the plug-in has " +
                             std::to_string(plugin.ParameterCount()) + " parameters, numbered from 0");
    }
    return Status::Error("the plug-in has no parameter named " + Quoted(name) +
                         " (`ksphaser-host info PLUGIN` lists them)");
}

// Sets every parameter of the current program and its name.
Status LoadParameterProgram(Plugin& plugin, const PresetProgram& program, const std::string& path) {
    if (program.values.size() != static_cast<size_t>(plugin.NumParams())) {
        return Status::Error(path + " holds " + std::to_string(program.values.size()) +
                             " parameter values but the plug-in has " + std::to_string(plugin.NumParams()) +
                             " parameters");
    }
    for (size_t i = 0; i < program.values.size(); ++i) {
        plugin.SetParameter(static_cast<VstInt32>(i), program.values[i]);
    }
    std::string name = program.name;
    plugin.Dispatch(effSetProgramName, 0, 0, name.data());
    return Status();
}

Status LoadParameterBank(Plugin& plugin, const PresetFile& file, const std::string& path) {
    if (file.programs.size() != static_cast<size_t>(plugin.NumPrograms())) {
        return Status::Error(path + " holds " + std::to_string(file.programs.size()) +
                             " programs but the plug-in has " + std::to_string(plugin.NumPrograms()));
    }
    for (size_t i = 0; i < file.programs.size(); ++i) {
        plugin.Dispatch(effSetProgram, 0, static_cast<VstIntPtr>(i));
        const Status loaded = LoadParameterProgram(plugin, file.programs[i], path);
        if (!loaded.Ok()) {
            return loaded;
        }
    }
    const bool known = file.currentProgram >= 0 && file.currentProgram < plugin.NumPrograms();
    plugin.Dispatch(effSetProgram, 0, known ? file.currentProgram : 0);
    return Status();
}

} // namespace

Status LoadPresetFile(Plugin& plugin, const std::string& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes.Ok()) {
        return bytes.Error();
    }
    auto preset = DecodePresetFile(bytes.Value(), path);
    if (!preset.Ok()) {
        return preset.Error();
    }
    const PresetFile& file = preset.Value();
    if (file.fxId != plugin.Effect().uniqueID) {
        return Status::Error(path + " is a preset of the plug-in " + FourCharText(file.fxId) + ", not of " +
                             FourCharText(plugin.Effect().uniqueID));
    }
    if (!file.opaque) {
        return file.bank ? LoadParameterBank(plugin, file, path)
                         : LoadParameterProgram(plugin, file.programs.front(), path);
    }
    if ((plugin.Effect().flags & effFlagsProgramChunks) == 0) {
        return Status::Error(path + ": the plug-in does not take its state as chunks");
    }
    if (!plugin.SetChunk(file.chunk, file.bank)) {
        return Status::Error(path + ": the plug-in refused the preset");
    }
    if (file.bank && file.currentProgram >= 0 && file.currentProgram < plugin.NumPrograms()) {
        plugin.Dispatch(effSetProgram, 0, file.currentProgram);
    }
    return Status();
}

namespace {

Status SelectProgram(PluginInstance& plugin, const std::string& program, std::string& description) {
    const Status possible = plugin.CanSelectPrograms();
    if (!possible.Ok()) {
        return possible;
    }
    const int count = plugin.ProgramCount();
    int index = -1;
    long number = 0;
    if (ParseIndex(program, number)) {
        if (number >= count) {
            return Status::Error("program " + program + " does not exist: the plug-in has " +
                                 std::to_string(count) + " programs, numbered from 0");
        }
        index = static_cast<int>(number);
    } else {
        for (int i = 0; i < count && index < 0; ++i) {
            if (SameText(plugin.ProgramName(i), program)) {
                index = i;
            }
        }
        if (index < 0) {
            return Status::Error("the plug-in has no program named " + Quoted(program) +
                                 " (`ksphaser-host info PLUGIN` lists them)");
        }
    }
    const Status selected = plugin.SelectProgram(index);
    if (!selected.Ok()) {
        return selected;
    }
    description = "Program " + std::to_string(index) + ": " + plugin.CurrentProgramName();
    return Status();
}

// A setting with its parameter found and its value to be resolved.
struct PendingSetting {
    int index = 0;
    std::string value;
    bool normalized = false;
    bool resolved = false;
    double chosen = 0.0;
};

Result<PendingSetting> ParseSetting(PluginInstance& plugin, const Setting& setting) {
    const char* option = setting.normalized ? "--set-normalized" : "--set";
    const size_t equals = setting.text.find('=');
    if (equals == std::string::npos) {
        return Status::Error(std::string(option) + " needs NAME=VALUE, not " + Quoted(setting.text));
    }
    const std::string name = setting.text.substr(0, equals);
    auto found = FindParameter(plugin, name);
    if (!found.Ok()) {
        return found.Error();
    }
    PendingSetting pending;
    pending.index = found.Value();
    pending.value = setting.text.substr(equals + 1);
    pending.normalized = setting.normalized;
    if (Trimmed(pending.value).empty()) {
        return Status::Error(std::string(option) + " " + name + "= needs a value");
    }
    if (setting.normalized && !ParseNormalized(pending.value, pending.chosen)) {
        return Status::Error("--set-normalized " + name + " needs a number from 0 to 1, not " +
                             Quoted(Trimmed(pending.value)));
    }
    pending.resolved = setting.normalized;
    return pending;
}

// Sets every parameter, again and again while a value found depends on another that changed
// meanwhile, until nothing changes: then the settings' order does not matter.
Status ResolveSettings(PluginInstance& plugin, std::vector<PendingSetting>& pending) {
    for (const PendingSetting& p : pending) {
        if (p.resolved) {
            plugin.SetParameter(p.index, p.chosen);
        }
    }
    Status failure;
    for (size_t pass = 0; pass <= pending.size(); ++pass) {
        bool changed = false;
        failure = Status();
        for (PendingSetting& p : pending) {
            if (p.normalized) {
                continue;
            }
            auto value = plugin.ParameterValue(p.index, p.value);
            if (!value.Ok()) {
                failure = failure.Ok() ? value.Error() : failure;
                continue;
            }
            if (!p.resolved || value.Value() != p.chosen) {
                p.resolved = true;
                p.chosen = value.Value();
                plugin.SetParameter(p.index, p.chosen);
                changed = true;
            }
        }
        if (!changed) {
            break;
        }
    }
    return failure;
}

Status ApplySettings(PluginInstance& plugin, const std::vector<Setting>& settings,
                     std::vector<std::string>& report) {
    std::vector<PendingSetting> pending;
    for (const Setting& setting : settings) {
        auto parsed = ParseSetting(plugin, setting);
        if (!parsed.Ok()) {
            return parsed.Error();
        }
        for (const PendingSetting& earlier : pending) {
            if (earlier.index == parsed.Value().index) {
                return Status::Error("the parameter " + Quoted(plugin.ParameterName(earlier.index)) +
                                     " is set twice");
            }
        }
        pending.push_back(parsed.Value());
    }
    const Status resolved = ResolveSettings(plugin, pending);
    if (!resolved.Ok()) {
        return resolved;
    }
    for (const PendingSetting& p : pending) {
        report.push_back(plugin.ParameterName(p.index) + " = " + plugin.ParameterText(p.index));
    }
    return Status();
}

PresetProgram CurrentProgram(Plugin& plugin) {
    PresetProgram program;
    program.name = plugin.DispatchText(effGetProgramName);
    for (VstInt32 i = 0; i < plugin.NumParams(); ++i) {
        program.values.push_back(plugin.Parameter(i));
    }
    return program;
}

// The current program, or every program for a bank. Reading the others means selecting them;
// the current one is selected again afterwards with the values it had, which a plug-in that
// reloads a program on selection would otherwise lose.
Result<std::vector<PresetProgram>> ReadPrograms(Plugin& plugin, bool bank, const std::string& path) {
    const PresetProgram current = CurrentProgram(plugin);
    if (!bank) {
        return std::vector<PresetProgram>{current};
    }
    if (plugin.NumPrograms() < 1) {
        return Status::Error(path + ": the plug-in has no programs to save as a bank; save a .fxp instead");
    }
    const VstIntPtr selected = plugin.Dispatch(effGetProgram);
    std::vector<PresetProgram> programs;
    for (VstInt32 i = 0; i < plugin.NumPrograms(); ++i) {
        if (i == selected) {
            programs.push_back(current);
            continue;
        }
        plugin.Dispatch(effSetProgram, 0, i);
        programs.push_back(CurrentProgram(plugin));
    }
    plugin.Dispatch(effSetProgram, 0, selected);
    for (size_t i = 0; i < current.values.size(); ++i) {
        plugin.SetParameter(static_cast<VstInt32>(i), current.values[i]);
    }
    return programs;
}

} // namespace

Status ApplyState(PluginInstance& plugin, const StateOptions& options, std::vector<std::string>& report) {
    if (!options.loadPreset.empty()) {
        const Status loaded = plugin.LoadPresetFile(options.loadPreset);
        if (!loaded.Ok()) {
            return loaded;
        }
        report.push_back("Loaded preset " + options.loadPreset);
    }
    if (!options.program.empty()) {
        std::string description;
        const Status selected = SelectProgram(plugin, options.program, description);
        if (!selected.Ok()) {
            return selected;
        }
        report.push_back(description);
    }
    return ApplySettings(plugin, options.settings, report);
}

Status CheckPresetPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension != "fxp" && extension != "fxb") {
        return Status::Error(path + ": preset files are named *.fxp (one program) or *.fxb (all programs)");
    }
    return Status();
}

Result<std::vector<uint8_t>> MakePresetFile(Plugin& plugin, const std::string& path) {
    const Status usable = CheckPresetPath(path);
    if (!usable.Ok()) {
        return usable;
    }
    PresetFile preset;
    preset.bank = LowerExtension(path) == "fxb";
    preset.opaque = (plugin.Effect().flags & effFlagsProgramChunks) != 0;
    preset.fxId = plugin.Effect().uniqueID;
    preset.fxVersion = plugin.Effect().version;
    if (!preset.opaque) {
        auto programs = ReadPrograms(plugin, preset.bank, path);
        if (!programs.Ok()) {
            return programs.Error();
        }
        preset.programs = std::move(programs.Value());
        preset.currentProgram = static_cast<int32_t>(plugin.Dispatch(effGetProgram));
        return EncodePresetFile(preset);
    }
    auto chunk = plugin.GetChunk(preset.bank);
    if (!chunk.Ok()) {
        return chunk.Error();
    }
    preset.chunk = std::move(chunk.Value());
    if (preset.bank) {
        preset.count = plugin.NumPrograms();
        preset.currentProgram = static_cast<int32_t>(plugin.Dispatch(effGetProgram));
    } else {
        preset.count = plugin.NumParams();
        preset.programName = plugin.DispatchText(effGetProgramName);
    }
    return EncodePresetFile(preset);
}

} // namespace ksphost
