#include "effect/dsp/PhaserProcessor.h"
#include "ScalarPhaser.h"
#include "effect/dsp/PhaserParameter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kDefaults[kPhaserParameterCount] = {0, 0.0625, 0, 0, 0.077, 0.5, 0.5, 0, 0.5, 1};

struct Settings {
    double values[kPhaserParameterCount];
    Settings() { std::memcpy(values, kDefaults, sizeof(values)); }
    Settings& With(int index, double v) {
        values[index] = v;
        return *this;
    }
};

void Apply(PhaserProcessor& processor, const Settings& settings) {
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        processor.SetParameter(i, settings.values[i], settings.values[i]);
    }
}

void Apply(ScalarPhaser& reference, const Settings& settings) {
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        reference.SetParameter(i, settings.values[i]);
    }
}

// Two channels of samples with the pointer array the processing calls take.
struct StereoBuffer {
    explicit StereoBuffer(int frames) : left(frames), right(frames) {}
    double** Channels() {
        pointers[0] = left.data();
        pointers[1] = right.data();
        return pointers;
    }
    double** At(int frame) {
        pointers[0] = left.data() + frame;
        pointers[1] = right.data() + frame;
        return pointers;
    }
    std::vector<double> left;
    std::vector<double> right;
    double* pointers[2] = {};
};

StereoBuffer Noise(int frames, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> sample(-1.0, 1.0);
    StereoBuffer buffer(frames);
    for (int i = 0; i < frames; ++i) {
        buffer.left[i] = sample(random);
        buffer.right[i] = sample(random);
    }
    return buffer;
}

uint64_t Bits(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof(bits));
    return bits;
}

bool SameBits(double a, double b) {
    return Bits(a) == Bits(b);
}

PhaserProcessor Prepared(const Settings& settings, double sampleRate = 44100.0) {
    PhaserProcessor processor;
    processor.Reset(sampleRate);
    Apply(processor, settings);
    return processor;
}

// The largest magnitude of both channels over frames [from, to); infinity if any sample is
// not finite.
double Peak(const StereoBuffer& buffer, int from, int to) {
    double peak = 0.0;
    for (int i = from; i < to; ++i) {
        for (double v : {buffer.left[i], buffer.right[i]}) {
            if (!std::isfinite(v)) {
                return std::numeric_limits<double>::infinity();
            }
            peak = std::max(peak, std::fabs(v));
        }
    }
    return peak;
}

TEST(PhaserProcessor, CoefficientsOfTheWorkedExample) {
    PhaserProcessor processor = Prepared(Settings().With(LFODepth, 0).With(Feedback, 0.5));
    processor.Tick();
    EXPECT_EQ(processor.FrequencyScale(), 2.2796137168905526);
    EXPECT_EQ(processor.FrequencyScale() * 0.0625, 0.14247585730565954);
    for (int c = 0; c < 2; ++c) {
        double product = 1.0;
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(processor.Coefficient(c, j), -0.8669988678567098) << c << " " << j;
            product *= processor.Coefficient(c, j);
        }
        EXPECT_EQ(processor.CascadeGain(c), product);
        EXPECT_EQ(processor.LoopNorm(c), 1.0 / (product * 0.495 + 1.0));
    }

    processor.SetParameter(Spread, 1.0, 1.0);
    processor.Tick();
    const double spread[4] = {-0.8669988678567098, -0.9312122208005682, -0.9650042911265554,
                              -0.9823477069360239};
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(processor.Coefficient(c, j), spread[j]) << c << " " << j;
        }
    }
}

