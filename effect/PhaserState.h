#pragma once

#include "effect/dsp/PhaserParameter.h"

#include <cstdint>

class IByteBuffer;

// The phaser's versioned state: a header text naming the product and version, then the plain
// parameter values as doubles in index order. Version 2.0.0 lacks Waveform; older states have
// no header and only the first seven values.
constexpr char kPhaserStateHeader[] = "Kestrunelle Phaser_2.0.1";
constexpr char kPhaserStateHeader200[] = "Kestrunelle Phaser_2.0.0";
constexpr int32_t kPhaserStateHeaderLength = sizeof(kPhaserStateHeader) - 1;

// Appends the current header text.
bool PutPhaserStateHeader(IByteBuffer& buffer);

// What a state holds for each parameter. A parameter marked assigned takes `value` clamped into
// its range; a parameter the state lacks, or whose stored value is not finite, is assigned 0
// (which clamps to its "missing" setting). Parameters after a value that ran past the end of the
// buffer are not assigned.
struct PhaserStateValues {
    double value[kPhaserParameterCount] = {};
    bool assigned[kPhaserParameterCount] = {};
};

// Reads a state of any known version starting at pos. Answers the position after the last value
// read, or -1 if the buffer ended before all expected values were read.
int32_t ReadPhaserState(const IByteBuffer& buffer, int32_t pos, PhaserStateValues& out);

// The factory programs, with LFOSpeed given as the square of the stored value (frequency / 25).
struct PhaserFactoryProgram {
    const char* name;
    double values[kPhaserParameterCount];
};

constexpr int kPhaserFactoryProgramCount = 10;

extern const PhaserFactoryProgram PhaserFactoryPrograms[kPhaserFactoryProgramCount];
