#include "effect/PhaserState.h"

#include "core/IByteBuffer.h"

#include <cmath>
#include <cstring>

namespace {

bool HeaderAt(const IByteBuffer& buffer, int32_t pos, const char* header) {
    return buffer.Available(pos, kPhaserStateHeaderLength) &&
           std::memcmp(buffer.Data() + pos, header, kPhaserStateHeaderLength) == 0;
}

// Reads `count` values from pos on; the value that runs past the end is assigned 0 and stops the
// reading with pos = -1.
int32_t ReadValues(const IByteBuffer& buffer, int32_t pos, int count, PhaserStateValues& out) {
    for (int i = 0; i < count && pos >= 0; ++i) {
        double v = 0.0;
        pos = buffer.GetDouble(pos, v);
        out.value[i] = pos >= 0 && std::isfinite(v) ? v : 0.0;
        out.assigned[i] = true;
    }
    return pos;
}

void MarkMissing(PhaserParameter index, PhaserStateValues& out) {
    out.value[index] = 0.0;
    out.assigned[index] = true;
}

} // namespace

static_assert(sizeof(kPhaserStateHeader) == sizeof(kPhaserStateHeader200), "both headers have one length");

bool PutPhaserStateHeader(IByteBuffer& buffer) {
    const int32_t before = buffer.Size();
    return buffer.PutBytes(kPhaserStateHeader, kPhaserStateHeaderLength) == before + kPhaserStateHeaderLength;
}

int32_t ReadPhaserState(const IByteBuffer& buffer, int32_t pos, PhaserStateValues& out) {
    const bool current = HeaderAt(buffer, pos, kPhaserStateHeader);
    const bool previous = HeaderAt(buffer, pos, kPhaserStateHeader200);
    if (current || previous) {
        pos = ReadValues(buffer, pos + kPhaserStateHeaderLength, current ? 10 : 9, out);
    } else {
        pos = ReadValues(buffer, pos, 7, out);
        MarkMissing(SyncToHost, out);
        MarkMissing(Stereo, out);
    }
    if (!current) {
        MarkMissing(Waveform, out);
    }
    return pos;
}

const PhaserFactoryProgram PhaserFactoryPrograms[kPhaserFactoryProgramCount] = {
    // Stages, Manual, Spread, Feedback, LFOSpeed², LFODepth, Mix, SyncToHost, Stereo, Waveform
    {"default", {0, 0.0625, 0, 0.5, 0.006, 0.5, 0.5, 0, 0.5, 1}},
    {"Orbitesque", {0, 0.0625, 0, -0.65, 0.0032, 0.66, 0.5, 0, 0.5, 1}},
    {"Uni-Vibe", {0, 0.25, 1, 0, 0.012, 0.9, 0.5, 0, 0.5, 1}},
    {"8-Stager", {1, 0.62, 0, 0, 0.006, 0.95, 0.5, 0, 0.5, 1}},
    {"8-Viber", {1, 1, 0.75, 0, 0.0176, 0.85, 0.5, 0, 0.5, 1}},
    {"Wash out", {0, 0.48, 1, 0.26, 0.124, 0.9, 0.5, 0, 0, 0}},
    {"Comfort", {1, 0.14, 0.35, 0, 0.016, 0.7, 0.5, 0, 1, 1}},
    {"Vibrato", {0, 0.45, 1, 0, 0.22, 0.75, 1, 0, 0.5, 0}},
    {"Feedbacker", {0, 1, 0.66, -0.86, 0.004, 0.95, 1, 0, 0.5, 1}},
    {"Aliens", {1, 0.25, 0.5, 0.9, 0.32, 0.35, 1, 0, 1, 0}},
};
