#include "effect/dsp/PhaserProcessor.h"

#include "effect/dsp/SyncNoteTable.h"

#include <emmintrin.h>

#include <atomic>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kTwoPi = PhaserLFO::kTwoPi;
constexpr double kFiftyPi = 157.07963267948966;         // free-running rate: 25 × v² Hz
constexpr double kTwoPiTimes16000 = 100530.96491487337; // first-stage corner at 16 kHz

// Shared by every instance and both channels; only its sign pattern matters, so relaxed
// loads and stores suffice.
std::atomic<double> denormalOffset{1e-13};

} // namespace

PhaserProcessor::PhaserProcessor() {
    Reset(lfo.lfoSampleRate);
}

double PhaserProcessor::SharedDenormalOffset() {
    return denormalOffset.load(std::memory_order_relaxed);
}

void PhaserProcessor::Reset(double sampleRate) {
    tickCountdown = 0;
    // At least one frame per tick, so that every segment advances even below 1000 Hz; rates
    // beyond the int range count as its largest value.
    const int wholeRate = sampleRate < 2147483647.0 ? static_cast<int>(sampleRate) : INT32_MAX;
    const int framesPerTick = wholeRate / 1000;
    samplesPerTick = framesPerTick > 1 ? framesPerTick : 1;
    if (sampleRate != lfo.lfoSampleRate) {
        lfo.lfoSampleRate = sampleRate;
        lfo.phase = -kTwoPi;
        lfo.tickRate = sampleRate / samplesPerTick;
    }
    frequencyScale = kTwoPiTimes16000 / sampleRate;
    for (int j = 0; j < kMaxStages; ++j) {
        for (int c = 0; c < kChannels; ++c) {
            coefficients[j][c] = 0.0;
            states[j][c] = 0.0;
        }
    }
    for (int c = 0; c < kChannels; ++c) {
        cascadeGain[c] = 0.0;
        loopNorm[c] = 0.0;
    }
}

void PhaserProcessor::SetParameter(int index, double v, double normalized) {
    switch (index) {
    case Stages: {
        // The loop solve must cover exactly the stages in use from the next frame on, or strong
        // feedback explodes until the next tick: recompute it from the last tick's sweep.
        const int count = v < 0.5 ? 4 : 8;
        if (count != stageCount) {
            stageCount = count;
            UpdateCoefficients();
        }
        break;
    }
    case Manual:
        manual = v;
        break;
    case Spread:
        spreadFactor = 1.0 - v * 0.5;
        break;
    case Feedback:
        feedbackGain = v * 0.99;
        UpdateLoopNorms();
        break;
    case LFOSpeed:
        lfo.speed = v;
        lfo.phaseIncrement = v * kFiftyPi * v / lfo.tickRate;
        lfo.noteIndex = SyncNoteIndex(normalized);
        break;
    case LFODepth:
        depth = v;
        break;
    case Mix:
        dryGain = std::sqrt(1.0 - v);
        wetGain = std::sqrt(v);
        break;
    case SyncToHost:
        syncEnabled = v >= 0.5;
        if (!syncEnabled) {
            lfo.phaseIncrement = lfo.speed * kFiftyPi * lfo.speed / lfo.tickRate;
        }
        break;
    case Stereo:
        // Right half: cross-fade of the amount 2v − 1; left half: a phase offset up to π.
        lfo.crossfadeMode = v > 0.5;
        if (lfo.crossfadeMode) {
            lfo.stereoPhaseOffset = kTwoPi * 0.5;
            lfo.crossfadeAmount = 2.0 * v - 1.0;
        } else {
            lfo.stereoPhaseOffset = (0.5 - v) * kTwoPi;
            lfo.crossfadeAmount = 0.0;
        }
        break;
    case Waveform:
        lfo.waveform = static_cast<int>(v);
        break;
    default:
        break;
    }
}

void PhaserProcessor::TempoStep(double tempo, double ppqPos, bool playing) {
    const double beats = SyncNoteTable[lfo.noteIndex].beats;
    const double period = 4.0 * beats; // in sixteenth notes
    const double t = std::round(tempo * 1000.0) * 0.001;
    // An unusable tempo, or one whose increment overflows, falls back to 120 rather than
    // spoiling the phase for good.
    double increment = (t * kTwoPi) / (period * 15.0 * lfo.tickRate);
    if (t <= 0.0 || !std::isfinite(increment)) {
        increment = (120.0 * kTwoPi) / (period * 15.0 * lfo.tickRate);
    }
    lfo.phaseIncrement = increment;
    if (playing) {
        // Pull the LFO forward, never back, to the song position's fraction of a sixteenth.
        const double e = lfo.phase * period / kTwoPi;
        const double f = std::floor(e + 0.5);
        const double q = 4.0 * ppqPos;
        double r = (q - std::floor(q)) + f;
        if (e - f < 0.0) {
            r -= 1.0;
        }
        const double target = r * kTwoPi / period;
        if (target > lfo.phase) {
            lfo.phase = target;
        }
    }
    if (playing != wasPlaying) {
        wasPlaying = playing;
        if (playing) {
            lfo.phase = -kTwoPi;
        }
    }
}

void PhaserProcessor::Tick() {
    lfo.Tick();
    UpdateCoefficients();
    ClearNonFiniteStates();
}

