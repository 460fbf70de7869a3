#pragma once

#include "core/IByteBuffer.h"
#include "core/IParameter.h"
#include "core/PluginRecords.h"
#include "platform/RecursiveLock.h"

#include <cstdint>
#include <memory>

class IGraphics;

// Capacity of the effect, product and maker names, terminator included.
constexpr int kPluginNameCapacity = 128;

// Samples of each channel's scratch while the host has announced no usable block size.
constexpr int kDefaultScratchFrames = 1024;
// The most samples a channel's scratch holds; longer blocks are processed in pieces.
constexpr int kMaxScratchFrames = 65536;

// Chunk header: the magic "tffp" and the format version.
constexpr int32_t kChunkMagic = 0x70666674;
constexpr int32_t kChunkVersion = 0x00010000;

// The host-neutral core of the plug-in: parameters, programs, channels, the editor and the
// instance lock. The effect is notified through the virtual hooks; every host call is a
// virtual operation that the host binding overrides (the base behaves as if no host listened).
class IPluginBase {
public:
    // channelIO lists configurations "inputs-outputs" separated by blanks, e.g. "1-1 2-2".
    // version holds the major version in bits 16-31, the minor in 8-15, the bug-fix in 0-7.
    IPluginBase(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
                const char* productName, const char* makerName, int32_t version, int32_t uniqueId,
                int32_t makerId, int latency, bool acceptsMidi, bool isInstrument);
    virtual ~IPluginBase();
    IPluginBase(const IPluginBase&) = delete;
    IPluginBase& operator=(const IPluginBase&) = delete;

    // Effect hooks; each runs with the plug-in lock held.
    virtual void OnReset() {}
    virtual void OnParameterChange(int /*index*/) {}
    // Copies input i to output i for every i below both channel counts, silences other outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    virtual void OnEditorOpen() {}
    virtual void OnEditorClose() {}
    virtual void OnHostIdle() {}
    virtual void OnActiveChange(bool /*active*/) {}
    // Passes the message back out to the host.
    virtual void OnMidiMessage(const MidiMessage& message);
    virtual void OnSysExMessage(const SysExMessage& /*message*/) {}
    // Writes the name of a MIDI note into out (64 bytes); the base has none.
    virtual bool MidiNoteName(int note, char* out);
    // Appends the state of the parameters; the base writes the parameter record.
    virtual bool SaveState(IByteBuffer& buffer);
    // Reads a state at pos; answers the position after it, or -1 when the data ended early.
    virtual int LoadState(const IByteBuffer& buffer, int pos);
    // True when every parameter equals values[start + i] in single precision within 0.00001.
    virtual bool MatchesStoredValues(const double* values, int start);
    virtual void OnEditorResize() {}
    virtual void OnHostKnown() {}
    virtual void OnHostParameterMenu(int /*index*/, int /*x*/, int /*y*/) {}
    // A control moved: set the parameter, tell the host, notify the effect.
    virtual void SetParameterFromEditor(int index, double normalized);

    // Calls to the host.
    virtual void BeginParameterGesture(int /*index*/) {}
    virtual void AutomateParameter(int /*index*/, double /*normalized*/) {}
    virtual void EndParameterGesture(int /*index*/) {}
    virtual void RequestHostDisplayUpdate() {}
    virtual bool IsOfflineRendering() { return false; }
    virtual int SamplePosition() { return 0; }
    virtual double HostTempo() { return 0.0; }
    virtual void HostTimeSignature(int& beatsPerBar, int& beatUnit);
    // Overwrites the fields of info that the host reports as valid.
    virtual void HostTime(HostTimeInfo& /*info*/) {}
    virtual int HostCode() { return host; }
    virtual int GetHostHint() { return hostHint; }
    virtual void UpdateEditorRect() {}
    virtual void PrepareForHost() {}
    // Takes ownership of the editor and shows it every parameter's value.
    virtual void AttachEditor(IGraphics* newEditor);
    virtual void SetLatencySamples(int samples) { latency = samples; }
    virtual bool SendMidiToHost(const MidiMessage& /*message*/) { return false; }
    virtual bool SendSysExToHost(const SysExMessage& /*message*/) { return false; }
    // Hands every parameter's plain value to the attached editor.
    virtual void SendParametersToEditor();
    // Reads a bank (names, flags, states) at pos; answers the position after it or -1.
    virtual int UnserializePresets(const IByteBuffer& buffer, int pos);
    // Stores the current values into the current program, renamed when name is not empty.
    virtual void ModifyCurrentPreset(const char* name);
    virtual void OnPresetChange() {}
    // Ignores rates that are not finite and positive.
    virtual void ApplySampleRate(double rate);
    // Stores the announced block size and sizes every channel's scratch to that many samples of
    // silence, at most kMaxScratchFrames; a size below 1 (unknown) gets kDefaultScratchFrames.
    virtual void ApplyBlockSize(int n);