TEST(PhaserProcessor, DepthInterpolatesBetweenManualAndTheSquaredSweep) {
    // A triangle at -π/2 sweeps to 0.5 on both channels, so the squared value is 0.25.
    const double scale = 100530.96491487337 / 44100.0;
    const struct {
        double depth;
        double g;
    } cases[] = {{0.0, 0.0625 * scale}, {1.0, 0.25 * scale}, {0.5, ((0.25 - 0.0625) * 0.5 + 0.0625) * scale}};
    for (const auto& c : cases) {
        PhaserProcessor processor = Prepared(Settings().With(LFODepth, c.depth).With(Stereo, 0.5));
        processor.LFO().phase = -kTwoPi / 4.0;
        processor.Tick();
        EXPECT_NEAR(processor.Coefficient(0, 0), (c.g - 2.0) / (c.g + 2.0), 1e-15) << c.depth;
        EXPECT_EQ(processor.Coefficient(1, 0), processor.Coefficient(0, 0));
    }
}

TEST(PhaserProcessor, SampleRateDerivations) {
    const struct {
        double rate;
        int samplesPerTick;
    } cases[] = {{44100.0, 44}, {48000.0, 48}, {96000.0, 96}, {22050.0, 22},  {1000.0, 1},
                 {999.9, 1},    {500.0, 1},    {1.0, 1},      {1e30, 2147483}};
    for (const auto& c : cases) {
        PhaserProcessor processor;
        processor.LFO().phase = 1.0;
        processor.Reset(c.rate);
        EXPECT_EQ(processor.SamplesPerTick(), c.samplesPerTick) << c.rate;
        EXPECT_EQ(processor.FrequencyScale(), 100530.96491487337 / c.rate);
        if (c.rate == 44100.0) {
            EXPECT_EQ(processor.LFO().phase, 1.0); // same rate: the LFO runs on
            EXPECT_EQ(processor.LFO().tickRate, 44100.0 / 44.0);
        } else {
            EXPECT_EQ(processor.LFO().phase, -kTwoPi);
            EXPECT_EQ(processor.LFO().tickRate, c.rate / c.samplesPerTick);
        }
    }
}

TEST(PhaserProcessor, BelowOneKilohertzEveryFrameTicks) {
    PhaserProcessor processor = Prepared(Settings().With(LFOSpeed, 0.2), 500.0);
    const double increment = 0.2 * 157.07963267948966 * 0.2 / 500.0;
    EXPECT_EQ(processor.LFO().phaseIncrement, increment);
    StereoBuffer buffer = Noise(10, 1);
    processor.Process(buffer.Channels(), buffer.Channels(), 10);
    EXPECT_NEAR(processor.LFO().phase, -kTwoPi + 10 * increment, 1e-12);
    EXPECT_EQ(processor.TickCountdown(), 0);
}

TEST(PhaserProcessor, TicksFallEverySamplesPerTickFramesWhateverTheBlocks) {
    const Settings settings = Settings().With(LFOSpeed, 0.9).With(LFODepth, 1.0);
    StereoBuffer input = Noise(110, 2);

    // Frame by frame: a tick shows as an advance of the phase.
    PhaserProcessor single = Prepared(settings);
    StereoBuffer singleOut(110);
    std::vector<int> ticks;
    for (int i = 0; i < 110; ++i) {
        const double before = single.LFO().phase;
        single.Process(input.At(i), singleOut.At(i), 1);
        if (single.LFO().phase != before) {
            ticks.push_back(i);
        }
    }
    EXPECT_EQ(ticks, (std::vector<int>{0, 44, 88}));

    PhaserProcessor split = Prepared(settings);
    StereoBuffer splitOut(110);
    split.Process(input.At(0), splitOut.At(0), 10);
    EXPECT_EQ(split.TickCountdown(), 34);
    split.Process(input.At(10), splitOut.At(10), 100);
    EXPECT_EQ(split.TickCountdown(), 22);

    PhaserProcessor whole = Prepared(settings);
    StereoBuffer wholeOut(110);
    whole.Process(input.Channels(), wholeOut.Channels(), 110);

    for (int i = 0; i < 110; ++i) {
        EXPECT_EQ(splitOut.left[i], singleOut.left[i]) << i;
        EXPECT_EQ(splitOut.right[i], singleOut.right[i]) << i;
        EXPECT_EQ(wholeOut.left[i], singleOut.left[i]) << i;
        EXPECT_EQ(wholeOut.right[i], singleOut.right[i]) << i;
    }
    EXPECT_EQ(split.LFO().phase, single.LFO().phase);
    EXPECT_EQ(whole.LFO().phase, single.LFO().phase);
}