void PhaserProcessor::UpdateCoefficients() {
    for (int c = 0; c < kChannels; ++c) {
        const double m = c == 0 ? lfo.outputLeft : lfo.outputRight;
        double g = (m * m - manual) * depth + manual;
        if (g < 0.0) {
            g = 0.0;
        } else if (g > 1.0) {
            g = frequencyScale;
        } else {
            g = g * frequencyScale;
        }
        // Bilinear all-pass coefficient with tan(wT/2) taken as wT/2.
        double product = 1.0;
        for (int j = 0; j < stageCount; ++j) {
            const double a = (1.0 / (g + 2.0)) * (g - 2.0);
            coefficients[j][c] = a;
            product = product * a;
            g = g * spreadFactor;
        }
        cascadeGain[c] = product;
    }
    UpdateLoopNorms();
}

void PhaserProcessor::UpdateLoopNorms() {
    for (int c = 0; c < kChannels; ++c) {
        loopNorm[c] = 1.0 / (cascadeGain[c] * feedbackGain + 1.0);
    }
}

// A non-finite input sample would otherwise stay in the recursive states and silence the
// channel for good.
void PhaserProcessor::ClearNonFiniteStates() {
    for (int c = 0; c < kChannels; ++c) {
        bool finite = true;
        for (int j = 0; j < kMaxStages; ++j) {
            finite = finite && std::isfinite(states[j][c]);
        }
        if (!finite) {
            for (int j = 0; j < kMaxStages; ++j) {
                states[j][c] = 0.0;
            }
        }
    }
}

void PhaserProcessor::Process(const double* const* inputs, double* const* outputs, int frameCount) {
    if (frameCount < 1) {
        return;
    }
    double d = denormalOffset.load(std::memory_order_relaxed);
    int remaining = frameCount;
    int i = 0;
    while (remaining > 0) {
        int n = 0;
        if (tickCountdown <= 0) {
            Tick();
            n = samplesPerTick;
            if (remaining < n) {
                tickCountdown = n - remaining;
                n = remaining;
            }
        } else if (tickCountdown < remaining) {
            n = tickCountdown;
            tickCountdown = 0;
        } else {
            n = remaining;
            tickCountdown -= remaining;
        }
        remaining -= n;
        if (stageCount == kMaxStages) {
            d = RunFrames<kMaxStages>(inputs[0] + i, inputs[1] + i, outputs[0] + i, outputs[1] + i, n, d);
        } else {
            d = RunFrames<4>(inputs[0] + i, inputs[1] + i, outputs[0] + i, outputs[1] + i, n, d);
        }
        denormalOffset.store(d, std::memory_order_relaxed);
        i += n;
    }
}

// Lane 0 carries channel 0 and lane 1 channel 1; every lane operation is the scalar operation
// of the per-frame recipe, in its order, so the result is the same to the bit.
template <int N>
double PhaserProcessor::RunFrames(const double* in0, const double* in1, double* out0, double* out1, int count,
                                  double d) {
    __m128d s[N];
    __m128d a[N];
#pragma GCC unroll 8
    for (int j = 0; j < N; ++j) {
        s[j] = _mm_loadu_pd(states[j]);
        a[j] = _mm_loadu_pd(coefficients[j]);
    }
    const __m128d gain = _mm_loadu_pd(cascadeGain);
    const __m128d norm = _mm_loadu_pd(loopNorm);
    const __m128d feedback = _mm_set1_pd(feedbackGain);
    const __m128d wet = _mm_set1_pd(wetGain);
    const __m128d dry = _mm_set1_pd(dryGain);
    const __m128d sign = _mm_set1_pd(-0.0);
    __m128d offset = _mm_set1_pd(d);
    for (int i = 0; i < count; ++i) {
        offset = _mm_xor_pd(offset, sign);
#pragma GCC unroll 8
        for (int j = 0; j < N; ++j) {
            s[j] = _mm_add_pd(s[j], offset);
        }
        // The part of the cascade output that does not depend on the present input.
        __m128d rest = s[0];
#pragma GCC unroll 8
        for (int j = 1; j < N; ++j) {
            rest = _mm_add_pd(_mm_mul_pd(rest, a[j]), s[j]);
        }
        const __m128d x = _mm_add_pd(_mm_loadh_pd(_mm_load_sd(in0 + i), in1 + i), offset);
        // Solves y = G·(x − feedback·y) + rest without a unit delay.
        const __m128d y = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(x, gain), rest), norm);
        __m128d u = _mm_sub_pd(x, _mm_mul_pd(y, feedback));
        // Each stage: the all-pass (a + z⁻¹)/(1 + a·z⁻¹) in transposed direct form II.
#pragma GCC unroll 8
        for (int j = 0; j < N; ++j) {
            const __m128d v = _mm_add_pd(_mm_mul_pd(a[j], u), s[j]);
            s[j] = _mm_sub_pd(u, _mm_mul_pd(a[j], v));
            u = v;
        }
        const __m128d out = _mm_add_pd(_mm_mul_pd(y, wet), _mm_mul_pd(x, dry));
        _mm_store_sd(out0 + i, out);
        _mm_storeh_pd(out1 + i, out);
    }
#pragma GCC unroll 8
    for (int j = 0; j < N; ++j) {
        _mm_storeu_pd(states[j], s[j]);
    }
    return _mm_cvtsd_f64(offset);
}
