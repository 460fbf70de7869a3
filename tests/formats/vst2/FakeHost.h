#pragma once

#include "formats/vst2/VstInterface.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// A host as the plug-in sees it through audioMasterCallback: it answers from its settings and
// records every call. The plug-in's AEffect.user points at it.
class FakeHost {
public:
    struct Call {
        int32_t opcode;
        int32_t index;
        intptr_t value;
        float opt;
    };

    std::string product = "Fake Host";
    std::string vendor = "Fake Maker";
    intptr_t vendorVersion = 1000;
    bool answersTime = true;
    VstTimeInfo time = {};
    intptr_t processLevel = 1;
    intptr_t eventsReply = 1;

    std::vector<Call> calls;
    std::vector<int32_t> timeFilters;
    std::vector<VstMidiEvent> midiOut;
    std::vector<VstMidiSysexEvent> sysExOut;

    void Attach(AEffect* effect) { effect->user = this; }

    int Count(int32_t opcode) const {
        int n = 0;
        for (const Call& call : calls) {
            n += call.opcode == opcode ? 1 : 0;
        }
        return n;
    }

    static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt) {
        auto* host = effect != nullptr ? static_cast<FakeHost*>(effect->user) : nullptr;
        return host != nullptr ? host->Answer(opcode, index, value, ptr, opt) : 0;
    }

private:
    VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        calls.push_back({opcode, index, value, opt});
        switch (opcode) {
        case audioMasterGetTime:
            timeFilters.push_back(static_cast<int32_t>(value));
            return answersTime ? reinterpret_cast<VstIntPtr>(&time) : 0;
        case audioMasterGetProductString:
            std::strcpy(static_cast<char*>(ptr), product.c_str());
            return 1;
        case audioMasterGetVendorString:
            std::strcpy(static_cast<char*>(ptr), vendor.c_str());
            return 1;
        case audioMasterGetVendorVersion:
            return vendorVersion;
        case audioMasterGetCurrentProcessLevel:
            return processLevel;
        case audioMasterProcessEvents: {
            const auto* events = static_cast<const VstEvents*>(ptr);
            for (int i = 0; i < events->numEvents; ++i) {
                if (events->events[i]->type == kVstMidiType) {
                    midiOut.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
                } else if (events->events[i]->type == kVstSysExType) {
                    sysExOut.push_back(*reinterpret_cast<const VstMidiSysexEvent*>(events->events[i]));
                }
            }
            return eventsReply;
        }
        default:
            return 0;
        }
    }
};
