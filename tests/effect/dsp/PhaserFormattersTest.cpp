#include "effect/dsp/PhaserFormatters.h"
#include "effect/dsp/SyncNoteTable.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

struct FormatCase {
    ParameterDisplayFunction formatter;
    double value;
    const char* text;
};

std::string Format(ParameterDisplayFunction formatter, double value) {
    char text[kParameterTextCapacity] = "unchanged";
    formatter(value, text);
    return text;
}

TEST(PhaserFormatters, TextsForEveryParameter) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const FormatCase cases[] = {
        {FormatStages, 0.0, "4"},
        {FormatStages, 0.49, "4"},
        {FormatStages, 0.5, "8"},
        {FormatStages, 1.0, "8"},
        {FormatManual, 0.0625, "1000Hz"},
        {FormatManual, 0.0, "0Hz"},
        {FormatManual, 1.0, "16000Hz"},
        {FormatPercent, 0.0, "0%"},
        {FormatPercent, 0.35, "35%"},
        {FormatPercent, 1.0, "100%"},
        {FormatPercent, -1.0, "-100%"}, // Feedback at its minimum
        {FormatLFOFrequency, 0.077, "0.15Hz"},
        {FormatLFOFrequency, 0.5, "6.25Hz"},
        {FormatLFOFrequency, 0.0, "0.00Hz"},
        {FormatLFOFrequency, 1.0, "25.00Hz"},
        {FormatLFONote, 0.0, "16/1"},
        {FormatLFONote, 0.5, "1/2."}, // 9.5 rounds away from zero to entry 10
        {FormatLFONote, 0.499, "1/1"},
        {FormatLFONote, 14.0 / 19.0, "1/4"},
        {FormatLFONote, 1.0, "1/16"},
        {FormatLFONote, -3.0, "16/1"}, // out-of-range values stay inside the table
        {FormatLFONote, 7.0, "1/16"},
        {FormatLFONote, nan, "16/1"},
        {FormatMix, 0.0, "Dry"},
        {FormatMix, 1.0, "Wet"},
        {FormatMix, 0.5, "50:50"},
        {FormatMix, 0.25, "75:25"},
        {FormatMix, 0.001, "100:0"},
        {FormatMix, 0.999, "0:100"},
        {FormatSyncToHost, 0.0, "OFF"},
        {FormatSyncToHost, 0.49, "OFF"},
        {FormatSyncToHost, 0.5, "ON"},
        {FormatSyncToHost, 1.0, "ON"},
        {FormatStereo, 0.5, "0%"},
        {FormatStereo, 0.0, ">100%<"},
        {FormatStereo, 0.25, ">50%<"},
        {FormatStereo, 0.75, "\\50%/"},
        {FormatStereo, 1.0, "\\100%/"},
        {FormatWaveform, 0.0, "Sine"},
        {FormatWaveform, 0.49, "Sine"},
        {FormatWaveform, 1.0, "Triangle"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(Format(c.formatter, c.value), c.text) << "value " << c.value;
    }
}

TEST(PhaserFormatters, LFOSpeedFormatterFollowsSynchronisation) {
    EXPECT_EQ(LFOSpeedFormatter(false), FormatLFOFrequency);
    EXPECT_EQ(LFOSpeedFormatter(true), FormatLFONote);
    // Switching synchronisation on at LFOSpeed 0.5 turns 6.25Hz into the note text of entry 10.
    EXPECT_EQ(Format(LFOSpeedFormatter(false), 0.5), "6.25Hz");
    EXPECT_EQ(Format(LFOSpeedFormatter(true), 0.5), "1/2.");
}

TEST(SyncNoteTable, LengthsInBeats) {
    EXPECT_EQ(SyncNoteTable[0].beats, 64.0);
    EXPECT_EQ(SyncNoteTable[5].beats, 12.0);
    EXPECT_EQ(SyncNoteTable[6].beats, 10.0); // "2/1." is 10 beats, not a dotted 12
    EXPECT_EQ(SyncNoteTable[13].beats, 4.0 / 3.0);
    EXPECT_EQ(SyncNoteTable[14].beats, 1.0);
    EXPECT_EQ(SyncNoteTable[16].beats, 2.0 / 3.0);
    EXPECT_EQ(SyncNoteTable[19].beats, 0.25);
    for (int i = 1; i < kSyncNoteCount; ++i) {
        EXPECT_LT(SyncNoteTable[i].beats, SyncNoteTable[i - 1].beats) << i;
    }
}

TEST(SyncNoteTable, IndexRoundsHalvesAwayFromZero) {
    EXPECT_EQ(SyncNoteIndex(0.0), 0);
    EXPECT_EQ(SyncNoteIndex(0.5 / 19.0), 1);
    EXPECT_EQ(SyncNoteIndex(0.49 / 19.0), 0);
    EXPECT_EQ(SyncNoteIndex(0.5), 10);
    EXPECT_EQ(SyncNoteIndex(1.0), 19);
    EXPECT_EQ(SyncNoteIndex(-0.01), 0);
    EXPECT_EQ(SyncNoteIndex(1.5), 19);
}

} // namespace
