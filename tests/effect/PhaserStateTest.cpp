#include "effect/PhaserState.h"
#include "core/IByteBuffer.h"
#include "effect/PhaserFormatters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

IByteBuffer& Append(IByteBuffer& buffer, const char* header, std::initializer_list<double> values) {
    if (header != nullptr) {
        buffer.PutBytes(header, static_cast<int32_t>(std::strlen(header)));
    }
    for (double v : values) {
        buffer.PutDouble(v);
    }
    return buffer;
}

TEST(PhaserState, HeaderText) {
    EXPECT_EQ(kPhaserStateHeaderLength, 24);
    IByteBuffer buffer;
    EXPECT_TRUE(PutPhaserStateHeader(buffer));
    ASSERT_EQ(buffer.Size(), 24);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), 24), "Kestrunelle Phaser_2.0.1");
}

TEST(PhaserState, CurrentVersionReadsTenValues) {
    IByteBuffer buffer;
    buffer.PutBytes("xyz", 3); // states sit behind a chunk header, so reading starts anywhere
    Append(buffer, kPhaserStateHeader, {1, 0.2, 0.3, -0.4, 0.5, 0.6, 0.7, 1, 0.9, 0});
    PhaserStateValues values;
    EXPECT_EQ(ReadPhaserState(buffer, 3, values), 3 + 24 + 80);
    const double expected[] = {1, 0.2, 0.3, -0.4, 0.5, 0.6, 0.7, 1, 0.9, 0};
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        EXPECT_TRUE(values.assigned[i]);
        EXPECT_EQ(values.value[i], expected[i]);
    }
}

TEST(PhaserState, Version200LacksWaveform) {
    IByteBuffer buffer;
    Append(buffer, kPhaserStateHeader200, {1, 0.2, 0.3, -0.4, 0.5, 0.6, 0.7, 1, 0.9, 0.5});
    PhaserStateValues values;
    EXPECT_EQ(ReadPhaserState(buffer, 0, values), 24 + 72); // the tenth double is not read
    EXPECT_EQ(values.value[Stereo], 0.9);
    EXPECT_TRUE(values.assigned[Waveform]);
    EXPECT_EQ(values.value[Waveform], 0.0);
}

TEST(PhaserState, HeaderlessStateReadsSevenValues) {
    IByteBuffer buffer;
    Append(buffer, nullptr, {1, 0.2, 0.3, -0.4, 0.5, 0.6, 0.7, 0.8});
    PhaserStateValues values;
    EXPECT_EQ(ReadPhaserState(buffer, 0, values), 56);
    EXPECT_EQ(values.value[Mix], 0.7);
    for (int index : {SyncToHost, Stereo, Waveform}) {
        EXPECT_TRUE(values.assigned[index]);
        EXPECT_EQ(values.value[index], 0.0);
    }
}

TEST(PhaserState, ShortBufferStopsAtTheFailingValue) {
    IByteBuffer buffer;
    Append(buffer, kPhaserStateHeader, {1, 0.2, 0.3});
    buffer.PutBytes("abc", 3);
    PhaserStateValues values;
    EXPECT_EQ(ReadPhaserState(buffer, 0, values), -1);
    EXPECT_EQ(values.value[Spread], 0.3);
    EXPECT_TRUE(values.assigned[Feedback]); // the failing value gets the missing setting
    EXPECT_EQ(values.value[Feedback], 0.0);
    for (int i = LFOSpeed; i < kPhaserParameterCount; ++i) {
        EXPECT_FALSE(values.assigned[i]) << i;
    }

    // A header cut short is no header: the bytes are read as an older state.
    IByteBuffer cut;
    cut.PutBytes(kPhaserStateHeader, 20);
    PhaserStateValues older;
    EXPECT_EQ(ReadPhaserState(cut, 0, older), -1);
    EXPECT_TRUE(older.assigned[Manual]);
    EXPECT_TRUE(older.assigned[Spread]); // 20 bytes: two whole values, the third fails
    EXPECT_FALSE(older.assigned[Feedback]);
    EXPECT_TRUE(older.assigned[SyncToHost]);
    EXPECT_TRUE(older.assigned[Waveform]);
}

TEST(PhaserState, NonFiniteValuesLoadAsMissing) {
    IByteBuffer buffer;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Append(buffer, kPhaserStateHeader, {1, nan, inf, -inf, 0.5, 0.6, 0.7, 1, 0.9, 1});
    PhaserStateValues values;
    EXPECT_EQ(ReadPhaserState(buffer, 0, values), 104);
    for (int index : {Manual, Spread, Feedback}) {
        EXPECT_TRUE(values.assigned[index]);
        EXPECT_EQ(values.value[index], 0.0);
    }
    EXPECT_EQ(values.value[LFOSpeed], 0.5);
}

TEST(PhaserState, FactoryProgramTable) {
    EXPECT_STREQ(PhaserFactoryPrograms[0].name, "default");
    EXPECT_STREQ(PhaserFactoryPrograms[9].name, "Aliens");
    // LFOSpeed is kept squared; the program stores its square root.
    const double speed = std::sqrt(PhaserFactoryPrograms[5].values[LFOSpeed]);
    EXPECT_EQ(speed, 0.35213633723318016);
    char text[kParameterTextCapacity];
    FormatLFOFrequency(speed, text);
    EXPECT_STREQ(text, "3.10Hz");
    for (const PhaserFactoryProgram& program : PhaserFactoryPrograms) {
        EXPECT_EQ(program.values[SyncToHost], 0.0) << program.name;
    }
}

} // namespace
