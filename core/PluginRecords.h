#pragma once

#include "core/FourCharCode.h"
#include "core/IByteBuffer.h"

#include <cstdint>

// Records shared by the plug-in core, its host bindings and the effect.

// One channel configuration of the channel-I/O text ("2-2").
struct ChannelIOPair {
    int32_t inputs = 0;
    int32_t outputs = 0;
};

// Tempo and transport as the host reports them; fields the host does not mark valid keep
// these initial values.
struct HostTimeInfo {
    double tempo = 120.0;
    double samplePos = -1.0;
    double ppqPos = -1.0;
    double barStart = -1.0;
    double loopStart = -1.0;
    double loopEnd = -1.0;
    int32_t beatsPerBar = 4;
    int32_t beatUnit = 4;
    bool playing = false;
    bool looping = false;
};

// What a ParameterChange changes besides the parameters: bypass (value 1 on, 0 off) and the
// current program (value its index).
constexpr int32_t kBypassChange = -1;
constexpr int32_t kProgramChange = -2;
// Changes nothing, but the block is cut where it comes: for what a binding reports from there on
// (a host's transport that changes inside the block).
constexpr int32_t kBlockCut = -3;

// A host's change, taking effect at frame offset of the block it came with: parameter index
// (0 and up) to a normalised value (or, with plain, to a plain one), or kBypassChange or
// kProgramChange.
struct ParameterChange {
    int32_t offset = 0;
    int32_t index = 0;
    double value = 0.0;
    bool plain = false;
};

struct MidiMessage {
    int32_t offset = 0; // frame within the block
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

struct SysExMessage {
    int32_t offset = 0;
    int32_t size = 0;
    const uint8_t* data = nullptr; // not owned
};

constexpr int kPresetNameCapacity = 256;

// One program: its name and the state bytes SaveState wrote for it.
struct IPresetSlot {
    IPresetSlot();
    bool initialised = false;
    char name[kPresetNameCapacity];
    IByteBuffer state{4096};
};

// An audio channel: whether the host connected it, its entry in the data array handed to
// ProcessBlock, a scratch buffer of the block size and an optional pin name.
struct AudioChannel {
    bool connected = false;
    double** dataSlot = nullptr;
    IByteBuffer scratch{4096};
    IByteBuffer label{128};

    double* Scratch() { return reinterpret_cast<double*>(scratch.Data()); }
    int32_t ScratchFrames() const { return scratch.Size() / static_cast<int32_t>(sizeof(double)); }
    // Points the channel's data entry at its own scratch, cleared to silence.
    void Silence();
    const char* Label() const;
    // False when the text could not be stored (the old label stays).
    bool SetLabel(const char* text);
};

struct InputChannel : AudioChannel {};

struct OutputChannel : AudioChannel {
    float* hostOutput = nullptr; // the host's buffer during a single-precision call
};
