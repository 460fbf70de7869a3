#include "ScalarPhaser.h"

#include <cmath>

void ScalarPhaser::Reset(double sampleRate) {
    tickCountdown = 0;
    samplesPerTick = static_cast<int>(sampleRate) / 1000;
    if (sampleRate != lfo.lfoSampleRate) {
        lfo.lfoSampleRate = sampleRate;
        lfo.phase = -6.283185307179586;
        lfo.tickRate = sampleRate / samplesPerTick;
    }
    frequencyScale = 100530.96491487337 / sampleRate;
    for (int c = 0; c < 2; ++c) {
        for (int j = 0; j < 8; ++j) {
            coefficients[c][j] = 0.0;
            states[c][j] = 0.0;
        }
        cascadeGain[c] = 0.0;
        loopNorm[c] = 0.0;
    }
}

void ScalarPhaser::SetParameter(int index, double v) {
    switch (index) {
    case 0:
        if ((v < 0.5 ? 4 : 8) != stageCount) {
            stageCount = v < 0.5 ? 4 : 8;
            UpdateCoefficients();
        }
        break;
    case 1:
        manual = v;
        break;
    case 2:
        spreadFactor = 1.0 - v * 0.5;
        break;
    case 3:
        feedbackGain = v * 0.99;
        for (int c = 0; c < 2; ++c) {
            loopNorm[c] = 1.0 / (cascadeGain[c] * feedbackGain + 1.0);
        }
        break;
    case 4:
        lfo.speed = v;
        lfo.phaseIncrement = v * 157.07963267948966 * v / lfo.tickRate;
        break;
    case 5:
        depth = v;
        break;
    case 6:
        dryGain = std::sqrt(1.0 - v);
        wetGain = std::sqrt(v);
        break;
    case 8:
        lfo.crossfadeMode = v > 0.5;
        lfo.stereoPhaseOffset = lfo.crossfadeMode ? 3.141592653589793 : (0.5 - v) * 6.283185307179586;
        lfo.crossfadeAmount = lfo.crossfadeMode ? 2.0 * v - 1.0 : 0.0;
        break;
    case 9:
        lfo.waveform = static_cast<int>(v);
        break;
    default:
        break;
    }
}

void ScalarPhaser::Tick() {
    lfo.Tick();
    UpdateCoefficients();
}

void ScalarPhaser::UpdateCoefficients() {
    for (int c = 0; c < 2; ++c) {
        const double m = c == 0 ? lfo.outputLeft : lfo.outputRight;
        double g = (m * m - manual) * depth + manual;
        if (g < 0.0) {
            g = 0.0;
        } else if (g > 1.0) {
            g = frequencyScale;
        } else {
            g = g * frequencyScale;
        }
        double G = 1.0;
        for (int j = 0; j < stageCount; ++j) {
            const double a = (1.0 / (g + 2.0)) * (g - 2.0);
            coefficients[c][j] = a;
            G = G * a;
            g = g * spreadFactor;
        }
        cascadeGain[c] = G;
        loopNorm[c] = 1.0 / (G * feedbackGain + 1.0);
    }
}

double ScalarPhaser::Process(double** inputs, double** outputs, int frameCount, double d) {
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
            tickCountdown = tickCountdown - remaining;
        }
        remaining = remaining - n;
        const int end = i + n;
        for (; i < end; ++i) {
            d = -d;
            const int N = stageCount;
            for (int c = 0; c < 2; ++c) {
                const double* a = coefficients[c];
                double* s = states[c];
                for (int j = 0; j < N; ++j) {
                    s[j] = s[j] + d;
                }
                double S = s[0];
                for (int j = 1; j < N; ++j) {
                    S = S * a[j] + s[j];
                }
                const double x = inputs[c][i] + d;
                const double y = (x * cascadeGain[c] + S) * loopNorm[c];
                double u = x - y * feedbackGain;
                for (int j = 0; j < N; ++j) {
                    const double v = a[j] * u + s[j];
                    s[j] = u - a[j] * v;
                    u = v;
                }
                outputs[c][i] = y * wetGain + x * dryGain;
            }
        }
    }
    return d;
}
