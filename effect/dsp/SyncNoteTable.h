#pragma once

// The note values the LFO can lock to in tempo-synchronised mode, from 16 bars down to a
// sixteenth note.
struct SyncNote {
    const char* text;
    double beats; // length in quarter notes
};

constexpr int kSyncNoteCount = 20;

extern const SyncNote SyncNoteTable[kSyncNoteCount];

// Table index for a normalised LFOSpeed value: x × 19 rounded, halves away from zero, kept
// inside the table.
int SyncNoteIndex(double normalized);
