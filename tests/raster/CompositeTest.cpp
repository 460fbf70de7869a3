#include "raster/PIX_Blend.h"
#include "raster/PIX_MemBitmap.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct OperatorCase {
    int mode;
    float weight;
    PIX_Pixel32 dest;
    PIX_Pixel32 src;
    PIX_Pixel32 expected;
};

// Composites a 3 x 2 source of one pixel value over a 3 x 2 destination of another.
void ExpectComposites(const std::vector<OperatorCase>& cases) {
    for (const OperatorCase& c : cases) {
        auto dest = Filled(3, 2, c.dest);
        auto src = Filled(3, 2, c.src);
        PIX_CompositeRect(dest.get(), src.get(), 0, 0, nullptr, c.weight, c.mode);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(At(*dest, x, y), c.expected)
                    << std::hex << "mode 0x" << c.mode << " weight " << c.weight << " dest 0x" << c.dest
                    << " src 0x" << c.src << " at " << std::dec << x << "," << y;
            }
        }
    }
}

constexpr PIX_Pixel32 kDest = 0x80C84020;
constexpr PIX_Pixel32 kSrc = 0x40306090;
constexpr PIX_Pixel32 kClear = 0x00FFFFFF;
constexpr PIX_Pixel32 kOpaque = 0xFF102030;

TEST(CompositeOperators, Copy) {
    ExpectComposites({
        // Exact weights: 1.0 copies all four bytes, 0.5 halves each and adds.
        {BlendCopy, 1.0f, kDest, kSrc, kSrc},
        {BlendCopy, 0.5f, 0xFFFFFFFF, 0x00000000, 0x7F7F7F7F},
        {BlendCopy, 0.5f, 0x03050709, 0x01010101, 0x01020304},
        // w = 192: blue 0x90 + (0x20 - 0x90) * 64 / 256 = 144 - 28 = 116.
        {BlendCopy, 0.75f, kDest, kSrc, 0x50565874},
        {BlendCopy, 0.3f, kDest, kSrc, 0x6D9A4A42},
        {BlendCopy, 0.3f, 0xFFFFFFFF, 0x80808080, 0xD9D9D9D9},
        // Just above 1.0 still truncates to w = 256: an exact copy.
        {BlendCopy, 1.0000001f, kDest, kSrc, kSrc},
        // Source alpha at full weight: 128 over transparent black gives colour 129, alpha 128.
        {BlendCopy | BlendUseSourceAlpha, 1.0f, 0x00000000, 0x80FFFFFF, 0x80818181},
        {BlendCopy | BlendUseSourceAlpha, 1.0f, kDest, kSrc, 0xC0A1493D},
        {BlendCopy | BlendUseSourceAlpha, 1.0f, kDest, kOpaque, kOpaque},
        {BlendCopy | BlendUseSourceAlpha, 1.0f, kDest, kClear, kDest},
        {BlendCopy | BlendUseSourceAlpha, 1.0f, 0xFFFFFFFF, 0x80808080, 0xFFBFBFBF},
        // Below full weight k = (sA + 1) * w / 256 replaces the weight.
        {BlendCopy | BlendUseSourceAlpha, 0.75f, kDest, kSrc, 0xB0AB4635},
        {BlendCopy | BlendUseSourceAlpha, 0.3f, kDest, kOpaque, 0xCC913625},
        {BlendCopy | BlendUseSourceAlpha, 0.3f, kDest, kClear, kDest},
        {BlendCopy | BlendUseSourceAlpha, 0.5f, 0xFFFFFFFF, 0x80808080, 0xFFDFDFDF},
        // Bits other than the operator byte and bit 16 are ignored.
        {BlendCopy | 0x40000000, 0.75f, kDest, kSrc, 0x50565874},
    });
}

