#include "tools/host/PluginState.h"

#include "tools/host/PresetFile.h"
#include "tools/host/SafeFile.h"
#include "tools/host/Text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
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
    const std::string trimmed = Trimmed(text);
    if (trimmed.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(trimmed.c_str(), &end);
    return *end == '\0' && std::isfinite(value) && value >= 0.0 && value <= 1.0;
}

// Finds the normalised value whose display text is text by trying 1001 evenly spaced values; a
// run of values with that text gives its middle. Answers false (and restores the parameter)
// when no value displays text.
bool FindDisplayedValue(Plugin& plugin, VstInt32 index, const std::string& text, float& found) {
    constexpr int kSteps = 1000;
    const float original = plugin.Parameter(index);
    int first = -1;
    int last = -1;
    for (int i = 0; i <= kSteps; ++i) {
        plugin.SetParameter(index, static_cast<float>(i) / kSteps);
        const bool match = SameText(plugin.ParameterDisplay(index), text);
        if (match && first < 0) {
            first = i;
        }
        if (match) {
            last = i;
        } else if (first >= 0) {
            break;
        }
    }
    plugin.SetParameter(index, original);
    if (first < 0) {
        return false;
    }
    found = static_cast<float>((first + last) / 2.0 / kSteps);
    return true;
}

Result<VstInt32> FindParameter(Plugin& plugin, const std::string& name) {
    for (VstInt32 i = 0; i < plugin.NumParams(); ++i) {
        if (SameText(plugin.ParameterName(i), name)) {
            return i;
        }
    }
    long index = 0;
    if (ParseIndex(name, index)) {
        if (index < plugin.NumParams()) {
            return static_cast<VstInt32>(index);
        }
        return Status::Error("parameter " + name + " does not exist: the plug-in has " +
                             std::to_string(plugin.NumParams()) + " parameters, numbered from 0");
    }
    return Status::Error("the plug-in has no parameter named " + Quoted(name) +
                         " (`ksphaser-host info PLUGIN` lists them)");
}

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

Status SelectProgram(Plugin& plugin, const std::string& program, std::string& description) {
    const VstInt32 count = plugin.NumPrograms();
    VstInt32 index = -1;
    long number = 0;
    if (ParseIndex(program, number)) {
        if (number >= count) {
            return Status::Error("program " + program + " does not exist: the plug-in has " +
                                 std::to_string(count) + " programs, numbered from 0");
        }
        index = static_cast<VstInt32>(number);
    } else {
        for (VstInt32 i = 0; i < count && index < 0; ++i) {
            if (SameText(plugin.ProgramName(i), program)) {
                index = i;
            }
        }
        if (index < 0) {
            return Status::Error("the plug-in has no program named " + Quoted(program) +
                                 " (`ksphaser-host info PLUGIN` lists them)");
        }
    }
    plugin.Dispatch(effSetProgram, 0, index);
    description = "Program " + std::to_string(index) + ": " + plugin.DispatchText(effGetProgramName);
    return Status();
}

// NAME is a parameter name (any case) or number; VALUE a normalised number 0..1, a display
// text of the parameter, or text the plug-in parses (effString2Parameter).
Status ApplySetting(Plugin& plugin, const std::string& setting, std::string& description) {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos) {
        return Status::Error("--set needs NAME=VALUE, not " + Quoted(setting));
    }
    const std::string name = setting.substr(0, equals);
    const std::string value = setting.substr(equals + 1);
    auto found = FindParameter(plugin, name);
    if (!found.Ok()) {
        return found.Error();
    }
    const VstInt32 index = found.Value();
    const std::string parameterName = plugin.ParameterName(index);
    double normalized = 0.0;
    float displayed = 0.0f;
    if (ParseNormalized(value, normalized)) {
        plugin.SetParameter(index, static_cast<float>(normalized));
    } else if (Trimmed(value).empty()) {
        return Status::Error("--set " + name + "= needs a value");
    } else if (FindDisplayedValue(plugin, index, value, displayed)) {
        plugin.SetParameter(index, displayed);
    } else {
        std::string text = Trimmed(value);
        if (plugin.Dispatch(effString2Parameter, index, 0, text.data()) == 0) {
            return Status::Error("bad value " + Quoted(value) + " for the parameter " +
                                 Quoted(parameterName) +
                                 ": give a number from 0 to 1 or a text the parameter shows");
        }
    }
    std::string label = plugin.ParameterLabel(index);
    description = parameterName + " = " + plugin.ParameterDisplay(index) + (label.empty() ? "" : " " + label);
    return Status();
}

} // namespace

Status ApplyState(Plugin& plugin, const StateOptions& options, std::vector<std::string>& report) {
    if (!options.loadPreset.empty()) {
        const Status loaded = LoadPresetFile(plugin, options.loadPreset);
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
    for (const std::string& setting : options.settings) {
        std::string description;
        const Status set = ApplySetting(plugin, setting, description);
        if (!set.Ok()) {
            return set;
        }
        report.push_back(description);
    }
    return Status();
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
    auto chunk = plugin.GetChunk(preset.bank);
    if (!chunk.Ok()) {
        return chunk.Error();
    }
    preset.chunk = std::move(chunk.Value());
    preset.fxId = plugin.Effect().uniqueID;
    preset.fxVersion = plugin.Effect().version;
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