TEST(PhaserProcessor, ProcessesBeforeAnyResetWithoutStalling) {
    PhaserProcessor processor;
    Apply(processor, Settings());
    EXPECT_EQ(processor.SamplesPerTick(), 44);
    StereoBuffer buffer = Noise(100, 3);
    processor.Process(buffer.Channels(), buffer.Channels(), 100);
    EXPECT_EQ(processor.TickCountdown(), 32); // ticks at 0, 44, 88
    EXPECT_TRUE(std::isfinite(buffer.left[99]));
}

TEST(PhaserProcessor, DryMixIsTheInputPlusTheAlternatingOffset) {
    PhaserProcessor first = Prepared(Settings().With(Mix, 0.0).With(Feedback, 0.7));
    PhaserProcessor second = Prepared(Settings().With(Mix, 0.0));
    StereoBuffer input = Noise(300, 4);
    StereoBuffer output(300);
    double d = PhaserProcessor::SharedDenormalOffset();
    EXPECT_EQ(std::fabs(d), 1e-13);
    // The offset is one value for the whole process: its sign pattern runs on across blocks and
    // instances, and both channels of a frame get the same offset.
    int frame = 0;
    for (int block : {7, 100, 1, 44, 148}) {
        PhaserProcessor& processor = frame % 2 == 0 ? first : second;
        processor.Process(input.At(frame), output.At(frame), block);
        for (int i = frame; i < frame + block; ++i) {
            d = -d;
            EXPECT_TRUE(SameBits(output.left[i], input.left[i] + d)) << i;
            EXPECT_TRUE(SameBits(output.right[i], input.right[i] + d)) << i;
        }
        frame += block;
        EXPECT_EQ(PhaserProcessor::SharedDenormalOffset(), d);
    }
}

TEST(PhaserProcessor, WetMixKeepsTheAllPassEnergy) {
    // Without feedback the wet path is a pure all-pass cascade: over a long noise run its level
    // is that of the input.
    const int frames = 1 << 16;
    StereoBuffer input = Noise(frames, 5);
    PhaserProcessor processor = Prepared(Settings().With(Mix, 1.0).With(Stages, 1).With(LFOSpeed, 0.5));
    StereoBuffer output(frames);
    processor.Process(input.Channels(), output.Channels(), frames);
    double inputEnergy = 0.0;
    double energy = 0.0;
    for (int i = 0; i < frames; ++i) {
        inputEnergy += input.left[i] * input.left[i];
        energy += output.left[i] * output.left[i];
    }
    EXPECT_NEAR(energy / inputEnergy, 1.0, 0.02);
}

TEST(PhaserProcessor, InPlaceBuffersGiveTheSameOutput) {
    const Settings settings = Settings().With(Stages, 1).With(Feedback, -0.8).With(Mix, 0.6);
    StereoBuffer input = Noise(1000, 6);
    PhaserProcessor separate = Prepared(settings);
    StereoBuffer output(1000);
    separate.Process(input.Channels(), output.Channels(), 1000);
    PhaserProcessor inPlace = Prepared(settings);
    StereoBuffer buffer = input;
    inPlace.Process(buffer.Channels(), buffer.Channels(), 1000);
    EXPECT_EQ(buffer.left, output.left);
    EXPECT_EQ(buffer.right, output.right);
}

TEST(PhaserProcessor, ResetClearsTheFilterMemoryAndTicksNext) {
    PhaserProcessor processor = Prepared(Settings().With(Stages, 1));
    StereoBuffer buffer = Noise(50, 7);
    processor.Process(buffer.Channels(), buffer.Channels(), 50);
    EXPECT_NE(processor.State(0, 7), 0.0);
    EXPECT_NE(processor.TickCountdown(), 0);
    processor.Reset(44100.0);
    EXPECT_EQ(processor.TickCountdown(), 0);
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < 8; ++j) {
            EXPECT_EQ(processor.State(c, j), 0.0);
            EXPECT_EQ(processor.Coefficient(c, j), 0.0);
        }
        EXPECT_EQ(processor.CascadeGain(c), 0.0);
        EXPECT_EQ(processor.LoopNorm(c), 0.0);
    }
    const double phase = processor.LFO().phase;
    processor.Process(buffer.Channels(), buffer.Channels(), 1);
    EXPECT_NE(processor.LFO().phase, phase);
}

