#pragma once

#include "core/IByteBuffer.h"
#include "core/IEditor.h"
#include "core/IParameter.h"
#include "core/IPluginHost.h"
#include "core/PluginRecords.h"
#include "core/RecursiveLock.h"

#include <cstdint>
#include <memory>

// Capacity of the effect, product and maker names, terminator included.
constexpr int kPluginNameCapacity = 128;

// Samples of each channel's scratch while the host has announced no usable block size.
constexpr int kDefaultScratchFrames = 1024;
// The most samples a channel's scratch holds; longer blocks are processed in pieces.
constexpr int kMaxScratchFrames = 65536;

// A tail that may go on for ever (TailFrames).
constexpr int32_t kInfiniteTail = -1;
// The length of the fade between the effect and the dry signal when bypass changes.
constexpr double kBypassFadeSeconds = 0.010;

// No host state of this plug-in comes near this size: bytes that do are no state of it, and a
// binding stops reading them there.
constexpr int32_t kLargestHostState = 16 * 1024 * 1024;

// Chunk header: the magic "tffp" and the format version.
constexpr int32_t kChunkMagic = 0x70666674;
constexpr int32_t kChunkVersion = 0x00010000;

// The host-neutral core of the plug-in: parameters, programs, channels, the editor and the
// instance lock. The effect derives from it and is notified through the virtual hooks. A
// format's binding owns the plug-in, drives it through the public operations below and answers
// its calls to the host through IPluginHost; without a host those calls behave as if no host
// listened.
//
// Threads and the plug-in lock: the binding's entry points (the host's user-interface,
// audio and other threads) hold the recursive plug-in lock while they call into the plug-in,
// so its operations never overlap. Every hook runs with the lock held by its caller and never
// takes it itself. Operations that the editor or a binding may reach without the lock take it
// themselves, as their contracts say.
class IPluginBase {
public:
    // [ui] channelIO lists configurations "inputs-outputs" separated by blanks, e.g. "1-1 2-2".
    // version holds the major version in bits 16-31, the minor in 8-15, the bug-fix in 0-7.
    IPluginBase(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
                const char* productName, const char* makerName, int32_t version, int32_t uniqueId,
                int32_t makerId, int latency, bool acceptsMidi, bool isInstrument);
    // [ui] The binding waits for the lock to be free first. Destroys the editor, then programs,
    // parameters and channels.
    virtual ~IPluginBase();
    IPluginBase(const IPluginBase&) = delete;
    IPluginBase& operator=(const IPluginBase&) = delete;

    // [ui] No lock: before the binding hands the plug-in to any other thread. The host the
    // plug-in calls from now on (not owned; none to call no host).
    void SetHost(IPluginHost* newHost) { host = newHost; }

    // Effect hooks.
    // [any] Sample rate or block size changed, or the host suspended the plug-in.
    virtual void OnReset() {}
    // [any] Parameter index changed, from the host, the editor or a state load.
    virtual void OnParameterChange(int /*index*/) {}
    // [audio] Copies input i to output i for every i below both channel counts, silences other
    // outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    // [ui]
    virtual void OnEditorOpen() {}
    virtual void OnEditorClose() {}
    // [ui] The host's idle call, or a frame of the editor with nothing to paint.
    virtual void OnHostIdle() {}
    // [any] The host resumed (true) or suspended (false) processing.
    virtual void OnActiveChange(bool /*active*/) {}
    // [audio] A MIDI message for the coming block; the base passes it back out to the host.
    virtual void OnMidiMessage(const MidiMessage& message);
    virtual void OnSysExMessage(const SysExMessage& /*message*/) {}
    // [ui] Writes the name of a MIDI note into out (64 bytes); the base has none.
    virtual bool MidiNoteName(int note, char* out);
    // [any] Appends the state of the parameters; the base writes the parameter record.
    virtual bool SaveState(IByteBuffer& buffer);
    // [any] Reads a state at pos; answers the position after it, or -1 when the data ended early.
    virtual int LoadState(const IByteBuffer& buffer, int pos);
    // [any] True when every parameter equals values[start + i] in single precision within 0.00001.
    virtual bool MatchesStoredValues(const double* values, int start);
    // [ui] The editor changed size.
    virtual void OnEditorResize() {}
    // [ui] The binding has identified the host (HostCode answers it now).
    virtual void OnHostKnown() {}
    // [ui] A right-click on the control of parameter index, where the host shows its own menu.
    virtual void OnHostParameterMenu(int /*index*/, int /*x*/, int /*y*/) {}
    // [any] A program was made current or renamed.
    virtual void OnPresetChange() {}
    // [any] How many frames the output may go on after the input falls silent, kInfiniteTail
    // when it may never end; the base answers the tail size.
    virtual int32_t TailFrames() { return tailSize; }

