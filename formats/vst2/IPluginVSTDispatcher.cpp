#include "formats/vst2/IPluginVST.h"

#include "core/TextCopy.h"
#include "core/Trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr VstInt32 kIdentifyAnswer = FourCharCode('N', 'v', 'E', 'f');
constexpr intptr_t kVendorAnswer = 0xBEEF;
// The same bits on every target: hosts compare the answer with 0xBEEF0000.
constexpr auto kCockosAnswer = static_cast<intptr_t>(static_cast<uint32_t>(0xBEEF0000u));
constexpr int32_t kVendorParameterDisplay = 7;
constexpr int32_t kVendorParameterStepped = 8;
constexpr int32_t kVstVersion = 2400;
constexpr size_t kHostParameterTextCapacity = 64;

// An index passed in a pointer-sized value; values beyond int range name no index.
int IndexOf(intptr_t value) {
    return value >= INT32_MIN && value <= INT32_MAX ? static_cast<int>(value) : -1;
}

char* TextOf(void* ptr) {
    return static_cast<char*>(ptr);
}

} // namespace

VstIntPtr VSTCALLBACK IPluginVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                VstIntPtr value, void* ptr, float opt) {
    auto* binding = effect != nullptr ? static_cast<IPluginVST*>(effect->object) : nullptr;
    if (binding == nullptr) {
        return 0;
    }
    RecursiveLock& lock = binding->plugin->Lock();
    if (opcode == effClose) {
        // Wait for any call in progress, then release the lock before the instance goes.
        lock.Lock();
        lock.Unlock();
        delete binding;
        return 0;
    }
    if (opcode == effEditIdle && binding->plugin->Editor() != nullptr) {
        // Outside the lock: the window's events wait for the display and, in menus and message
        // boxes, for the user, and the audio thread must not wait with them. Values the editor
        // changes take the lock themselves.
        binding->plugin->Editor()->Idle();
    }
    LockGuard guard(lock);
    return binding->Dispatch(opcode, index, value, ptr, opt);
}

