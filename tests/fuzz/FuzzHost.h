#pragma once

#include "vst/PluginEntry.h"

#include <cstring>

// A host that answers the vendor query, so the chunk-quirk path of the plug-in can be reached.
template <bool QuirkHost>
VstIntPtr VSTCALLBACK FuzzHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    if (opcode == audioMasterGetVendorString && ptr != nullptr) {
        std::strcpy(static_cast<char*>(ptr), QuirkHost ? "Native Instruments" : "Fuzz Host");
        return 1;
    }
    return 0;
}

// Opens a fresh plug-in as a host would before loading state into it.
inline AEffect* OpenPlugin(audioMasterCallback host) {
    IPluginVST* plugin = CreatePlugin(host);
    if (plugin == nullptr) {
        return nullptr;
    }
    AEffect* effect = plugin->Descriptor();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 64, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}