TEST(PhaserProcessor, InactiveStagesKeepTheirStates) {
    PhaserProcessor processor = Prepared(Settings().With(Stages, 1));
    StereoBuffer buffer = Noise(300, 8);
    processor.Process(buffer.Channels(), buffer.Channels(), 100);
    double kept[2][4];
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < 4; ++j) {
            kept[c][j] = processor.State(c, 4 + j);
        }
    }
    processor.SetParameter(Stages, 0.0, 0.0);
    EXPECT_EQ(processor.StageCount(), 4);
    processor.Process(buffer.At(100), buffer.At(100), 100);
    processor.SetParameter(Stages, 1.0, 1.0);
    EXPECT_EQ(processor.StageCount(), 8);
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(processor.State(c, 4 + j), kept[c][j]);
        }
    }
}

TEST(PhaserProcessor, NonFiniteInputIsFlushedAtTheNextTick) {
    const Settings settings = Settings().With(Stages, 1).With(Feedback, 0.9);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        StereoBuffer input = Noise(500, 9);
        StereoBuffer clean = input;
        input.right[3] = bad; // only channel 1 is hit
        PhaserProcessor processor = Prepared(settings);
        StereoBuffer output(500);
        processor.Process(input.Channels(), output.Channels(), 500);
        PhaserProcessor reference = Prepared(settings);
        StereoBuffer cleanOutput(500);
        reference.Process(clean.Channels(), cleanOutput.Channels(), 500);

        EXPECT_EQ(output.left, cleanOutput.left);
        EXPECT_FALSE(std::isfinite(output.right[43]));
        for (int i = 44; i < 500; ++i) {
            EXPECT_TRUE(std::isfinite(output.right[i])) << i;
        }
    }
}

// A stage count or feedback change between ticks used to meet the loop solve of the old
// setting until the next tick, and strong negative feedback exploded (peaks of 1e13 that took
// tens of seconds to decay). The output must stay within what the two settings give steadily.
TEST(PhaserProcessor, StageAndFeedbackChangesStayWithinTheSteadyState) {
    // 40 Hz, no sweep, all wet: at -100 % feedback the lowest frequencies rise about 100-fold.
    const Settings base = Settings().With(Manual, 0.0025).With(LFODepth, 0.0).With(Mix, 1.0);
    const struct {
        const char* what;
        int index;
        double from;
        double to;
        double feedback;
    } cases[] = {
        {"Stages 4 to 8 at 0 %", Stages, 0.0, 1.0, 0.0},
        {"Stages 4 to 8 at -80 %", Stages, 0.0, 1.0, -0.8},
        {"Stages 4 to 8 at -100 %", Stages, 0.0, 1.0, -1.0},
        {"Stages 8 to 4 at -100 %", Stages, 1.0, 0.0, -1.0},
        {"Feedback -100 % to +100 %", Feedback, -1.0, 1.0, -1.0},
        {"Feedback +100 % to -100 %", Feedback, 1.0, -1.0, 1.0},
    };
    const int frames = 44100;
    const int change = 22050 + 7; // between two ticks
    const StereoBuffer input = Noise(frames, 11);
    for (const auto& c : cases) {
        Settings settings = Settings(base).With(Feedback, c.feedback).With(c.index, c.from);
        PhaserProcessor processor = Prepared(settings);
        StereoBuffer in = input;
        StereoBuffer output(frames);
        processor.Process(in.At(0), output.At(0), change);
        processor.SetParameter(c.index, c.to, c.to);
        processor.Process(in.At(change), output.At(change), frames - change);

        PhaserProcessor steady = Prepared(settings.With(c.index, c.to));
        StereoBuffer steadyOutput(frames);
        steady.Process(in.Channels(), steadyOutput.Channels(), frames);
        const double bound = 1.25 * std::max(Peak(output, 0, change), Peak(steadyOutput, 0, frames));
        EXPECT_LE(Peak(output, change, frames), bound) << c.what;
        EXPECT_LT(bound, 1.25 * 100.0) << c.what;
    }
}

