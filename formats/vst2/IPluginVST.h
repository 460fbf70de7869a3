#pragma once

#include "core/IPluginBase.h"
#include "core/IPluginHost.h"
#include "formats/vst2/VstInterface.h"

#include <cstdint>
#include <memory>

// The VST 2.4 binding: owns one plug-in, fills the AEffect descriptor handed to the host,
// answers the dispatcher and the audio and parameter callbacks by driving the plug-in, and
// makes the plug-in's calls to the host through audioMasterCallback.
//
// Entry points and the plug-in lock: every entry point finds the binding through
// AEffect.object. The audio callbacks, setParameter, getParameter and every dispatcher opcode
// hold the plug-in lock for their whole run, with two exceptions: effClose waits until the lock
// is free, releases it and destroys the binding with its plug-in; effEditIdle first runs the
// editor's Idle without the lock (its window may wait for the display or the user, and the
// audio thread must not wait with it), then the rest of the opcode with the lock.
class IPluginVST final : public IPluginHost {
public:
    // [ui] Takes over the plug-in (which must exist), hands it this binding as its host, connects
    // every channel and applies a block size of 1024.
    IPluginVST(audioMasterCallback hostCallback, std::unique_ptr<IPluginBase> plugin);
    // [ui] Through effClose only (or by its creator before the host saw it). Destroys the plug-in.
    ~IPluginVST() = default;
    IPluginVST(const IPluginVST&) = delete;
    IPluginVST& operator=(const IPluginVST&) = delete;

    // [ui] A binding for plugin; none when plugin is none or memory ran out. The caller owns it
    // until the host takes its descriptor.
    static IPluginVST* Create(audioMasterCallback hostCallback, std::unique_ptr<IPluginBase> plugin);

    // [any] No lock. The descriptor the host keeps (owned by the binding).
    AEffect* Descriptor() { return &effect; }
    // [any] No lock. The plug-in (owned by the binding).
    IPluginBase* Plugin() const { return plugin.get(); }
    // [any] The version as VST reports it: (major * 100 + minor) * 100 + bug-fix.
    static int32_t VstVersion(int32_t version);

    // Calls from the plug-in to the host, on the threads and under the locks IPluginHost states.
    void BeginParameterGesture(int index) override;
    void AutomateParameter(int index, double normalized) override;
    void EndParameterGesture(int index) override;
    void RequestHostDisplayUpdate() override;
    bool IsOfflineRendering() override;
    int SamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int& beatsPerBar, int& beatUnit) override;
    void HostTime(HostTimeInfo& info) override;
    // Identifies the host by its product name on first use.
    int HostCode() override;
    int32_t HostVersion() override;
    void UpdateEditorRect() override;
    void SetLatencySamples(int samples) override;
    bool SendMidiToHost(const MidiMessage& message) override;
    bool SendSysExToHost(const SysExMessage& message) override;

private:
    // [ui] Plug-in lock held. Runs once, at effOpen: identifies the host and settles the channel
    // counts.
    void PrepareForHost();
    // [any] Plug-in lock held. True for hosts that exchange only program chunks (asked once,
    // then cached).
    bool IsChunkQuirkHost();
    // [any] Plug-in lock held. The dispatcher's work for one opcode (effClose is handled outside).
    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    // The entry points in the descriptor. [ui] The dispatcher (hosts also send some opcodes from
    // other threads); the locking is as the class comment says.
    static VstIntPtr VSTCALLBACK VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                               VstIntPtr value, void* ptr, float opt);
    // [audio] Take the plug-in lock.
    static void VSTCALLBACK VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                VstInt32 frames);
    static void VSTCALLBACK VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                      VstInt32 frames);
    // [any] Take the plug-in lock.
    static void VSTCALLBACK VSTSetParameter(AEffect* effect, VstInt32 index, float value);
    static float VSTCALLBACK VSTGetParameter(AEffect* effect, VstInt32 index);

    // [any] An editor is attached and this target can open its window.
    bool HasWindowedEditor() const;
    // [any] Any lock state (the gestures come without it). Calls the host's callback; 0 without one.
    intptr_t CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    // [audio] Asks the host for its time information, filtered by the flags wanted; none without
    // an answer. The host owns the record.
    const VstTimeInfo* QueryTime(int32_t filter);
    // [audio] Hands one event to the host; true if it took it.
    bool SendEventToHost(VstEvent* event);
    // [audio] Plug-in lock held. Asks for MIDI before each block, as hosts expect of a plug-in
    // that takes it.
    void WantMidi();

    // [any] Plug-in lock held: the dispatcher's opcodes that need more than a line.
    intptr_t Pins(int index, void* ptr, bool inputs);
    intptr_t SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);
    intptr_t ProcessEvents(const VstEvents* events);
    intptr_t StringToParameter(int index, const char* text);
    intptr_t VendorSpecific(int index, intptr_t value, void* ptr, float opt);
    intptr_t CanDo(const char* capability);

    std::unique_ptr<IPluginBase> plugin;
    ERect editorRect = {0, 0, 0, 0};
    audioMasterCallback hostCallback;
    VstSpeakerArrangement inputArrangement;
    VstSpeakerArrangement outputArrangement;
    int32_t hostCode = -1; // not yet identified
    int32_t hostVersion = 0;
    bool hostPrepared = false;
    int32_t hostExtensionFlags = 0;
    bool chunkQuirkChecked = false;
    bool chunkQuirkHost = false;
    AEffect effect;
};