TEST(CompositeOperators, Add) {
    ExpectComposites({
        {BlendAdd, 1.0f, kDest, kSrc, 0xC0F8A0B0},
        {BlendAdd, 0.3f, kDest, kSrc, 0x93D65C4A},
        {BlendAdd, 0.3f, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF},
        {BlendAdd, 1.0f, 0xF0F0F0F0, 0x20202020, 0xFFFFFFFF},
        {BlendAdd | BlendUseSourceAlpha, 1.0f, kDest, kSrc, 0x90D45844},
        {BlendAdd | BlendUseSourceAlpha, 0.3f, kDest, kOpaque, 0xCBCC492E},
        {BlendAdd | BlendUseSourceAlpha, 1.0f, kDest, kClear, kDest},
        {BlendAdd | 0x00200000, 1.0f, kDest, kSrc, 0xC0F8A0B0},
    });
}

TEST(CompositeOperators, Dodge) {
    ExpectComposites({
        {BlendDodge, 1.0f, kDest, kSrc, 0xAAF66649},
        {BlendDodge, 0.3f, kDest, kSrc, 0x8AD34726},
        // x = 255 > 254: zero stays zero, anything else becomes 255.
        {BlendDodge, 1.0f, 0x00000000, 0xFFFFFFFF, 0x00000000},
        {BlendDodge, 1.0f, 0x01010101, 0xFFFFFFFF, 0xFFFFFFFF},
        // With source alpha every pixel takes k, transparent ones included.
        {BlendDodge | BlendUseSourceAlpha, 1.0f, kDest, kSrc, 0x88D14625},
        {BlendDodge | BlendUseSourceAlpha, 1.0f, kDest, kClear, kDest},
        {BlendDodge | BlendUseSourceAlpha, 0.75f, kDest, kOpaque, 0xFFD14625},
    });
}

TEST(CompositeOperators, Multiply) {
    ExpectComposites({
        // Blue: 0x20 * (0x90 * 256) >> 16 = 18.
        {BlendMultiply, 1.0f, kDest, kSrc, 0x20251812},
        {BlendMultiply, 0.3f, kDest, kSrc, 0x6397341B},
        {BlendMultiply, 0.75f, 0xFFFFFFFF, 0x80808080, 0x9F9F9F9F},
        {BlendMultiply | BlendUseSourceAlpha, 1.0f, kDest, kSrc, 0x679E351C},
        {BlendMultiply | BlendUseSourceAlpha, 1.0f, kDest, kClear, kDest},
        {BlendMultiply | BlendUseSourceAlpha, 0.3f, kDest, kOpaque, 0x7F902F18},
    });
}

TEST(CompositeOperators, Overlay) {
    ExpectComposites({
        {BlendOverlay, 1.0f, kDest, kSrc, 0x60AC3423},
        {BlendOverlay, 0.3f, kDest, kSrc, 0x76BF3C21},
        {BlendOverlay, 0.75f, 0xFFFFFFFF, 0x80808080, 0xFFFFFFFF},
        {BlendOverlay, 1.0f, 0xFF404040, 0xFFF0F0F0, 0xFF6A6A6A},
        {BlendOverlay | BlendUseSourceAlpha, 1.0f, kDest, kSrc, 0x77C13C20},
        {BlendOverlay | BlendUseSourceAlpha, 1.0f, kDest, kClear, 0x7FC84020},
        {BlendOverlay | BlendUseSourceAlpha, 0.3f, kDest, kOpaque, 0x92BC351A},
    });
}

TEST(CompositeOperators, HsvShift) {
    ExpectComposites({
        {BlendHsvShift, 1.0f, kDest, kSrc, 0x408B60E8},
        {BlendHsvShift, 0.3f, kDest, kSrc, 0x40D1326B},
        // Grey (hue 256, saturation 0) with full saturation added: red and green
        // f(-64) = p = 1, blue = v = 128.
        {BlendHsvShift, 1.0f, 0xFF808080, 0xFF80FF80, 0xFF010180},
        {BlendHsvShift, 1.0f, 0xFF20C040, 0xFFFF8080, 0xFFC021A7},
        {BlendHsvShift, 1.0f, 0xFF3040E0, 0x80008080, 0x80E0D231},
        {BlendHsvShift, 0.75f, 0xFFE04030, 0xFF0080FF, 0xFF375AFF},
        {BlendHsvShift, 1.0f, 0xFF102030, 0xFF80FF00, 0xFF000000},
        {BlendHsvShift, 0.5f, 0xFFC030C0, 0xFF808080, 0xFFBD30C0},
        {BlendHsvShift | BlendUseSourceAlpha, 1.0f, kDest, kSrc, 0x40D02F5C},
        // A transparent source still runs (k = 1): the colour round-trips, alpha becomes 0.
        {BlendHsvShift | BlendUseSourceAlpha, 1.0f, kDest, kClear, 0x00C84021},
        {BlendHsvShift | BlendUseSourceAlpha, 0.3f, kDest, kOpaque, 0xFF993B71},
    });
}