// What a host's resume pass does: every parameter handed over again with the value it has.
// Without a change of stage count or feedback value the output is the same to the bit.
TEST(PhaserProcessor, RepeatedValuesBetweenTicksChangeNothing) {
    const Settings settings = Settings().With(Feedback, -0.9).With(LFOSpeed, 0.7).With(LFODepth, 0.8);
    StereoBuffer input = Noise(3000, 12);
    for (double stages : {0.0, 1.0}) {
        Settings current = Settings(settings).With(Stages, stages);
        PhaserProcessor plain = Prepared(current);
        PhaserProcessor repeated = Prepared(current);
        StereoBuffer expected(3000);
        StereoBuffer actual(3000);
        plain.Process(input.At(0), expected.At(0), 1000);
        repeated.Process(input.At(0), actual.At(0), 1000);
        // A new manual position waits for the next tick, also when a pass follows it.
        current.With(Manual, 0.3);
        plain.SetParameter(Manual, 0.3, 0.3);
        repeated.SetParameter(Manual, 0.3, 0.3);
        Apply(repeated, current);
        plain.Process(input.At(1000), expected.At(1000), 2000);
        repeated.Process(input.At(1000), actual.At(1000), 2000);
        EXPECT_EQ(actual.left, expected.left) << stages;
        EXPECT_EQ(actual.right, expected.right) << stages;
    }
}

TEST(PhaserProcessor, SynchronisedRateFollowsTheHostTempo) {
    PhaserProcessor processor = Prepared(Settings().With(SyncToHost, 1.0).With(LFOSpeed, 14.0 / 19.0));
    EXPECT_TRUE(processor.SyncEnabled());
    EXPECT_EQ(processor.LFO().noteIndex, 14); // "1/4", one beat
    const double tickRate = 44100.0 / 44.0;
    const struct {
        double tempo;
        double hertz;
    } cases[] = {{120.0, 2.0},
                 {90.0, 1.5},
                 {0.0, 2.0},
                 {-5.0, 2.0},
                 {std::numeric_limits<double>::infinity(), 2.0},
                 {1e306, 2.0}, // × 1000 overflows
                 {120.0004, 2.0},
                 {120.0006, 120.001 / 60.0}};
    for (const auto& c : cases) {
        processor.TempoStep(c.tempo, -1.0, false);
        EXPECT_NEAR(processor.LFO().phaseIncrement * tickRate / kTwoPi, c.hertz, 1e-12) << c.tempo;
    }
    // Leaving sync mode restores the free-running increment.
    processor.SetParameter(SyncToHost, 0.0, 0.0);
    const double v = 14.0 / 19.0;
    EXPECT_EQ(processor.LFO().phaseIncrement, v * 157.07963267948966 * v / tickRate);
}

