#include "TestEffect.h"

#include <cstdio>

namespace {

void ShowMode(double plain, char* out) {
    static const char* const kModes[] = {"Soft", "Medium", "Hard"};
    const int mode = plain < 0.5 ? 0 : (plain < 1.5 ? 1 : 2);
    std::snprintf(out, kParameterTextCapacity, "%s", kModes[mode]);
}

} // namespace

TestEffect::TestEffect(const TestEffectSetup& setup)
    : Effect(kTestParameterCount, setup.channelIO, setup.presets, setup.effectName, setup.productName,
             setup.makerName, 0x00010203, FourCharCode('k', 't', 's', 't'), FourCharCode('K', 't', 's', 't'),
             0, setup.acceptsMidi, setup.isInstrument) {
    ParameterAt(kGain)->SetupContinuous("Gain", 0.5, 0.0, 1.0, 0.01, 1.0);
    ParameterAt(kBypass)->SetupBoolean("Bypass");
    ParameterAt(kMode)->SetupEnumerated("Mode", 1, 3);
    ParameterAt(kMode)->SetDisplayFunction(ShowMode);
    ParameterAt(kFrequency)->SetupContinuous("Frequency", 0.25, 0.0, 1.0, 0.001, 2.0);
    if (IPresetSlot* unity = PresetAt(0)) {
        ParameterAt(kGain)->SetFromPlain(1.0);
        unity->initialised = true;
        std::snprintf(unity->name, sizeof unity->name, "%s", "Unity");
        SaveState(unity->state);
        ParameterAt(kGain)->SetFromPlain(0.5);
    }
}

void TestEffect::OnReset() {
    log.push_back("reset");
}

void TestEffect::OnParameterChange(int index) {
    log.push_back("param " + std::to_string(index));
}

void TestEffect::OnActiveChange(bool active) {
    log.push_back(active ? "resume" : "suspend");
    Effect::OnActiveChange(active);
}

void TestEffect::ProcessBlock(double** inputs, double** outputs, int frames) {
    blockFrames.push_back(frames);
    lastTime = HostTimeInfo();
    HostTime(lastTime);
    const double gain = ParameterAt(kGain)->Value();
    const int channels = InputCount() < OutputCount() ? InputCount() : OutputCount();
    for (int c = 0; c < channels; ++c) {
        for (int i = 0; i < frames; ++i) {
            outputs[c][i] = inputs[c][i] * gain;
        }
    }
    for (int c = channels; c < OutputCount(); ++c) {
        for (int i = 0; i < frames; ++i) {
            outputs[c][i] = 0.0;
        }
    }
}

void TestEffect::OnPresetChange() {
    log.push_back("preset " + std::to_string(CurrentPreset()));
}

void TestEffect::OnSysExMessage(const SysExMessage& message) {
    sysExSize = message.size;
}

void TestEffect::OnHostKnown() {
    log.push_back("host " + std::to_string(HostCode()));
}
