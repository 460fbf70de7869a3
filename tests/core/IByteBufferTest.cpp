#include "core/IByteBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(IByteBuffer, GrowthFollowsGranularity) {
    IByteBuffer chunk(4096);
    chunk.Resize(10, false);
    EXPECT_EQ(chunk.Size(), 10);
    EXPECT_EQ(chunk.Capacity(), 4000); // (10 + 96 + 4096) rounded down to pages, minus 96

    IByteBuffer text(128);
    text.Resize(10, false);
    EXPECT_EQ(text.Capacity(), 138);

    // Large sizes grow by half their size, in whole pages, up to 4 MiB at a time.
    IByteBuffer big(4096);
    big.Resize(100000, false);
    EXPECT_EQ(big.Capacity(), (100000 + 96 + 49152) / 4096 * 4096 - 96);
    big.Resize(20000000, false);
    EXPECT_EQ(big.Capacity(), (20000000 + 96 + 4194304) / 4096 * 4096 - 96);
}

TEST(IByteBuffer, NegativeSizeCountsAsZeroAndShrinkingKeepsStorage) {
    IByteBuffer buffer(4096);
    buffer.Resize(100, false);
    const int64_t capacity = buffer.Capacity();
    buffer.Resize(10, false);
    EXPECT_EQ(buffer.Size(), 10);
    EXPECT_EQ(buffer.Capacity(), capacity);
    buffer.Clear();
    EXPECT_EQ(buffer.Capacity(), 0); // emptying a small buffer frees its storage
    buffer.Resize(10, false);
    buffer.Resize(-5, false);
    EXPECT_EQ(buffer.Size(), 0);
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Capacity(), capacity);
}

TEST(IByteBuffer, ShrinkingWithPermissionReleasesLargeStorage) {
    IByteBuffer buffer(4096);
    buffer.Resize(1000000, false);
    const int64_t before = buffer.Capacity();
    buffer.PutByte(7);
    buffer.Resize(100, true);
    EXPECT_LT(buffer.Capacity(), before);
    EXPECT_EQ(buffer.Size(), 100);
}

TEST(IByteBuffer, ZeroFillClearsOnlyGainedBytes) {
    IByteBuffer buffer(128);
    buffer.PutByte(0xAB);
    EXPECT_EQ(buffer.ResizeZeroFill(5), 1);
    ASSERT_EQ(buffer.Size(), 5);
    EXPECT_EQ(buffer.Data()[0], 0xAB);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(buffer.Data()[i], 0);
    }
}

TEST(IByteBuffer, ValuesRoundTripLittleEndian) {
    IByteBuffer buffer;
    buffer.PutInt32(0x70666674);
    buffer.PutDouble(-0.65);
    buffer.PutByte(1);
    ASSERT_EQ(buffer.Size(), 13);
    EXPECT_EQ(std::memcmp(buffer.Data(), "tffp", 4), 0);

    int32_t i = 0;
    double d = 0;
    uint8_t b = 0;
    int32_t pos = buffer.GetInt32(0, i);
    pos = buffer.GetDouble(pos, d);
    pos = buffer.GetByte(pos, b);
    EXPECT_EQ(pos, 13);
    EXPECT_EQ(i, 0x70666674);
    EXPECT_EQ(d, -0.65);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(buffer.GetByte(pos, b), -1);
    EXPECT_EQ(buffer.GetDouble(6, d), -1);
    EXPECT_EQ(buffer.GetInt32(-1, i), -1);
}

TEST(IByteBuffer, GetStringReadsTextsAndRejectsBadLengths) {
    IByteBuffer buffer;
    buffer.PutString("");
    buffer.PutString("Uni-Vibe");
    char text[32] = "unchanged";

    EXPECT_EQ(buffer.GetString(0, text, sizeof text), 4);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(buffer.GetString(4, text, sizeof text), 16);
    EXPECT_STREQ(text, "Uni-Vibe");

    // Cut to the capacity, terminator included.
    char small[4];
    EXPECT_EQ(buffer.GetString(4, small, sizeof small), 16);
    EXPECT_STREQ(small, "Uni");

    // A length beyond the data leaves the text and answers a position past the end.
    IByteBuffer truncated;
    truncated.PutInt32(10);
    truncated.PutBytes("abc", 3);
    std::strcpy(text, "kept");
    EXPECT_EQ(truncated.GetString(0, text, sizeof text), 14);
    EXPECT_STREQ(text, "kept");

    // An embedded zero ends the text early; the position still covers every byte.
    IByteBuffer embedded;
    embedded.PutInt32(4);
    embedded.PutBytes("ab\0c", 4);
    EXPECT_EQ(embedded.GetString(0, text, sizeof text), 8);
    EXPECT_STREQ(text, "ab");

    EXPECT_EQ(buffer.GetString(-1, text, sizeof text), -1);
    EXPECT_EQ(buffer.GetString(14, text, sizeof text), -1);
}

TEST(IByteBuffer, GetStringRefusesLengthsThatWouldOverflow) {
    IByteBuffer negative;
    negative.PutInt32(-2);
    negative.PutInt32(0);
    char text[8] = "x";
    EXPECT_EQ(negative.GetString(0, text, sizeof text), -1);

    IByteBuffer huge;
    huge.PutInt32(std::numeric_limits<int32_t>::max() - 2);
    EXPECT_EQ(huge.GetString(0, text, sizeof text), -1);
    EXPECT_STREQ(text, "x");
}

} // namespace