// One block at an absurd host tempo used to leave the phase beyond the wrap for good, and at
// depth 0 with the triangle every later sample was NaN.
TEST(PhaserProcessor, AbsurdHostTempoLeavesTheSweepUsable) {
    const Settings settings = Settings().With(SyncToHost, 1.0).With(LFODepth, 0.0).With(Waveform, 1);
    const struct {
        double tempo;
        double rate;
    } cases[] = {{1e300, 44100.0},
                 {std::numeric_limits<double>::max(), 44100.0},
                 {1e300, 1e-5}}; // so few ticks a second that the increment overflows
    for (const auto& c : cases) {
        PhaserProcessor processor = Prepared(settings, c.rate);
        PhaserProcessor steady = Prepared(settings, c.rate);
        StereoBuffer buffer = Noise(44100, 13);
        StereoBuffer steadyBuffer = buffer;
        processor.TempoStep(c.tempo, -1.0, false);
        processor.Process(buffer.Channels(), buffer.Channels(), 512);
        processor.TempoStep(120.0, -1.0, false);
        processor.Process(buffer.At(512), buffer.At(512), 44100 - 512);
        steady.TempoStep(120.0, -1.0, false);
        steady.Process(steadyBuffer.Channels(), steadyBuffer.Channels(), 44100);
        EXPECT_GE(processor.LFO().phase, -kTwoPi) << c.tempo;
        EXPECT_LT(processor.LFO().phase, kTwoPi) << c.tempo;
        // NaN fails the comparison too.
        EXPECT_LE(Peak(buffer, 0, 44100), 1.25 * Peak(steadyBuffer, 0, 44100)) << c.tempo;
    }
}

TEST(PhaserProcessor, TransportStartRestartsAndPlayingPullsForward) {
    PhaserProcessor processor = Prepared(Settings().With(SyncToHost, 1.0).With(LFOSpeed, 14.0 / 19.0));
    processor.LFO().phase = 1.0;
    processor.TempoStep(120.0, 7.3, true); // transport starts: θ = -2π whatever the position
    EXPECT_TRUE(processor.WasPlaying());
    EXPECT_EQ(processor.LFO().phase, -kTwoPi);

    // One beat period is four sixteenths: P = 4. At θ = 0 with the song 0.2 into a sixteenth,
    // the LFO jumps forward to 0.2 of a sixteenth.
    processor.LFO().phase = 0.0;
    processor.TempoStep(120.0, 0.3, true);
    const double q = 4.0 * 0.3;
    EXPECT_EQ(processor.LFO().phase, (q - std::floor(q)) * kTwoPi / 4.0);

    // Never pulled back: just before a sixteenth boundary the target lies behind.
    processor.LFO().phase = -0.1;
    processor.TempoStep(120.0, 0.05, true);
    EXPECT_EQ(processor.LFO().phase, -0.1);
    // ... unless the song position is further into that sixteenth.
    processor.TempoStep(120.0, 0.2475, true);
    EXPECT_NEAR(processor.LFO().phase, -0.01 * kTwoPi / 4.0, 1e-12);

    // Stopping changes nothing but the flag; starting again restarts.
    processor.LFO().phase = 2.0;
    processor.TempoStep(120.0, 5.0, false);
    EXPECT_FALSE(processor.WasPlaying());
    EXPECT_EQ(processor.LFO().phase, 2.0);
    processor.TempoStep(120.0, 5.0, true);
    EXPECT_EQ(processor.LFO().phase, -kTwoPi);
}

TEST(PhaserProcessor, StereoSettings) {
    const struct {
        double stereo;
        bool crossfade;
        double offset;
        double amount;
    } cases[] = {{0.0, false, 3.141592653589793, 0.0},
                 {0.25, false, 3.141592653589793 / 2.0, 0.0},
                 {0.5, false, 0.0, 0.0},
                 {0.75, true, 3.141592653589793, 0.5},
                 {1.0, true, 3.141592653589793, 1.0}};
    for (const auto& c : cases) {
        PhaserProcessor processor = Prepared(Settings().With(Stereo, c.stereo));
        EXPECT_EQ(processor.LFO().crossfadeMode, c.crossfade) << c.stereo;
        EXPECT_EQ(processor.LFO().stereoPhaseOffset, c.offset) << c.stereo;
        EXPECT_EQ(processor.LFO().crossfadeAmount, c.amount) << c.stereo;
    }
}