intptr_t IPluginVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    IParameter* parameter = plugin->ParameterAt(index);
    switch (opcode) {
    case effOpen:
        PrepareForHost();
        plugin->NotifyAllParameters();
        return 0;
    case effSetProgram:
        plugin->ModifyCurrentPreset(nullptr);
        plugin->LoadPreset(IndexOf(value));
        return 0;
    case effGetProgram:
        return plugin->CurrentPreset();
    case effSetProgramName:
        if (ptr != nullptr) {
            plugin->ModifyCurrentPreset(TextOf(ptr));
            plugin->OnPresetChange();
        }
        return 0;
    case effGetProgramName:
        CopyText(TextOf(ptr), plugin->PresetName(plugin->CurrentPreset()), kVstMaxProgNameLen);
        return 0;
    case effGetParamLabel:
        if (parameter != nullptr) {
            CopyText(TextOf(ptr), parameter->LabelForHost(), kHostParameterTextCapacity);
        }
        return 0;
    case effGetParamDisplay:
        if (parameter != nullptr && ptr != nullptr) {
            parameter->FormatDisplay(parameter->Value(), false, TextOf(ptr), true);
        }
        return 0;
    case effGetParamName:
        if (parameter != nullptr) {
            CopyText(TextOf(ptr), parameter->Name(), kHostParameterTextCapacity);
        }
        return 0;
    case effSetSampleRate:
        plugin->ApplySampleRate(opt);
        plugin->OnReset();
        return 0;
    case effSetBlockSize:
        plugin->ApplyBlockSize(value < 0 ? 0 : (value > INT32_MAX ? INT32_MAX : static_cast<int>(value)));
        plugin->OnReset();
        return 0;
    case effMainsChanged:
        plugin->OnActiveChange(value != 0);
        if (value == 0) {
            plugin->OnReset();
        }
        return 0;
    case effEditGetRect:
        if (ptr == nullptr || !HasWindowedEditor()) {
            return 0;
        }
        *static_cast<ERect**>(ptr) = &editorRect;
        return 1;
    case effEditOpen:
        if (!HasWindowedEditor() || plugin->Editor()->OpenWindow(ptr) == nullptr) {
            return 0;
        }
        plugin->OnEditorOpen();
        return 1;
    case effEditClose:
        if (!HasWindowedEditor()) {
            return 0;
        }
        plugin->OnEditorClose();
        plugin->Editor()->CloseWindow();
        return 1;
    case effEditIdle:
    case effIdle:
        plugin->OnHostIdle();
        return 0;
    case effIdentify:
        return kIdentifyAnswer;
    case effGetChunk:
        return plugin->GetChunk(static_cast<void**>(ptr), index == 0 && !IsChunkQuirkHost());
    case effSetChunk: {
        const bool quirkHost = IsChunkQuirkHost();
        return plugin->SetChunk(ptr, value, index == 0 && !quirkHost, quirkHost);
    }
    case effProcessEvents:
        return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated:
        return 1;
    case effString2Parameter:
        return StringToParameter(index, TextOf(ptr));
    case effGetProgramNameIndexed:
        CopyText(TextOf(ptr), plugin->PresetName(index), kVstMaxProgNameLen);
        return ptr != nullptr && plugin->PresetName(index)[0] != '\0' ? 1 : 0;
    case effGetInputProperties:
        return Pins(index, ptr, true);
    case effGetOutputProperties:
        return Pins(index, ptr, false);
    case effGetPlugCategory:
        return plugin->IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement:
        return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                     static_cast<const VstSpeakerArrangement*>(ptr));
    case effGetEffectName:
        CopyText(TextOf(ptr), plugin->EffectName(), kVstMaxEffectNameLen);
        return ptr != nullptr ? 1 : 0;
    case effGetVendorString:
        CopyText(TextOf(ptr), plugin->MakerName(), kVstMaxVendorStrLen);
        return ptr != nullptr ? 1 : 0;
    case effGetProductString:
        CopyText(TextOf(ptr), plugin->ProductName(), kVstMaxProductStrLen);
        return ptr != nullptr ? 1 : 0;
    case effGetVendorVersion:
        return VstVersion(plugin->Version());
    case effVendorSpecific:
        return VendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return CanDo(static_cast<const char*>(ptr));
    case effGetTailSize:
        return plugin->TailSize();
    case effGetVstVersion:
        return kVstVersion;
    case effGetMidiKeyName: {
        auto* key = static_cast<MidiKeyName*>(ptr);
        if (key == nullptr) {
            return 0;
        }
        key->keyName[0] = '\0';
        return plugin->MidiNoteName(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
        if (value != 0) {
            *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement;
        }
        if (ptr != nullptr) {
            *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement;
        }
        return 1;
    default:
        return 0;
    }
}

intptr_t IPluginVST::Pins(int index, void* ptr, bool inputs) {
    const int count = inputs ? plugin->InputCount() : plugin->OutputCount();
    if (ptr == nullptr || index < 0 || index >= count) {
        return 0;
    }
    auto* pin = static_cast<VstPinProperties*>(ptr);
    pin->flags = kVstPinIsActive;
    // Channels pair up as stereo pairs; a last unpaired channel is mono.
    if (index % 2 == 0 && index < count - 1) {
        pin->flags |= kVstPinIsStereo;
    }
    const char* label =
        inputs ? plugin->InputChannelAt(index)->Label() : plugin->OutputChannelAt(index)->Label();
    if (label[0] != '\0') {
        CopyText(pin->label, label, sizeof pin->label);
    } else {
        std::snprintf(pin->label, sizeof pin->label, inputs ? "Input %d" : "Output %d", index + 1);
    }
    return 1;
}

