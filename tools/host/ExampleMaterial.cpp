#include "tools/host/ExampleMaterial.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ksphost {

namespace {

constexpr double kRate = kExampleSampleRate;
constexpr int64_t kEighth = kExampleSampleRate / 4; // 120 beats per minute
constexpr int64_t kBar = 8 * kEighth;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = 1.5707963267948966;

// 2^(k/12) for k = 0..11.
constexpr std::array<double, 12> kSemitones = {1.0,
                                               1.0594630943592953,
                                               1.122462048309373,
                                               1.189207115002721,
                                               1.2599210498948732,
                                               1.3348398541700344,
                                               1.4142135623730951,
                                               1.4983070768766815,
                                               1.5874010519681994,
                                               1.681792830507429,
                                               1.7817974362806785,
                                               1.8877486253633868};

struct Chord {
    std::array<int, 4> notes; // MIDI note numbers
    int bass;
};

constexpr std::array<Chord, 4> kChords = {{
    {{57, 60, 64, 67}, 45}, // A minor 7
    {{53, 57, 60, 64}, 41}, // F major 7
    {{55, 60, 64, 67}, 48}, // C
    {{55, 59, 62, 67}, 43}, // G
}};

double NoteFrequency(int note) {
    int offset = note - 69;
    double frequency = 440.0;
    while (offset < 0) {
        offset += 12;
        frequency /= 2.0;
    }
    while (offset >= 12) {
        offset -= 12;
        frequency *= 2.0;
    }
    return frequency * kSemitones[static_cast<size_t>(offset)];
}

// sin(2 pi phase) for phase in [0, 1), from its Taylor series on [-pi/2, pi/2].
double Sine(double phase) {
    double sign = 1.0;
    if (phase >= 0.5) {
        phase -= 0.5;
        sign = -1.0;
    }
    double x = phase * kTwoPi;
    if (x > kHalfPi) {
        x = 2.0 * kHalfPi - x;
    }
    const double x2 = x * x;
    const double series =
        x * (1.0 - x2 / 6.0 * (1.0 - x2 / 20.0 * (1.0 - x2 / 42.0 * (1.0 - x2 / 72.0 * (1.0 - x2 / 110.0)))));
    return sign * series;
}

double Wrap(double phase) {
    return phase - std::floor(phase);
}

// The decay factor per sample that makes an envelope fall by 1/e in about tau seconds.
double DecayPerSample(double tau) {
    return 1.0 - 1.0 / (tau * kRate);
}

// Band-limited saw: the naive ramp with the step smoothed over a sample either side.
double PolyBlepSaw(double phase, double increment) {
    double value = 2.0 * phase - 1.0;
    if (phase < increment) {
        const double t = phase / increment;
        value -= t + t - t * t - 1.0;
    } else if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        value -= t * t + t + t + 1.0;
    }
    return value;
}

class Noise {
public:
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(static_cast<int32_t>(state)) / 2147483648.0;
    }

private:
    uint32_t state = 0x1234567u;
};

struct Stereo {
    double left = 0.0;
    double right = 0.0;
};

class Pad {
public:
    Stereo Next(int64_t frame) {
        const Chord& chord = kChords[static_cast<size_t>((frame / kBar) % 4)];
        const int64_t inBar = frame % kBar;
        if (inBar == 0) {
            brightness = 1.0;
        }
        brightness *= DecayPerSample(0.6);
        // 30 ms attack, 80 ms release at the end of each bar.
        double envelope = 1.0;
        if (inBar < 1323) {
            envelope = static_cast<double>(inBar) / 1323.0;
        } else if (inBar > kBar - 3528) {
            envelope = static_cast<double>(kBar - inBar) / 3528.0;
        }
        Stereo raw;
        for (size_t v = 0; v < 4; ++v) {
            const double f = NoteFrequency(chord.notes[v]);
            const double up = f * 1.0015 / kRate;
            const double down = f * 0.9985 / kRate;
            const double octave = 2.0 * f / kRate;
            sawUp[v] = Wrap(sawUp[v] + up);
            sawDown[v] = Wrap(sawDown[v] + down);
            organ[v] = Wrap(organ[v] + octave);
            const double a = PolyBlepSaw(sawUp[v], up);
            const double b = PolyBlepSaw(sawDown[v], down);
            const double o = 0.35 * Sine(organ[v]);
            raw.left += 0.9 * a + 0.45 * b + o;
            raw.right += 0.45 * a + 0.9 * b + o;
        }
        // Two one-pole low-passes whose corner falls after each chord change.
        const double coefficient = 0.08 + 0.25 * brightness;
        for (int stage = 0; stage < 2; ++stage) {
            lowLeft[stage] += coefficient * ((stage == 0 ? raw.left : lowLeft[0]) - lowLeft[stage]);
            lowRight[stage] += coefficient * ((stage == 0 ? raw.right : lowRight[0]) - lowRight[stage]);
        }
        const double gain = 0.2 * envelope;
        return {gain * lowLeft[1], gain * lowRight[1]};
    }

private:
    std::array<double, 4> sawUp{};
    std::array<double, 4> sawDown{};
    std::array<double, 4> organ{};
    std::array<double, 2> lowLeft{};
    std::array<double, 2> lowRight{};
    double brightness = 1.0;
};