// A fixed render, reduced to a checksum of its bits: every build (Linux, Windows) must give
// the same, which no C library function may spoil.
TEST(PhaserProcessor, RenderIsTheSameInEveryBuild) {
    const struct {
        Settings settings;
        uint64_t checksum;
    } cases[] = {
        {Settings().With(Waveform, 0).With(Stereo, 0.2).With(LFOSpeed, 0.8).With(LFODepth, 1.0),
         11278406898019741318u},
        {Settings().With(Waveform, 0).With(Stereo, 0.9).With(Stages, 1).With(Feedback, -0.6),
         16799700703526161701u},
        {Settings().With(Waveform, 1).With(Stereo, 0.7).With(Spread, 0.8).With(Feedback, 0.95),
         4431707891314703536u},
    };
    for (const auto& c : cases) {
        // The shared offset's sign depends on what ran before: start from a positive one.
        if (PhaserProcessor::SharedDenormalOffset() < 0.0) {
            PhaserProcessor flip;
            StereoBuffer frame(1);
            flip.Process(frame.Channels(), frame.Channels(), 1);
        }
        PhaserProcessor processor = Prepared(c.settings, 48000.0);
        StereoBuffer buffer(96000);
        for (int i = 0; i < 96000; ++i) {
            buffer.left[i] = (i * 7919 % 1000) / 1000.0 - 0.5;
            buffer.right[i] = (i % 331) / 331.0 - 0.5;
        }
        processor.Process(buffer.Channels(), buffer.Channels(), 96000);
        uint64_t checksum = 14695981039346656037u;
        for (int i = 0; i < 96000; ++i) {
            checksum = (checksum ^ Bits(buffer.left[i])) * 1099511628211u;
            checksum = (checksum ^ Bits(buffer.right[i])) * 1099511628211u;
        }
        EXPECT_EQ(checksum, c.checksum);
    }
}

// Long random runs against the scalar reference, compared to the bit: blocks of random length
// (empty ones included), parameters changed between blocks, stage count switched on the way.
TEST(PhaserProcessor, BitIdenticalToTheScalarRecipe) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> blockLength(0, 700);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int frames = 40000;
    int configurations = 0;
    for (double stages : {0.0, 1.0}) {
        for (double feedback : {-1.0, 1.0, 0.37}) {
            for (double mix : {0.0, 0.27, 0.5, 1.0}) {
                Settings settings = Settings()
                                        .With(Stages, stages)
                                        .With(Feedback, feedback)
                                        .With(Mix, mix)
                                        .With(LFOSpeed, 0.6)
                                        .With(LFODepth, 0.9)
                                        .With(Spread, 0.4)
                                        .With(Stereo, configurations % 3 * 0.5)
                                        .With(Waveform, configurations % 2);
                PhaserProcessor processor;
                ScalarPhaser reference;
                const double rate = configurations % 4 == 0 ? 48000.0 : 44100.0;
                processor.Reset(rate);
                reference.Reset(rate);
                Apply(processor, settings);
                Apply(reference, settings);

                StereoBuffer input = Noise(frames, 100 + configurations);
                StereoBuffer expected(frames);
                StereoBuffer actual(frames);
                int frame = 0;
                int block = 0;
                while (frame < frames) {
                    const int n = std::min(blockLength(random), frames - frame);
                    if (block % 7 == 6) {
                        // A change between blocks, as the host or the editor would make it.
                        const int index = static_cast<int>(unit(random) * 7.0);
                        const double value = index == Feedback ? unit(random) * 2.0 - 1.0 : unit(random);
                        settings.With(index, value);
                        processor.SetParameter(index, value, value);
                        reference.SetParameter(index, value);
                    }
                    const double d = PhaserProcessor::SharedDenormalOffset();
                    processor.Process(input.At(frame), actual.At(frame), n);
                    EXPECT_TRUE(SameBits(reference.Process(input.At(frame), expected.At(frame), n, d),
                                         PhaserProcessor::SharedDenormalOffset()));
                    frame += n;
                    ++block;
                }
                int mismatches = 0;
                for (int i = 0; i < frames; ++i) {
                    mismatches += !SameBits(actual.left[i], expected.left[i]);
                    mismatches += !SameBits(actual.right[i], expected.right[i]);
                }
                EXPECT_EQ(mismatches, 0) << "stages " << stages << " feedback " << feedback << " mix " << mix;
                ++configurations;
            }
        }
    }
}

} // namespace
