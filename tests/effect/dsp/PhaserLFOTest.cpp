#include "effect/dsp/PhaserLFO.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

struct LFOCase {
    const char* what;
    int waveform;
    bool crossfade;
    double amount;
    double offset;
    double phase;
    double left;
    double right;
};

TEST(PhaserLFO, SweepValuesOfBothWaveformsAndStereoModes) {
    const LFOCase cases[] = {
        {"sine top, opposite phase", 0, false, 0.0, kPi, -kTwoPi, 1.0, 0.0},
        {"sine identical channels", 0, false, 0.0, 0.0, kPi / 3.0, 0.75, 0.75},
        {"sine bottom", 0, false, 0.0, kPi, kPi, 0.0, 1.0},
        {"sine cross-fade favours channel 0 at 0", 0, true, 1.0, kPi, 0.0, 1.0, 0.0},
        {"sine cross-fade at -2π", 0, true, 1.0, kPi, -kTwoPi, 0.0, 1.0},
        {"sine half cross-fade", 0, true, 0.5, kPi, 0.0, 1.0, 0.5},
        {"triangle top", 1, false, 0.0, 0.0, 0.0, 1.0, 1.0},
        {"triangle start", 1, false, 0.0, kPi, -kTwoPi, 1.0, 0.0},
        {"triangle halfway", 1, false, 0.0, 0.0, -kPi / 2.0, 0.5, 0.5},
        {"triangle offset wraps", 1, false, 0.0, kPi, 1.5 * kPi, 0.5, 0.5},
        {"triangle cross-fade favours channel 1 at 0", 1, true, 1.0, kPi, 0.0, 0.0, 1.0},
        {"triangle cross-fade at -2π", 1, true, 1.0, kPi, -kTwoPi, 1.0, 0.0},
        {"triangle half cross-fade", 1, true, 0.5, kPi, 0.0, 0.5, 1.0},
        {"any nonzero waveform is triangle", 7, false, 0.0, 0.0, 0.0, 1.0, 1.0},
    };
    for (const LFOCase& c : cases) {
        PhaserLFO lfo;
        lfo.waveform = c.waveform;
        lfo.crossfadeMode = c.crossfade;
        lfo.crossfadeAmount = c.amount;
        lfo.stereoPhaseOffset = c.offset;
        lfo.phase = c.phase;
        lfo.Tick();
        EXPECT_NEAR(lfo.outputLeft, c.left, 1e-12) << c.what;
        EXPECT_NEAR(lfo.outputRight, c.right, 1e-12) << c.what;
    }
}

TEST(PhaserLFO, OutputsBelongToThePhaseBeforeTheAdvance) {
    PhaserLFO lfo;
    lfo.waveform = 1;
    lfo.phaseIncrement = kPi;
    lfo.Tick(); // evaluated at -2π
    EXPECT_NEAR(lfo.outputLeft, 1.0, 1e-15);
    EXPECT_EQ(lfo.phase, -kTwoPi + kPi);
    lfo.Tick(); // at -π: the bottom of the sweep
    EXPECT_NEAR(lfo.outputLeft, 0.0, 1e-15);
}

TEST(PhaserLFO, PhaseWrapsByFourPiAtTwoPi) {
    PhaserLFO lfo;
    lfo.phase = kTwoPi - 0.25;
    lfo.phaseIncrement = 0.5;
    lfo.Tick();
    EXPECT_EQ(lfo.phase, kTwoPi - 0.25 + 0.5 - 12.566370614359172);
    EXPECT_GE(lfo.phase, -kTwoPi);

    lfo.phase = kTwoPi - 0.5;
    lfo.Tick(); // lands on 2π exactly, which is outside the range
    EXPECT_EQ(lfo.phase, -kTwoPi);
}

TEST(PhaserLFO, IncrementsBeyondFourPiStillLandInRange) {
    for (double increment : {4.0 * kTwoPi + 1.0, 1e20, 1e300, std::numeric_limits<double>::max()}) {
        PhaserLFO lfo;
        lfo.waveform = 1;
        lfo.phaseIncrement = increment;
        lfo.phase = 1.0;
        lfo.Tick();
        const double once = 1.0 + increment - 12.566370614359172;
        EXPECT_EQ(lfo.phase, std::fmod(once + kTwoPi, 12.566370614359172) - kTwoPi) << increment;
        EXPECT_GE(lfo.phase, -kTwoPi) << increment;
        EXPECT_LT(lfo.phase, kTwoPi) << increment;
        lfo.Tick();
        EXPECT_GE(lfo.outputLeft, 0.0) << increment;
        EXPECT_LE(lfo.outputLeft, 1.0) << increment;
    }
}

} // namespace