TEST(CompositeOperators, ChannelCopyMovesOneByteWhateverTheWeight) {
    ExpectComposites({
        {0xF3, 1.0f, 0x11223344, 0xAABBCCDD, 0x112233AA},
        {0xFC, 0.3f, 0x11223344, 0xAABBCCDD, 0xDD223344},
        {0xF6, 0.5f, 0x11223344, 0xAABBCCDD, 0x1122BB44},
        {0xF0, 1.0f, 0x11223344, 0xAABBCCDD, 0x112233DD},
        {0xFF | BlendUseSourceAlpha, 0.1f, 0x11223344, 0xAABBCCDD, 0xAA223344},
    });
}

TEST(CompositeOperators, UnknownOperatorsAndEmptyWeightsDrawNothing) {
    const float nan = std::nanf("");
    ExpectComposites({
        {6, 1.0f, kDest, kSrc, kDest},
        {0x7F, 1.0f, kDest, kSrc, kDest},
        {0xEF, 0.5f, kDest, kSrc, kDest},
        {6 | BlendUseSourceAlpha, 1.0f, kDest, kSrc, kDest},
        {BlendAdd, 0.0f, kDest, kSrc, kDest},
        {BlendAdd, 0.001f, kDest, kSrc, kDest},
        {BlendCopy, -0.5f, kDest, kSrc, kDest},
        {BlendCopy | BlendUseSourceAlpha, -1.0f, kDest, kSrc, kDest},
        {BlendCopy, nan, kDest, kSrc, kDest},
        {BlendAdd, nan, kDest, kSrc, kDest},
    });
}

// Weights beyond 1.0 act as 1.0 instead of extrapolating past the source.
TEST(CompositeOperators, WeightsAboveOneAreLimited) {
    ExpectComposites({
        {BlendCopy, 2.0f, kDest, kSrc, kSrc},
        {BlendCopy | BlendUseSourceAlpha, 3.0f, kDest, kSrc, 0xC0A1493D},
        {BlendAdd, 1e30f, kDest, kSrc, 0xC0F8A0B0},
        {BlendHsvShift, INFINITY, kDest, kSrc, 0x408B60E8},
        {BlendMultiply, -1e30f, 0x40404040, 0x00000000, 0x80808080},
    });
}

TEST(CompositeRect, MissingBitmapsDrawNothing) {
    auto dest = Filled(4, 4, kDest);
    auto src = Filled(4, 4, kSrc);
    PIX_MemBitmap empty;
    PIX_CompositeRect(nullptr, src.get(), 0, 0, nullptr, 1.0f, BlendCopy);
    PIX_CompositeRect(dest.get(), nullptr, 0, 0, nullptr, 1.0f, BlendCopy);
    PIX_CompositeRect(dest.get(), &empty, 0, 0, nullptr, 1.0f, BlendCopy);
    PIX_CompositeRect(&empty, src.get(), 0, 0, nullptr, 1.0f, BlendCopy);
    EXPECT_TRUE(AllEqual(*dest, kDest));
}

