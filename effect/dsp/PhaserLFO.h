#pragma once

// The sweep oscillator shared by both channels. It is evaluated once per tick (about once per
// millisecond); the phase runs over 4π so that the cross-fade envelope can run at half the rate
// of the sweep.
class PhaserLFO {
public:
    static constexpr double kTwoPi = 6.283185307179586;
    static constexpr double kFourPi = 12.566370614359172;

    // Computes both channels' sweep values (0 to 1) for the present phase, then advances it.
    void Tick();

    double outputLeft = 0.0;
    double outputRight = 0.0;
    double lfoSampleRate = 44100.0; // the sample rate tickRate was computed for
    double tickRate = 44100.0 / 44.0;
    bool crossfadeMode = false;
    int waveform = 0; // 0 sine, any other value triangle
    int noteIndex = 10;
    double phase = -kTwoPi; // radians, [-2π, 2π)
    double phaseIncrement = 0.0;
    double stereoPhaseOffset = 0.0; // 0 to π
    double speed = 0.0;
    double crossfadeAmount = 0.0; // 0 to 1
};
