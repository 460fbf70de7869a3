#pragma once

// Indices of the phaser's parameters: the host's parameter index and the position in every
// stored state.
enum PhaserParameter {
    Stages = 0,
    Manual,
    Spread,
    Feedback,
    LFOSpeed,
    LFODepth,
    Mix,
    SyncToHost,
    Stereo,
    Waveform,
    kPhaserParameterCount
};
