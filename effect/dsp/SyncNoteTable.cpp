#include "effect/dsp/SyncNoteTable.h"

#include <cmath>

const SyncNote SyncNoteTable[kSyncNoteCount] = {
    {"16/1", 64.0}, {"12/1", 48.0},      {"8/1", 32.0}, {"6/1", 24.0},       {"4/1", 16.0},
    {"3/1", 12.0},  {"2/1.", 10.0},      {"2/1", 8.0},  {"1/1.", 6.0},       {"1/1", 4.0},
    {"1/2.", 3.0},  {"1/2", 2.0},        {"1/4.", 1.5}, {"1/2T", 4.0 / 3.0}, {"1/4", 1.0},
    {"1/8.", 0.75}, {"1/4T", 2.0 / 3.0}, {"1/8", 0.5},  {"1/16.", 0.375},    {"1/16", 0.25},
};

int SyncNoteIndex(double normalized) {
    const double index = std::round(normalized * (kSyncNoteCount - 1));
    if (!(index >= 0.0)) {
        return 0;
    }
    if (index > kSyncNoteCount - 1) {
        return kSyncNoteCount - 1;
    }
    return static_cast<int>(index);
}
