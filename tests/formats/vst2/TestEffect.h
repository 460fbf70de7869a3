#pragma once

#include "effect/Effect.h"

#include <string>
#include <vector>

// A small effect for the binding's tests: a gain, a boolean, an enumerated mode with a display
// function and a shaped frequency. It processes out = in * gain and logs every hook it sees.
struct TestEffectSetup {
    const char* channelIO = "2-2";
    int presets = 3;
    bool acceptsMidi = true;
    bool isInstrument = false;
    const char* effectName = "Test Effect";
    const char* productName = "Test Product";
    const char* makerName = "Test Maker";
};

enum TestParameter { kGain, kBypass, kMode, kFrequency, kTestParameterCount };

class TestEffect : public Effect {
public:
    explicit TestEffect(const TestEffectSetup& setup = TestEffectSetup());

    void OnReset() override;
    void OnParameterChange(int index) override;
    void OnActiveChange(bool active) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    void OnPresetChange() override;
    void OnSysExMessage(const SysExMessage& message) override;
    void OnHostKnown() override;

    std::vector<std::string> log;
    std::vector<int> blockFrames;
    HostTimeInfo lastTime;
    int sysExSize = -1;
};
