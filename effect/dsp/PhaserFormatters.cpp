#include "effect/dsp/PhaserFormatters.h"

#include "core/NumberText.h"
#include "core/TextCopy.h"
#include "effect/dsp/SyncNoteTable.h"

#include <cstdio>

namespace {

void Copy(const char* text, char* out) {
    CopyText(out, text, kParameterTextCapacity);
}

} // namespace

void FormatStages(double x, char* out) {
    Copy(x < 0.5 ? "4" : "8", out);
}

void FormatManual(double x, char* out) {
    std::snprintf(out, kParameterTextCapacity, "%.0f%s", x * 16000.0, "Hz");
}

void FormatPercent(double x, char* out) {
    std::snprintf(out, kParameterTextCapacity, "%.0f%s", x * 100.0, "%");
}

void FormatLFOFrequency(double x, char* out) {
    std::snprintf(out, kParameterTextCapacity, "%.2f%s", 25.0 * x * x, "Hz");
    UseDotDecimalPoint(out);
}

void FormatLFONote(double x, char* out) {
    Copy(SyncNoteTable[SyncNoteIndex(x)].text, out);
}

void FormatMix(double x, char* out) {
    if (x == 0.0) {
        Copy("Dry", out);
    } else if (x == 1.0) {
        Copy("Wet", out);
    } else {
        std::snprintf(out, kParameterTextCapacity, "%.0f:%.0f", (1.0 - x) * 100.0, x * 100.0);
    }
}

void FormatSyncToHost(double x, char* out) {
    Copy(x < 0.5 ? "OFF" : "ON", out);
}

// The left half of the knob sets a phase offset between the channels' LFOs (outward brackets),
// the right half the amount of cross-fading (slanted strokes).
void FormatStereo(double x, char* out) {
    if (x == 0.5) {
        Copy("0%", out);
    } else if (x < 0.5) {
        std::snprintf(out, kParameterTextCapacity, ">%.0f%s<", (0.5 - x) * 200.0, "%");
    } else {
        std::snprintf(out, kParameterTextCapacity, "\\%.0f%s/", (x - 0.5) * 200.0, "%");
    }
}

void FormatWaveform(double x, char* out) {
    Copy(x < 0.5 ? "Sine" : "Triangle", out);
}

ParameterDisplayFunction LFOSpeedFormatter(bool synchronised) {
    return synchronised ? FormatLFONote : FormatLFOFrequency;
}
