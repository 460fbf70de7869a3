#pragma once

#include "vst/IPluginVST.h"

// The pin name the host shows for the effect's two inputs and two outputs.
constexpr const char* kEffectPinLabel = "Kestrunelle Phaser ";

// The effect layer between the VST binding and the phaser: names the pins and refreshes
// the processing state whenever the host resumes the plug-in.
class Effect : public IPluginVST {
public:
    Effect(audioMasterCallback host, int parameterCount, const char* channelIO, int presetCount,
           const char* effectName, const char* productName, const char* makerName, int32_t version,
           int32_t uniqueId, int32_t makerId, int latency, bool acceptsMidi, bool isInstrument);
    ~Effect() override = default;

    // On resume, every parameter's change hook runs again, in index order.
    void OnActiveChange(bool active) override;
    // Sets up the parameters; the derived effect calls it from its constructor.
    virtual void CreateParameters() {}
    virtual bool IsReady() { return true; }
};