    IParameter* ParameterAt(int index);
    const IParameter* ParameterAt(int index) const;
    int ParameterCount() const { return parameterCount; }
    // True if a configuration has the given input count and output count; negative matches any.
    bool LegalIO(int inputs, int outputs) const;
    void NotifyAllParameters();
    void SendParametersToHost();

    // Programs.
    int PresetCount() const { return presetCount; }
    IPresetSlot* PresetAt(int index);
    const char* PresetName(int index) const;
    int CurrentPreset() const { return currentPreset; }
    bool LoadPreset(int index);
    void FillUnusedPresets(int count);

    // State chunks: little-endian records in byte buffers.
    static void PutChunkHeader(IByteBuffer& buffer);
    // Answers the version after the header at pos and moves pos past it; 0 without a header
    // (pos unchanged), 0 and pos -1 for a header cut after its magic.
    static int32_t ReadChunkHeader(const IByteBuffer& buffer, int& pos);
    bool SerializeParams(IByteBuffer& buffer);
    int UnserializeParams(const IByteBuffer& buffer, int pos);
    bool SerializePresets(IByteBuffer& buffer);
    // Builds the program or bank chunk; stores its address in *data and answers its size,
    // or 0. The bytes stay valid until the next chunk call.
    int32_t GetChunk(void** data, bool isBank);
    // Loads a program or bank chunk of size bytes; answers 1 on success, else 0.
    // quirkHost marks a host that hands banks over as programs.
    int32_t SetChunk(const void* data, int64_t size, bool isBank, bool quirkHost);

    // Channels.
    int InputCount() const { return inputCount; }
    int OutputCount() const { return outputCount; }
    InputChannel* InputChannelAt(int index);
    OutputChannel* OutputChannelAt(int index);

    RecursiveLock& Lock() { return pluginLock; }
    IGraphics* Editor() const { return editor; }
    double SampleRate() const { return sampleRate; }
    int BlockSize() const { return blockSize; }
    int Latency() const { return latency; }
    int TailSize() const { return tailSize; }
    int32_t Version() const { return version; }
    int32_t UniqueId() const { return uniqueId; }
    int32_t MakerId() const { return makerId; }
    int32_t HostVersion() const { return hostVersion; }
    bool IsInstrument() const { return isInstrument; }
    bool AcceptsMidi() const { return acceptsMidi; }
    const char* EffectName() const { return effectName; }
    const char* ProductName() const { return productName; }
    const char* MakerName() const { return makerName; }

protected:
    // The instance lock: recursive, since locked paths call each other.
    RecursiveLock pluginLock;

    char effectName[kPluginNameCapacity];
    char productName[kPluginNameCapacity];
    char makerName[kPluginNameCapacity];
    int32_t uniqueId;
    int32_t makerId;
    int32_t version;
    int32_t hostHint = 0;
    int32_t host = -1; // not yet identified
    int32_t hostVersion = 0;
    bool isInstrument;
    bool acceptsMidi;
    int32_t currentPreset = 0;
    double sampleRate = 44100.0;
    int32_t blockSize = 0;
    int32_t latency;
    int32_t tailSize = 0;

    // Keep the bytes handed to the host alive until the next chunk call.
    IByteBuffer programChunk{4096};
    IByteBuffer bankChunk{4096};

    // Data arrays handed to ProcessBlock, one entry per channel.
    std::unique_ptr<double*[]> inputData;
    std::unique_ptr<double*[]> outputData;
    // Samples every channel's scratch holds: the longest piece an audio call may hand over.
    int32_t scratchFrames = 0;

private:
    void ParseChannelIO(const char* channelIO);

    int channelIOCount = 0;
    std::unique_ptr<ChannelIOPair[]> channelIOs;
    int inputCount = 0;
    int outputCount = 0;
    std::unique_ptr<InputChannel[]> inputChannels;
    std::unique_ptr<OutputChannel[]> outputChannels;
    int presetCount = 0;
    std::unique_ptr<IPresetSlot[]> presets;
    int parameterCount = 0;
    std::unique_ptr<IParameter[]> parameters;
    IGraphics* editor = nullptr;
};
