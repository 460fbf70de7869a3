#pragma once

#include "core/PluginFactory.h"
#include "formats/vst2/IPluginVST.h"

// Creates the plug-in linked into the test and opens it as a host does before processing:
// effOpen, sample rate, block size, resume. None when it could not be created.
inline AEffect* OpenInstance(audioMasterCallback host, float sampleRate, VstIntPtr blockSize) {
    IPluginVST* binding = IPluginVST::Create(host, CreatePlugin());
    if (binding == nullptr) {
        return nullptr;
    }
    AEffect* effect = binding->Descriptor();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, sampleRate);
    effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}
