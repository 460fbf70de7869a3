#pragma once

#include "formats/vst2/VstInterface.h"

#include <cstdint>

namespace ksphost {

// What the host reports about its timeline: tempo, 4/4 time and whether the transport runs.
struct Transport {
    double tempo = 120.0;
    bool playing = false;
};

// Where a sample position lies in the transport's 4/4 time, as every format's host reports it.
struct MusicalPosition {
    double beats = 0.0;    // quarter notes from the start
    double barStart = 0.0; // the quarter note at which the bar begins
};
constexpr int kBeatsPerBar = 4;
MusicalPosition PositionInTime(const Transport& transport, int64_t samples, double sampleRate);

// The host side of the VST 2.4 interface: answers the plug-in's calls (audioMaster...).
// One VstHost serves any number of plug-in instances; each instance finds it through the
// reserved field the host owns in AEffect.
class VstHost {
public:
    void SetSampleRate(double rate) { sampleRate = rate; }
    void SetBlockSize(VstInt32 frames) { blockSize = frames; }
    void SetTransport(const Transport& t) { transport = t; }
    // The position of the next block, in samples from the start.
    void SetPosition(int64_t samples) { position = samples; }

    // The callback handed to a plug-in's entry point. While the entry point runs the new
    // instance has no AEffect yet, so calls without one go to the host that is creating it.
    static audioMasterCallback Callback() { return &Dispatch; }
    // Marks this host as the one creating an instance on this thread (none to end).
    static void BeginCreation(VstHost* host);
    void Adopt(AEffect* effect);

private:
    // The answer to audioMasterGetTime for the current position.
    const VstTimeInfo& TimeInfo();
    VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    static VstIntPtr VSTCALLBACK Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);

    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    Transport transport;
    int64_t position = 0;
    VstTimeInfo timeInfo{};
};

} // namespace ksphost