intptr_t IPluginVST::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                           const VstSpeakerArrangement* outputs) {
    auto connect = [](const VstSpeakerArrangement* arrangement, int count, auto channelAt) {
        if (arrangement == nullptr) {
            return;
        }
        // A count beyond the plug-in's channels (or below zero) is brought into range.
        const int n = std::clamp(arrangement->numChannels, 0, count);
        for (int i = 0; i < count; ++i) {
            AudioChannel& channel = *channelAt(i);
            channel.connected = i < n;
            if (!channel.connected) {
                channel.Silence();
            }
        }
    };
    connect(inputs, plugin->InputCount(),
            [this](int i) -> AudioChannel* { return plugin->InputChannelAt(i); });
    connect(outputs, plugin->OutputCount(),
            [this](int i) -> AudioChannel* { return plugin->OutputChannelAt(i); });
    return 1;
}

intptr_t IPluginVST::ProcessEvents(const VstEvents* events) {
    if (events == nullptr) {
        return 0;
    }
    // The host's list runs past the two entries the record declares.
    VstEvent* const* list = events->events;
    for (int i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (event == nullptr) {
            continue;
        }
        if (event->type == kVstMidiType) {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            MidiMessage message;
            message.offset = midi->deltaFrames;
            message.status = static_cast<uint8_t>(midi->midiData[0]);
            message.data1 = static_cast<uint8_t>(midi->midiData[1]);
            message.data2 = static_cast<uint8_t>(midi->midiData[2]);
            plugin->OnMidiMessage(message);
        } else if (event->type == kVstSysExType) {
            const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
            SysExMessage message;
            message.offset = sysex->deltaFrames;
            message.size = sysex->dumpBytes;
            message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            plugin->OnSysExMessage(message);
        }
    }
    return 1;
}

intptr_t IPluginVST::StringToParameter(int index, const char* text) {
    IParameter* parameter = plugin->ParameterAt(index);
    if (parameter == nullptr) {
        return 0;
    }
    if (text == nullptr) {
        return 1; // the host asks whether text entry is possible
    }
    double plain = 0.0;
    if (!parameter->ParseText(text, plain)) {
        return 0;
    }
    plugin->SetPlainParameterFromHost(index, plain);
    return 1;
}

intptr_t IPluginVST::VendorSpecific(int index, intptr_t value, void* ptr, float opt) {
    const IParameter* parameter = plugin->ParameterAt(IndexOf(value));
    if (index == kVendorParameterDisplay) {
        if (ptr == nullptr) {
            return 0;
        }
        if (parameter != nullptr && !std::isnan(opt)) {
            const double normalized = opt < 0.0f ? 0.0 : (opt > 1.0f ? 1.0 : static_cast<double>(opt));
            parameter->FormatDisplay(normalized, true, TextOf(ptr), true);
        }
        return kVendorAnswer;
    }
    if (index == kVendorParameterStepped) {
        return parameter != nullptr && parameter->Type() != kParameterContinuous ? kVendorAnswer : 0;
    }
    return 0;
}

intptr_t IPluginVST::CanDo(const char* capability) {
    if (capability == nullptr) {
        return 0;
    }
    KSP_TRACE("IPluginVST::VSTDispatcher", "VSTCanDo(%s)", capability);
    if (std::strcmp(capability, "receiveVstTimeInfo") == 0) {
        return 1;
    }
    if (std::strcmp(capability, "sendVstEvents") == 0 || std::strcmp(capability, "sendVstMidiEvent") == 0 ||
        std::strcmp(capability, "receiveVstEvents") == 0 ||
        std::strcmp(capability, "receiveVstMidiEvent") == 0) {
        return plugin->AcceptsMidi() ? 1 : 0;
    }
    if (std::strcmp(capability, "hasCockosExtensions") == 0) {
        hostExtensionFlags |= 1;
        return kCockosAnswer;
    }
    if (std::strcmp(capability, "hasCockosViewAsConfig") == 0) {
        hostExtensionFlags |= 2;
        return kCockosAnswer;
    }
    return 0;
}