    // [ui] Takes the plug-in lock. A control moved: set the parameter, tell the host, notify the
    // effect.
    virtual void SetParameterFromEditor(int index, double normalized);
    // [any] Plug-in lock held. A normalised value from the host (clamped into 0..1; not a number
    // is ignored): the editor's controls, the parameter and the effect follow.
    void SetParameterFromHost(int index, double normalized);
    // [any] Plug-in lock held. The same with a plain value (clamped into the range).
    void SetPlainParameterFromHost(int index, double plain);

    // Calls to the host: each passes to the host's IPluginHost, on the thread and under the lock
    // stated there. Without a host they answer as if no host listened.
    virtual void BeginParameterGesture(int index);
    virtual void AutomateParameter(int index, double normalized);
    virtual void EndParameterGesture(int index);
    virtual void RequestHostDisplayUpdate();
    virtual bool IsOfflineRendering();
    virtual int SamplePosition();
    virtual double HostTempo();
    virtual void HostTimeSignature(int& beatsPerBar, int& beatUnit);
    // Overwrites the fields of info that the host reports as valid.
    virtual void HostTime(HostTimeInfo& info);
    // -1 without a host.
    virtual int HostCode();
    int32_t HostVersion();
    // [any] No lock. The base never sets the hint: 0.
    virtual int GetHostHint() { return hostHint; }
    // [ui] Plug-in lock held. The editor changed size: the host and the effect follow.
    virtual void UpdateEditorRect();
    // [any] Plug-in lock held. Stores the delay and tells the host.
    virtual void SetLatencySamples(int samples);
    virtual bool SendMidiToHost(const MidiMessage& message);
    virtual bool SendSysExToHost(const SysExMessage& message);

    // [ui] Takes the plug-in lock. Takes ownership of the editor, shows it every parameter's
    // value, has it make its surface and tells the host. Nothing for none.
    virtual void AttachEditor(std::unique_ptr<IEditor> newEditor);
    // [any] Plug-in lock held. Hands every parameter's plain value to the attached editor.
    virtual void SendParametersToEditor();
    // [any] Plug-in lock held. Reads a bank (names, flags, states) at pos; answers the position
    // after it or -1.
    virtual int UnserializePresets(const IByteBuffer& buffer, int pos);
    // [any] Plug-in lock held. Stores the current values into the current program, renamed when
    // name is not empty.
    virtual void ModifyCurrentPreset(const char* name);
    // [any] Plug-in lock held. Ignores rates that are not finite and positive.
    virtual void ApplySampleRate(double rate);
    // [any] Plug-in lock held. Stores the announced block size and sizes every channel's scratch
    // to that many samples of silence, at most kMaxScratchFrames; a size below 1 (unknown) gets
    // kDefaultScratchFrames.
    virtual void ApplyBlockSize(int n);

    // [audio] Plug-in lock held. Runs ProcessBlock over a host block of single-precision samples,
    // one buffer per connected channel: the samples go through each channel's scratch in double
    // precision, in pieces of at most the scratch's length. With accumulate the output is added
    // to what the host's buffers hold, else it replaces it.
    void ProcessHostBlock(float** inputs, float** outputs, int frames, bool accumulate);
    // [audio] Plug-in lock held. The same for double-precision buffers, which ProcessBlock reads
    // and writes directly (a disconnected channel works in its scratch).
    void ProcessHostBlock(double** inputs, double** outputs, int frames);
    // [audio] Plug-in lock held. A replacing block with the host's changes (parameters, bypass,
    // program), in rising order of offset: the block is processed in pieces that end where a
    // change takes effect, so each acts from its own frame on, as if the host had made it
    // between two blocks there. Changes at or past the block's end act after it. A block of no
    // frames touches no buffer (they may be missing) and only applies the changes.
    void ProcessHostBlock(float** inputs, float** outputs, int frames, const ParameterChange* changes,
                          int changeCount);
    void ProcessHostBlock(double** inputs, double** outputs, int frames, const ParameterChange* changes,
                          int changeCount);
    // [audio] Plug-in lock held. The frame of the host's block at which the piece that
    // ProcessBlock is working on starts (0 outside processing), for bindings that report the
    // host's position at the start of each piece.
    int32_t BlockOffset() const { return blockOffset; }
    // [any] Plug-in lock held. Bypass on or off: the output fades over kBypassFadeSeconds, at
    // equal power, to the dry input (outputs without an input to silence) and back; without
    // fade (a state loaded while no audio runs) it is there at once. The effect goes on
    // processing meanwhile, so it comes back without a jump.
    void SetBypass(bool bypassed, bool fade);
    bool Bypassed() const { return bypassTarget; }

    // [any] Plug-in lock held, except while the plug-in is being built. Parameters; the plug-in
    // owns them; none for an index out of range.
    IParameter* ParameterAt(int index);
    const IParameter* ParameterAt(int index) const;
    int ParameterCount() const { return parameterCount; }
    // [any] No lock. True if a configuration has the given input count and output count;
    // negative matches any.
    bool LegalIO(int inputs, int outputs) const;
    // [any] Plug-in lock held. OnParameterChange for every parameter, in index order.
    void NotifyAllParameters();
    // [any] Takes the plug-in lock. Reports every parameter's normalised value to the host.
    void SendParametersToHost();

