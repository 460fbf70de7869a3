#include "tools/host/InfoReport.h"

#include "tools/host/PresetFile.h"
#include "tools/host/Text.h"

#include <cstdio>

namespace ksphost {

namespace {

std::string DescribeFlags(VstInt32 flags) {
    static const FlagName names[] = {
        {effFlagsHasEditor, "HasEditor"},
        {effFlagsCanMono, "CanMono"},
        {effFlagsCanReplacing, "CanReplacing"},
        {effFlagsProgramChunks, "ProgramChunks"},
        {effFlagsIsSynth, "IsSynth"},
        {effFlagsNoSoundInStop, "NoSoundInStop"},
        {effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
    };
    return FlagNames(static_cast<uint32_t>(flags), names, sizeof names / sizeof names[0]);
}

const char* CategoryName(VstIntPtr category) {
    static const char* const names[] = {"Unknown",     "Effect",         "Synth",  "Analysis",
                                        "Mastering",   "Spacializer",    "RoomFx", "SurroundFx",
                                        "Restoration", "OfflineProcess", "Shell",  "Generator"};
    return category >= 0 && category < static_cast<VstIntPtr>(sizeof names / sizeof names[0])
               ? names[category]
               : "?";
}

std::string DescribePinFlags(VstInt32 flags) {
    std::string text;
    if ((flags & kVstPinIsActive) != 0) {
        text += "active";
    }
    if ((flags & kVstPinIsStereo) != 0) {
        text += text.empty() ? "stereo" : ", stereo";
    }
    if ((flags & kVstPinUseSpeaker) != 0) {
        text += text.empty() ? "speaker" : ", speaker";
    }
    return text.empty() ? "-" : text;
}

void DescribePins(Plugin& plugin, std::string& out, bool inputs) {
    const VstInt32 count = inputs ? plugin.NumInputs() : plugin.NumOutputs();
    Append(out, "\n%s pins (%d)\n", inputs ? "Input" : "Output", count);
    for (VstInt32 i = 0; i < count; ++i) {
        VstPinProperties pin{};
        const VstIntPtr answer =
            plugin.Dispatch(inputs ? effGetInputProperties : effGetOutputProperties, i, 0, &pin);
        if (answer == 0) {
            Append(out, "  %-3d (no properties)\n", i);
            continue;
        }
        pin.label[sizeof pin.label - 1] = '\0';
        pin.shortLabel[sizeof pin.shortLabel - 1] = '\0';
        Append(out, "  %-3d %-28s short \"%s\", %s\n", i, ("\"" + std::string(pin.label) + "\"").c_str(),
               pin.shortLabel, DescribePinFlags(pin.flags).c_str());
    }
}

// A version number, with the dotted form it stands for where it has one of the usual forms:
// 0x00MMmmbb (major, minor, bug-fix in bytes; 0x00020002 is 2.0.2) or, below 0x10000,
// (major x 100 + minor) x 100 + bug-fix from 10000 on (20002 is 2.0.2).
std::string DescribeVersion(VstIntPtr version) {
    char text[64];
    const long v = static_cast<long>(version);
    if (v >= 0x10000 && v <= 0xFFFFFF) {
        std::snprintf(text, sizeof text, "%ld (0x%08lX: %ld.%ld.%ld)", v, static_cast<unsigned long>(v),
                      v >> 16, (v >> 8) & 0xFF, v & 0xFF);
    } else if (v >= 10000 && v < 0x10000) {
        std::snprintf(text, sizeof text, "%ld (%ld.%ld.%ld)", v, v / 10000, v / 100 % 100, v % 100);
    } else {
        std::snprintf(text, sizeof text, "%ld", v);
    }
    return text;
}

const char* CanDoAnswer(VstIntPtr answer) {
    switch (answer) {
    case 1:
        return "yes";
    case 0:
        return "don't know";
    case -1:
        return "no";
    default:
        return nullptr;
    }
}

} // namespace

std::string FlagNames(uint32_t flags, const FlagName* names, size_t count) {
    std::string text;
    uint32_t rest = flags;
    for (size_t i = 0; i < count; ++i) {
        if ((flags & names[i].bit) != 0) {
            text += text.empty() ? "" : " ";
            text += names[i].name;
            rest &= ~names[i].bit;
        }
    }
    if (rest != 0) {
        Append(text, "%sother 0x%X", text.empty() ? "" : " ", static_cast<unsigned>(rest));
    }
    return text.empty() ? "none" : text;
}

std::string DescribePlugin(Plugin& plugin) {
    AEffect& effect = plugin.Effect();
    std::string out;
    Append(out, "Plug-in          %s (entry point %s)\n", plugin.Path().c_str(), plugin.EntryPoint());
    Append(out, "Magic            %s\n", FourCharText(effect.magic).c_str());
    Append(out, "Unique id        %s (0x%08X)\n", FourCharText(effect.uniqueID).c_str(),
           static_cast<unsigned>(effect.uniqueID));
    Append(out, "Version          %s\n", DescribeVersion(effect.version).c_str());
    Append(out, "Flags            0x%X: %s\n", static_cast<unsigned>(effect.flags),
           DescribeFlags(effect.flags).c_str());
    Append(out, "Inputs           %d\n", effect.numInputs);
    Append(out, "Outputs          %d\n", effect.numOutputs);
    Append(out, "Initial delay    %d samples\n", effect.initialDelay);
    Append(out, "Effect name      %s\n", plugin.DispatchText(effGetEffectName).c_str());
    Append(out, "Vendor           %s\n", plugin.DispatchText(effGetVendorString).c_str());
    Append(out, "Product          %s\n", plugin.DispatchText(effGetProductString).c_str());
    Append(out, "Vendor version   %s\n", DescribeVersion(plugin.Dispatch(effGetVendorVersion)).c_str());
    const VstIntPtr category = plugin.Dispatch(effGetPlugCategory);
    Append(out, "Category         %ld (%s)\n", static_cast<long>(category), CategoryName(category));
    Append(out, "VST version      %ld\n", static_cast<long>(plugin.Dispatch(effGetVstVersion)));
    Append(out, "Tail size        %ld samples\n", static_cast<long>(plugin.Dispatch(effGetTailSize)));

    Append(out, "\nParameters (%d)\n", plugin.NumParams());
    Append(out, "  %-3s %-20s %-10s %s\n", "#", "Name", "Value", "Display");
    for (VstInt32 i = 0; i < plugin.NumParams(); ++i) {
        const std::string label = plugin.ParameterLabel(i);
        Append(out, "  %-3d %-20s %-10.6f %s%s%s\n", i, plugin.ParameterName(i).c_str(),
               static_cast<double>(plugin.Parameter(i)), plugin.ParameterDisplay(i).c_str(),
               label.empty() ? "" : " ", label.c_str());
    }

    if (plugin.NumPrograms() < 1) {
        Append(out, "\nPrograms: none\n");
    } else {
        const VstIntPtr current = plugin.Dispatch(effGetProgram);
        Append(out, "\nPrograms (%d, current %ld: %s)\n", plugin.NumPrograms(), static_cast<long>(current),
               plugin.DispatchText(effGetProgramName).c_str());
    }
    for (VstInt32 i = 0; i < plugin.NumPrograms(); ++i) {
        Append(out, "  %-3d %s\n", i, plugin.ProgramName(i).c_str());
    }

    DescribePins(plugin, out, true);
    DescribePins(plugin, out, false);

    static const char* const capabilities[] = {"sendVstEvents",
                                               "sendVstMidiEvent",
                                               "receiveVstEvents",
                                               "receiveVstMidiEvent",
                                               "receiveVstTimeInfo",
                                               "offline",
                                               "midiProgramNames",
                                               "bypass",
                                               "noRealTime",
                                               "plugAsChannelInsert",
                                               "plugAsSend",
                                               "mixDryWet",
                                               "1in1out",
                                               "1in2out",
                                               "2in2out",
                                               "hasCockosExtensions"};
    Append(out, "\nCapabilities (canDo)\n");
    for (const char* capability : capabilities) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", capability);
        const VstIntPtr answer = plugin.Dispatch(effCanDo, 0, 0, text);
        const char* meaning = CanDoAnswer(answer);
        if (meaning != nullptr) {
            Append(out, "  %-22s %s\n", capability, meaning);
        } else {
            Append(out, "  %-22s 0x%lX\n", capability, static_cast<unsigned long>(answer));
        }
    }
    return out;
}

} // namespace ksphost
