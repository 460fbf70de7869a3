#pragma once

#include "core/IPluginHost.h"

// The answers of a host that tells the plug-in nothing, on the threads and under the locks
// IPluginHost states: the LV2 binding's plug-in and panel each
// override what their side of the port protocol knows. No gestures or values go out from here, no
// transport comes in, and LV2 has no host code, editor size or latency call for the plug-in.
class Lv2HostAnswers : public IPluginHost {
public:
    void BeginParameterGesture(int) override {}
    void EndParameterGesture(int) override {}
    void AutomateParameter(int, double) override {}
    void RequestHostDisplayUpdate() override {}
    bool IsOfflineRendering() override { return false; }
    int SamplePosition() override { return 0; }
    double HostTempo() override { return 0.0; }
    void HostTimeSignature(int&, int&) override {}
    void HostTime(HostTimeInfo&) override {}
    int HostCode() override { return 0; }
    int32_t HostVersion() override { return 0; }
    void UpdateEditorRect() override {}
    void SetLatencySamples(int) override {}
    bool SendMidiToHost(const MidiMessage&) override { return false; }
    bool SendSysExToHost(const SysExMessage&) override { return false; }

protected:
    ~Lv2HostAnswers() = default;
};
