#pragma once

#include "effect/dsp/PhaserLFO.h"
#include "effect/dsp/PhaserParameter.h"

// The phaser's signal path for two channels: per channel a cascade of 4 or 8 first-order
// all-pass stages inside a zero-delay feedback loop, mixed with the dry signal by an equal-power
// law. The LFO and the all-pass coefficients are updated once per tick of samplesPerTick frames;
// per sample there are only multiply-adds. The two channels run side by side in the two lanes
// of one SSE2 register, each lane computing exactly what a scalar implementation would.
class PhaserProcessor {
public:
    static constexpr int kChannels = 2;
    static constexpr int kMaxStages = 8;

    // Ready for 44100 Hz; the first Reset and parameter pass give the real values.
    PhaserProcessor();

    // Re-derives the sample-rate dependent values and clears the filter memory.
    void Reset(double sampleRate);

    // Takes in a parameter's new plain value (and its normalised value, which picks the note of
    // the synchronised LFO). A new stage count or feedback brings the loop solve up to date at
    // once; everything else derived from the sweep waits for the next tick.
    void SetParameter(int index, double v, double normalized);

    // Once per block in synchronised mode: LFO rate from the host's tempo, phase pulled towards
    // the song position, restart when the transport starts.
    void TempoStep(double tempo, double ppqPos, bool playing);

    // Processes frameCount frames of both channels. A channel's output may be its input.
    void Process(const double* const* inputs, double* const* outputs, int frameCount);

    // One LFO tick followed by the coefficient update.
    void Tick();

    const PhaserLFO& LFO() const { return lfo; }
    PhaserLFO& LFO() { return lfo; }
    int StageCount() const { return stageCount; }
    bool SyncEnabled() const { return syncEnabled; }
    bool WasPlaying() const { return wasPlaying; }
    int SamplesPerTick() const { return samplesPerTick; }
    int TickCountdown() const { return tickCountdown; }
    double FrequencyScale() const { return frequencyScale; }
    double FeedbackGain() const { return feedbackGain; }
    double Coefficient(int channel, int stage) const { return coefficients[stage][channel]; }
    double State(int channel, int stage) const { return states[stage][channel]; }
    double CascadeGain(int channel) const { return cascadeGain[channel]; }
    double LoopNorm(int channel) const { return loopNorm[channel]; }

    // The offset added to every state and input sample, shared by all instances of the process;
    // its sign flips every frame.
    static double SharedDenormalOffset();

private:
    void UpdateCoefficients();
    // loopNorm from cascadeGain and feedbackGain, for both channels.
    void UpdateLoopNorms();
    void ClearNonFiniteStates();
    template <int N>
    double RunFrames(const double* in0, const double* in1, double* out0, double* out1, int count, double d);

    PhaserLFO lfo;
    int stageCount = 0;
    double manual = 0.0;
    double spreadFactor = 0.0;
    double feedbackGain = 0.0;
    double depth = 0.0;
    double dryGain = 0.0;
    double wetGain = 0.0;
    double frequencyScale = 0.0;
    int samplesPerTick = 0;
    int tickCountdown = 0; // frames until the next tick; 0 or less: the next frame ticks
    bool syncEnabled = false;
    bool wasPlaying = false;
    // Per stage, the pair (channel 0, channel 1): the layout of the SIMD lanes.
    double coefficients[kMaxStages][kChannels] = {};
    double states[kMaxStages][kChannels] = {};
    double cascadeGain[kChannels] = {}; // product of the active stages' coefficients
    double loopNorm[kChannels] = {};    // 1 / (cascadeGain × feedbackGain + 1)
};