// Copies a numbered source and checks every destination pixel, padding included: inside the
// expected region pixel (x, y) must come from source (x + dx, y + dy), elsewhere it stays 0.
void ExpectPlaced(const PIX_IBitmap& dest, int left, int top, int right, int bottom, int dx, int dy) {
    for (int y = 0; y < dest.GetHeight(); ++y) {
        for (int x = 0; x < dest.GetRowSpan(); ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            const PIX_Pixel32 expected =
                inside ? 0xFF000000u | static_cast<PIX_Pixel32>((y + dy) << 8 | (x + dx)) : 0u;
            ASSERT_EQ(At(dest, x, y), expected) << "at " << x << "," << y;
        }
    }
}

TEST(CompositeRect, NegativeSourceRectangleShiftsTheDestination) {
    auto dest = Filled(20, 20, 0);
    auto src = Numbered(10, 10);
    const PIX_Rect r{-3, 0, 10, 10};
    PIX_CompositeRect(dest.get(), src.get(), 5, 5, &r, 1.0f, BlendCopy);
    ExpectPlaced(*dest, 8, 5, 18, 15, -8, -5);
}

TEST(CompositeRect, NegativeDestinationSkipsSourceColumnsAndRows) {
    auto dest = Filled(6, 6, 0);
    auto src = Numbered(4, 4);
    PIX_CompositeRect(dest.get(), src.get(), -2, -1, nullptr, 1.0f, BlendCopy);
    ExpectPlaced(*dest, 0, 0, 2, 3, 2, 1);
}

TEST(CompositeRect, ClipsToTheDestinationAndTheSource) {
    struct Case {
        int x, y;
        PIX_Rect rect;
        bool hasRect;
        int left, top, right, bottom, dx, dy;
    };
    const Case cases[] = {
        // Right and bottom edges of a 6 x 5 destination (row span 8: columns 6, 7 stay untouched).
        {3, 2, {0, 0, 0, 0}, false, 3, 2, 6, 5, -3, -2},
        // A source rectangle reaching beyond the source is cut to it.
        {0, 0, {5, 7, 100, 100}, true, 0, 0, 5, 3, 5, 7},
        {1, 1, {2, 3, 4, 5}, true, 1, 1, 3, 3, 1, 2},
        {-1, 0, {-2, -1, 3, 3}, true, 1, 1, 4, 4, -1, -1},
    };
    for (const Case& c : cases) {
        auto dest = Filled(6, 5, 0);
        auto src = Numbered(10, 10);
        PIX_CompositeRect(dest.get(), src.get(), c.x, c.y, c.hasRect ? &c.rect : nullptr, 1.0f, BlendCopy);
        ExpectPlaced(*dest, c.left, c.top, c.right, c.bottom, c.dx, c.dy);
    }
}

TEST(CompositeRect, RegionsClippedToNothingDrawNothing) {
    struct Case {
        int x, y;
        PIX_Rect rect;
    };
    const Case cases[] = {
        {6, 0, {0, 0, 10, 10}},
        {0, 5, {0, 0, 10, 10}},
        {-10, 0, {0, 0, 10, 10}},
        {0, 0, {4, 4, 4, 9}},
        {0, 0, {5, 5, 2, 2}},
        {0, 0, {10, 0, 20, 10}},
        {0, 0, {-20, 0, -10, 10}},
        // Extremes that would wrap in 32-bit arithmetic.
        {0, 0, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}},
        {INT_MIN, INT_MIN, {0, 0, INT_MAX, INT_MAX}},
        {INT_MAX, INT_MAX, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}},
        {-INT_MAX, 0, {INT_MAX, 0, INT_MAX, INT_MAX}},
    };
    for (const Case& c : cases) {
        auto dest = Filled(6, 5, 0);
        auto src = Numbered(10, 10);
        PIX_CompositeRect(dest.get(), src.get(), c.x, c.y, &c.rect, 1.0f, BlendCopy);
        EXPECT_TRUE(AllEqual(*dest, 0)) << c.x << "," << c.y;
    }
}

