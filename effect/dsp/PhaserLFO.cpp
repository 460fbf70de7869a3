#include "effect/dsp/PhaserLFO.h"

#include "effect/dsp/PortableCosine.h"

#include <cmath>

namespace {

constexpr double kInversePi = 0.3183098861837907;

// Triangle of t = θ/π: 1 at 0, 0 at ±1.
double Triangle(double t) {
    return t < 0.0 ? std::fabs(t + 1.0) : std::fabs(t - 1.0);
}

} // namespace

void PhaserLFO::Tick() {
    const double theta = phase;
    const double k = crossfadeAmount;
    if (waveform == 0) {
        const double b = (PortableCos(theta) + 1.0) * 0.5;
        if (crossfadeMode) {
            // Slow envelope: 1 at θ = 0, 0 at θ = ±2π.
            const double h = (PortableCos(theta * 0.5) + 1.0) * 0.5;
            outputLeft = ((h - 1.0) * k + 1.0) * b;
            outputRight = ((1.0 - h - 1.0) * k + 1.0) * b;
        } else {
            outputLeft = b;
            outputRight = (PortableCos(theta + stereoPhaseOffset) + 1.0) * 0.5;
        }
    } else {
        const double t = theta * kInversePi;
        const double b = Triangle(t);
        if (crossfadeMode) {
            // Slow envelope: 0 at θ = 0, 1 at θ = ±2π.
            double w = t * 0.5;
            if (w > 1.0) {
                w -= 2.0;
            }
            w = std::fabs(w);
            outputLeft = ((w - 1.0) * k + 1.0) * b;
            outputRight = ((1.0 - w - 1.0) * k + 1.0) * b;
        } else {
            double t2 = stereoPhaseOffset * kInversePi + t;
            if (t2 > 2.0) {
                t2 -= 4.0;
            }
            outputLeft = b;
            outputRight = Triangle(t2);
        }
    }
    phase = theta + phaseIncrement;
    if (phase >= kTwoPi) {
        phase -= kFourPi;
        // Only an absurd host tempo advances more than 4π per tick: bring the phase back into
        // range rather than leave it beyond the wrap for good.
        if (phase >= kTwoPi) {
            phase = std::fmod(phase + kTwoPi, kFourPi) - kTwoPi;
        }
    }
}
