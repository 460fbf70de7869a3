#pragma once

#include <cstdint>
#include <vector>

namespace ksphost {

constexpr int kExampleSampleRate = 44100;
constexpr int kExampleChannels = 2;

// Music to try an effect on: a pad of detuned saw voices with an organ-like octave over a
// bass line, chords changing every bar (A minor 7, F major 7, C, G), and a drum pattern of
// kick, snare and hats at 120 beats per minute. Interleaved stereo at 44.1 kHz, peaking at
// -14 dBFS to leave room for effects that add gain. Only exact arithmetic (+ - * / and floor)
// is used, so every build and every run makes the same samples.
std::vector<float> MakeExampleMaterial(int64_t frames);

} // namespace ksphost
