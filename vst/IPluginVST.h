#pragma once

#include "core/IPluginBase.h"
#include "vst/VstInterface.h"

#include <cstdint>

// The VST 2.4 binding: fills the AEffect descriptor handed to the host, answers the
// dispatcher and the audio and parameter callbacks, and makes every call back to the host.
// Every entry point finds the instance through AEffect.object and holds the plug-in lock.
class IPluginVST : public IPluginBase {
public:
    IPluginVST(audioMasterCallback hostCallback, int parameterCount, const char* channelIO, int presetCount,
               const char* effectName, const char* productName, const char* makerName, int32_t version,
               int32_t uniqueId, int32_t makerId, int latency, bool acceptsMidi, bool isInstrument);
    ~IPluginVST() override = default;

    AEffect* Descriptor() { return &effect; }
    // The version as VST reports it: (major * 100 + minor) * 100 + bug-fix.
    static int32_t VstVersion(int32_t version);

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
    void UpdateEditorRect() override;
    // Runs once, at effOpen: identifies the host and settles the channel counts.
    void PrepareForHost() override;
    void AttachEditor(IGraphics* newEditor) override;
    void SetLatencySamples(int samples) override;
    bool SendMidiToHost(const MidiMessage& message) override;
    bool SendSysExToHost(const SysExMessage& message) override;

private:
    // True for hosts that exchange only program chunks (asked once, then cached).
    bool IsChunkQuirkHost();
    // The dispatcher's work for one opcode, with the lock held (effClose is handled outside).
    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    static VstIntPtr VSTCALLBACK VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                               VstIntPtr value, void* ptr, float opt);
    static void VSTCALLBACK VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                VstInt32 frames);
    static void VSTCALLBACK VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                      VstInt32 frames);
    static void VSTCALLBACK VSTSetParameter(AEffect* effect, VstInt32 index, float value);
    static float VSTCALLBACK VSTGetParameter(AEffect* effect, VstInt32 index);

    void FitEditorRect();
    // An editor is attached and this target can open its window.
    bool HasWindowedEditor() const;
    intptr_t CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    // Asks the host for its time information, filtered by the flags wanted; none without an answer.
    const VstTimeInfo* QueryTime(int32_t filter);
    // Hands one event to the host; true if it took it.
    bool SendEventToHost(VstEvent* event);

    void ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, int frames);
    // Clears the host's buffers of the connected outputs.
    template <typename Sample>
    void SilenceHostOutputs(Sample** outputs, int frames);
    void SetParameterFromHost(int index, float value);

    intptr_t Pins(int index, void* ptr, bool inputs);
    intptr_t SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);
    intptr_t ProcessEvents(const VstEvents* events);
    intptr_t StringToParameter(int index, const char* text);
    intptr_t VendorSpecific(int index, intptr_t value, void* ptr, float opt);
    intptr_t CanDo(const char* capability);

    ERect editorRect = {0, 0, 0, 0};
    audioMasterCallback hostCallback;
    VstSpeakerArrangement inputArrangement;
    VstSpeakerArrangement outputArrangement;
    bool hostPrepared = false;
    int32_t hostExtensionFlags = 0;
    bool chunkQuirkChecked = false;
    bool chunkQuirkHost = false;
    AEffect effect;
};