TEST(CompositeRect, SourceAlphaCopyOfAFrameFromAStrip) {
    // Frame 2 of a strip of three 2 x 2 frames, drawn with source alpha.
    auto strip = Filled(2, 6, 0x00000000);
    for (int y = 2; y < 4; ++y) {
        for (int x = 0; x < 2; ++x) {
            PIX_RowAddress(*strip, y)[x] = 0xFF102030;
        }
    }
    auto dest = Filled(4, 4, kDest);
    const PIX_Rect frame{0, 2, 2, 4};
    PIX_CompositeRect(dest.get(), strip.get(), 1, 1, &frame, 1.0f, BlendCopy | BlendUseSourceAlpha);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
            EXPECT_EQ(At(*dest, x, y), inside ? 0xFF102030u : kDest) << x << "," << y;
        }
    }
}

// A bitmap that stores its last row first: operations must walk it backwards.
class BottomUpBitmap final : public PIX_IBitmap {
public:
    BottomUpBitmap(int width, int height) : store(static_cast<size_t>(width * height)), w(width), h(height) {}
    PIX_Pixel32* GetPixels() const override { return const_cast<PIX_Pixel32*>(store.data()); }
    int GetWidth() const override { return w; }
    int GetHeight() const override { return h; }
    int GetRowSpan() const override { return w; }
    bool IsBottomUp() const override { return true; }
    bool SetSize(int, int) override { return false; }
    PIX_DeviceContext GetDeviceContext() const override { return nullptr; }
    int QueryExtension(int, void*) override { return 0; }
    std::vector<PIX_Pixel32> store;

private:
    int w;
    int h;
};

TEST(CompositeRect, BottomUpBitmapsAreWalkedFromTheirLastStoredRow) {
    BottomUpBitmap dest(3, 3);
    auto src = Numbered(3, 3);
    PIX_CompositeRect(&dest, src.get(), 0, 1, nullptr, 1.0f, BlendCopy);
    // Row 0 of the picture is stored last and stays empty; picture row 1 is stored in the middle.
    EXPECT_EQ(dest.store[6], 0u);
    EXPECT_EQ(dest.store[3], 0xFF000000u);
    EXPECT_EQ(dest.store[0], 0xFF000100u);

    auto back = Filled(3, 3, 0);
    PIX_CompositeRect(back.get(), &dest, 0, 0, nullptr, 0.5f, BlendCopy);
    EXPECT_EQ(At(*back, 2, 2), 0x7F000001u);
    EXPECT_EQ(At(*back, 0, 0), 0u);
}

TEST(PixelOperators, MatchTheConstantWeightRows) {
    EXPECT_EQ(PIX_GetPixelOperator(6), nullptr);
    EXPECT_EQ(PIX_GetPixelOperator(BlendChannelCopy), nullptr);
    struct Case {
        int op;
        int w;
        PIX_Pixel32 expected;
    };
    const Case cases[] = {
        {BlendCopy, 192, 0x50565874},     {BlendCopy, 0, kDest},           {BlendCopy, -5, kDest},
        {BlendCopy, 512, kSrc},           {BlendAdd, 256, 0xC0F8A0B0},     {BlendDodge, 256, 0xAAF66649},
        {BlendMultiply, 256, 0x20251812}, {BlendOverlay, 256, 0x60AC3423}, {BlendHsvShift, 256, 0x408B60E8},
    };
    for (const Case& c : cases) {
        PIX_Pixel32 d = kDest;
        PIX_GetPixelOperator(c.op)(&d, kSrc, c.w);
        EXPECT_EQ(d, c.expected) << c.op << " " << c.w;
    }
}

TEST(PixelOperators, IntegerWeight) {
    EXPECT_EQ(PIX_IntegerWeight(1.0), 256);
    EXPECT_EQ(PIX_IntegerWeight(0.25), 64);
    EXPECT_EQ(PIX_IntegerWeight(0.999), 255);
    EXPECT_EQ(PIX_IntegerWeight(-0.999), -255);
    EXPECT_EQ(PIX_IntegerWeight(1e300), 256);
    EXPECT_EQ(PIX_IntegerWeight(-1e300), -256);
    EXPECT_EQ(PIX_IntegerWeight(std::nan("")), 0);
}

} // namespace