class Bass {
public:
    double Next(int64_t frame) {
        const int64_t inBar = frame % kBar;
        const double f = NoteFrequency(kChords[static_cast<size_t>((frame / kBar) % 4)].bass);
        phase = Wrap(phase + f / kRate);
        // Notes on beats 1 and 3, each fading over half a bar.
        constexpr int64_t kNote = kBar / 2;
        const int64_t inNote = inBar % kNote;
        double envelope = inNote < 441 ? static_cast<double>(inNote) / 441.0 : 1.0;
        envelope *= 1.0 - 0.7 * static_cast<double>(inNote) / static_cast<double>(kNote);
        if (inNote > kNote - 882) {
            envelope *= static_cast<double>(kNote - inNote) / 882.0;
        }
        return envelope * (Sine(phase) + 0.25 * Sine(Wrap(2.0 * phase)));
    }

private:
    double phase = 0.0;
};

class Drums {
public:
    Stereo Next(int64_t frame) {
        if (frame % kEighth == 0) {
            Trigger(static_cast<int>((frame / kEighth) % 8), (frame / kBar) % 2 == 1);
        }
        Stereo out;
        // Kick: a sine falling from about 170 Hz to 48 Hz.
        kickPitch *= DecayPerSample(0.035);
        kickLevel *= DecayPerSample(0.28);
        kickPhase = Wrap(kickPhase + (48.0 + 120.0 * kickPitch) / kRate);
        const double kick = 0.7 * kickLevel * Sine(kickPhase);
        // Snare: a short 185 Hz body and a burst of high-passed noise.
        const double noise = noiseSource.Next();
        snareBody *= DecayPerSample(0.05);
        snareNoise *= DecayPerSample(0.12);
        snarePhase = Wrap(snarePhase + 185.0 / kRate);
        snareLow += 0.3 * (noise - snareLow);
        const double snare = 0.5 * snareBody * Sine(snarePhase) + 0.35 * snareNoise * (noise - snareLow);
        // Hats: noise with its lows removed twice.
        hatLevel *= hatDecay;
        hatLow[0] += 0.45 * (noise - hatLow[0]);
        const double high = noise - hatLow[0];
        hatLow[1] += 0.45 * (high - hatLow[1]);
        const double hat = 0.3 * hatLevel * (high - hatLow[1]);
        out.left = kick + snare + 0.6 * hat;
        out.right = kick + snare + 0.9 * hat;
        return out;
    }

private:
    // step: eighth note within the bar (0..7).
    void Trigger(int step, bool variation) {
        if (step == 0 || step == 4 || (variation && step == 3)) {
            kickLevel = 1.0;
            kickPitch = 1.0;
            kickPhase = 0.0;
        }
        if (step == 2 || step == 6) {
            snareBody = 1.0;
            snareNoise = 1.0;
        }
        hatLevel = step % 2 == 1 ? 1.0 : 0.55;
        hatDecay = DecayPerSample(step == 7 ? 0.15 : 0.025);
    }

    Noise noiseSource;
    double kickLevel = 0.0;
    double kickPitch = 0.0;
    double kickPhase = 0.0;
    double snareBody = 0.0;
    double snareNoise = 0.0;
    double snarePhase = 0.0;
    double snareLow = 0.0;
    double hatLevel = 0.0;
    double hatDecay = 0.0;
    std::array<double, 2> hatLow{};
};

} // namespace

std::vector<float> MakeExampleMaterial(int64_t frames) {
    std::vector<double> mix(static_cast<size_t>(frames) * kExampleChannels);
    Pad pad;
    Bass bass;
    Drums drums;
    double peak = 0.0;
    for (int64_t i = 0; i < frames; ++i) {
        const Stereo chords = pad.Next(i);
        const double low = 0.45 * bass.Next(i);
        const Stereo beat = drums.Next(i);
        double left = chords.left + low + beat.left;
        double right = chords.right + low + beat.right;
        // 50 ms fade at the very end so the material stops without a click.
        const int64_t remaining = frames - i;
        if (remaining < 2205) {
            left *= static_cast<double>(remaining) / 2205.0;
            right *= static_cast<double>(remaining) / 2205.0;
        }
        mix[static_cast<size_t>(2 * i)] = left;
        mix[static_cast<size_t>(2 * i + 1)] = right;
        peak = std::max(peak, std::max(std::fabs(left), std::fabs(right)));
    }
    // -14 dBFS: headroom for the resonant programs of an effect (up to +12 dB) without overs.
    const double gain = peak > 0.0 ? 0.19952623149688797 / peak : 0.0;
    std::vector<float> samples(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) {
        samples[i] = static_cast<float>(mix[i] * gain);
    }
    return samples;
}

} // namespace ksphost