    // Programs. [any] Plug-in lock held; the plug-in owns the slots.
    int PresetCount() const { return presetCount; }
    IPresetSlot* PresetAt(int index);
    const char* PresetName(int index) const;
    int CurrentPreset() const { return currentPreset; }
    bool LoadPreset(int index);
    void FillUnusedPresets(int count);

    // State chunks: little-endian records in byte buffers. [any] No lock.
    static void PutChunkHeader(IByteBuffer& buffer);
    // Answers the version after the header at pos and moves pos past it; 0 without a header
    // (pos unchanged), 0 and pos -1 for a header cut after its magic.
    static int32_t ReadChunkHeader(const IByteBuffer& buffer, int& pos);
    // [any] Take the plug-in lock.
    bool SerializeParams(IByteBuffer& buffer);
    int UnserializeParams(const IByteBuffer& buffer, int pos);
    // [any] Plug-in lock held.
    bool SerializePresets(IByteBuffer& buffer);
    // [any] Plug-in lock held. Builds the program or bank chunk; stores its address in *data and
    // answers its size, or 0. The plug-in owns the bytes; they stay valid until the next chunk
    // call.
    int32_t GetChunk(void** data, bool isBank);
    // [any] Plug-in lock held. Loads a program or bank chunk of size bytes; answers 1 on success,
    // else 0. quirkHost marks a host that hands banks over as programs.
    int32_t SetChunk(const void* data, int64_t size, bool isBank, bool quirkHost);
    // [any] Plug-in lock held. Loads a program chunk or a bank chunk, whichever the bytes are,
    // only when every byte reads as one; otherwise everything stays as it was (the current
    // program keeps the current values, as when the host saves the bank). Answers whether it
    // loaded.
    bool LoadChunk(const void* data, int64_t size);
    // [any] Plug-in lock held. Appends the state a host of any format stores: the program chunk,
    // followed by a bypass mark while bypassed. False when it could not be written in full.
    bool SaveHostState(IByteBuffer& out);
    // [any] Plug-in lock held. Loads such a state, or a program or bank chunk, or the contents of
    // a .fxp or .fxb file of this plug-in; bypass comes back as saved, with a fade while audio
    // runs. On failure everything is as before.
    bool LoadHostState(const IByteBuffer& in, bool fade);

    // Channels. [any] Plug-in lock held; the plug-in owns them; none for an index out of range.
    int InputCount() const { return inputCount; }
    int OutputCount() const { return outputCount; }
    InputChannel* InputChannelAt(int index);
    OutputChannel* OutputChannelAt(int index);
    // Marks every input and output connected: where a binding's host hands over a buffer for each.
    void ConnectAllChannels();

    // [any] No lock. The plug-in lock.
    RecursiveLock& Lock() { return pluginLock; }
    // [any] No lock. The attached editor (the plug-in owns it), or none.
    IEditor* Editor() const { return editor.get(); }
    // [any] No lock: fixed at construction, or changed only with the plug-in lock held.
    double SampleRate() const { return sampleRate; }
    int BlockSize() const { return blockSize; }
    int Latency() const { return latency; }
    int TailSize() const { return tailSize; }
    int32_t Version() const { return version; }
    int32_t UniqueId() const { return uniqueId; }
    int32_t MakerId() const { return makerId; }
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
    // Whether some channel is disconnected, and so reads or writes its scratch.
    bool UsesScratch();
    // Runs host frames start to start + frames, in pieces of at most the scratch's length.
    template <typename Sample>
    void ProcessInPieces(Sample** inputs, Sample** outputs, int start, int frames, bool accumulate);
    template <typename Sample>
    void ProcessWithChanges(Sample** inputs, Sample** outputs, int frames, const ParameterChange* changes,
                            int changeCount);
    void ApplyChange(const ParameterChange& change);
    // Reads a program's state and its name at pos into the current program; answers the position
    // after them, or -1.
    int ReadProgramChunk(const IByteBuffer& buffer, int pos);
    // Puts back programs and values from a bank chunk this plug-in made.
    void Restore(const IByteBuffer& bank);
    // Keeps the dry input of a piece in the input scratch, where ProcessBlock may overwrite the
    // host's buffers (double precision, in place).
    void KeepDryInput(double** inputs, int start, int frames);
    // Mixes the dry input into the piece's output while bypass is on or fading.
    void MixBypass(int frames);
    // Clears frames of the host's buffers of the connected outputs from start on.
    template <typename Sample>
    void SilenceHostOutputs(Sample** outputs, int start, int frames);

    IPluginHost* host = nullptr;
    int32_t blockOffset = 0;
    // Bypass: the target, and the fade's position from 0 (the effect) to 1 (the dry signal).
    bool bypassTarget = false;
    double bypassPosition = 0.0;
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
    std::unique_ptr<IEditor> editor;
};
