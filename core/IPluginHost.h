#pragma once

#include "core/PluginRecords.h"

#include <cstdint>

// What the plug-in core asks of the host, whatever the plug-in format: each format's binding
// implements it and hands it to the plug-in it owns (IPluginBase::SetHost). The core calls it
// on the threads and under the locks stated here; an implementation neither takes the plug-in
// lock nor calls back into the plug-in, so it can answer from any of those paths.
class IPluginHost {
public:
    // [ui] Any lock state. The user grabbed or let go of the control of parameter index.
    virtual void BeginParameterGesture(int index) = 0;
    virtual void EndParameterGesture(int index) = 0;
    // [any] Plug-in lock held. Parameter index took a normalised value the host did not send.
    virtual void AutomateParameter(int index, double normalized) = 0;
    // [any] Plug-in lock held. Programs or parameters changed wholesale: the host redraws its
    // view of them.
    virtual void RequestHostDisplayUpdate() = 0;
    // [any] Whether the host renders faster or slower than real time.
    virtual bool IsOfflineRendering() = 0;
    // [audio] Plug-in lock held. The host's transport for the block being processed: the
    // position in samples (0 when unknown), the tempo (0 when unknown), the time signature
    // (0 and 0 when unknown), and all of it at once, overwriting only what the host reports.
    virtual int SamplePosition() = 0;
    virtual double HostTempo() = 0;
    virtual void HostTimeSignature(int& beatsPerBar, int& beatUnit) = 0;
    virtual void HostTime(HostTimeInfo& info) = 0;
    // [any] The host's code (a format's binding knows the hosts it can tell apart; 0 for one it
    // does not know) and its version, major in bits 16-31, minor in 8-15, bug-fix in 0-7.
    virtual int HostCode() = 0;
    virtual int32_t HostVersion() = 0;
    // [ui] Plug-in lock held. The editor was attached or changed size.
    virtual void UpdateEditorRect() = 0;
    // [any] Plug-in lock held. The processing delay changed.
    virtual void SetLatencySamples(int samples) = 0;
    // [audio] Plug-in lock held. Sends one event to the host's output; true when it took it.
    virtual bool SendMidiToHost(const MidiMessage& message) = 0;
    virtual bool SendSysExToHost(const SysExMessage& message) = 0;

protected:
    ~IPluginHost() = default;
};

// The answers of a host that tells the plug-in nothing, on the threads and under the locks stated
// above: no gestures or values go out, no transport comes in, and there is no host code, editor
// size, latency or MIDI output. A binding overrides what its format's host does answer.
class QuietPluginHost : public IPluginHost {
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
    ~QuietPluginHost() = default;
};
