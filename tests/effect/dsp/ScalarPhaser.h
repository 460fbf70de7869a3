#pragma once

#include "effect/dsp/PhaserLFO.h"

// A plain scalar phaser written step by step from the processing recipe, one channel after the
// other: the reference the vectorised processor must match bit for bit. A change of the stage
// count or the feedback brings the loop solve up to date at once. It keeps its own
// denormal offset, handed in and out per block.
class ScalarPhaser {
public:
    void Reset(double sampleRate);
    // Plain parameter value by index, as the plug-in's parameter pass hands it over.
    void SetParameter(int index, double v);
    // Answers the offset after the block.
    double Process(double** inputs, double** outputs, int frameCount, double d);

    PhaserLFO lfo;

private:
    void Tick();
    // From the last tick's sweep values; also run at once when the stage count changes.
    void UpdateCoefficients();

    int stageCount = 0;
    double manual = 0.0;
    double spreadFactor = 0.0;
    double feedbackGain = 0.0;
    double depth = 0.0;
    double dryGain = 0.0;
    double wetGain = 0.0;
    double frequencyScale = 0.0;
    int samplesPerTick = 0;
    int tickCountdown = 0;
    double coefficients[2][8] = {};
    double states[2][8] = {};
    double cascadeGain[2] = {};
    double loopNorm[2] = {};
};
