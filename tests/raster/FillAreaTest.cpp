#include "raster/PIX_Blend.h"
#include "raster/PIX_MemBitmap.h"

#include "RasterTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr PIX_Pixel32 kDest = 0x80C84020;
constexpr PIX_Pixel32 kColour = 0x40306090;

struct FillCase {
    int mode;
    float weight;
    PIX_Pixel32 dest;
    PIX_Pixel32 colour;
    PIX_Pixel32 expected;
};

TEST(FillArea, OperatorsUseTheColourWithTheWeightAsItsAlpha) {
    const FillCase cases[] = {
        // Exact weights use whole-word arithmetic: 1.0 stores the colour with its alpha,
        // 0.5 halves and adds, 0.25 and 0.75 combine halves and quarters.
        {BlendCopy, 1.0f, kDest, kColour, kColour},
        {BlendCopy, 0.5f, kDest, kColour, 0x607C5058},
        {BlendCopy, 0.25f, kDest, kColour, 0x70A2483C},
        {BlendCopy, 0.75f, kDest, kColour, 0x50565874},
        {BlendCopy, 1.0f, kDest, 0x00000000, 0x00000000},
        // w = 76: alpha 76 + (128 - 76) * 180 / 256 = 112.
        {BlendCopy, 0.3f, kDest, kColour, 0x709A4A42},
        // The colour's alpha scales the weight: 64 / 255 gives w = 64, the quarter shortcut...
        {BlendCopy | BlendUseSourceAlpha, 1.0f, kDest, kColour, 0x70A2483C},
        // ... and 0.6 * 128 / 255 gives w = 77.
        {BlendCopy | BlendUseSourceAlpha, 0.6f, kDest, 0x80306090, 0x709A4A42},
        {BlendCopy | BlendUseSourceAlpha, 1.0f, kDest, 0x00FFFFFF, kDest},
        {BlendAdd, 1.0f, kDest, kColour, 0xFFF8A0B0},
        {BlendAdd, 0.3f, kDest, kColour, 0x96D65C4A},
        {BlendDodge, 1.0f, kDest, kColour, 0xFFF66649},
        {BlendDodge, 0.3f, kDest, kColour, 0x8CD34726},
        {BlendMultiply, 1.0f, kDest, kColour, 0x80251812},
        {BlendMultiply, 0.3f, kDest, kColour, 0x6597341B},
        {BlendOverlay, 1.0f, kDest, kColour, 0xC0AC3423},
        {BlendOverlay, 0.3f, kDest, kColour, 0x78BF3C21},
        // The weight 256 in place of the alpha is stored clamped: opaque.
        {BlendHsvShift, 1.0f, kDest, kColour, 0xFF8B60E8},
        {BlendHsvShift, 0.3f, kDest, kColour, 0x4CD1326B},
        // Nothing: unknown operators, channel copies, zero and NaN weights, negative copies.
        {6, 1.0f, kDest, kColour, kDest},
        {0xF3, 1.0f, kDest, kColour, kDest},
        {BlendAdd, 0.0f, kDest, kColour, kDest},
        {BlendAdd, std::nanf(""), kDest, kColour, kDest},
        {BlendCopy, -0.5f, kDest, kColour, kDest},
    };
    for (const FillCase& c : cases) {
        auto dest = Filled(5, 3, c.dest);
        PIX_FillArea(dest.get(), 0, 0, 5, 3, c.colour, c.weight, c.mode);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                ASSERT_EQ(At(*dest, x, y), c.expected)
                    << std::hex << "mode 0x" << c.mode << " weight " << c.weight << " colour 0x" << c.colour;
            }
        }
        // Row padding (columns 5 to 7) is never written.
        for (int y = 0; y < 3; ++y) {
            for (int x = 5; x < 8; ++x) {
                ASSERT_EQ(At(*dest, x, y), c.dest);
            }
        }
    }
}

TEST(FillArea, ClipsToTheBitmap) {
    struct Case {
        int x, y, w, h;
        int left, top, right, bottom;
    };
    const Case cases[] = {
        {1, 1, 2, 2, 1, 1, 3, 3},
        {-2, -1, 4, 3, 0, 0, 2, 2},
        {4, 3, 10, 10, 4, 3, 6, 5},
        {-5, -5, INT_MAX, INT_MAX, 0, 0, 6, 5},
        {0, 0, 6, 5, 0, 0, 6, 5},
        // Nothing left after clipping.
        {6, 0, 1, 1, 0, 0, 0, 0},
        {0, 5, 1, 1, 0, 0, 0, 0},
        {-3, 0, 3, 5, 0, 0, 0, 0},
        {0, 0, 0, 5, 0, 0, 0, 0},
        {0, 0, 5, -1, 0, 0, 0, 0},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        auto dest = Filled(6, 5, 0);
        PIX_FillArea(dest.get(), c.x, c.y, c.w, c.h, 0xFFFFFFFF, 1.0f, BlendCopy);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                ASSERT_EQ(At(*dest, x, y), inside ? 0xFFFFFFFFu : 0u)
                    << "fill " << c.x << "," << c.y << " " << c.w << "x" << c.h << " at " << x << "," << y;
            }
        }
    }
}

TEST(FillArea, MissingOrEmptyBitmapsDrawNothing) {
    PIX_FillArea(nullptr, 0, 0, 4, 4, 0xFFFFFFFF, 1.0f, BlendCopy);
    PIX_MemBitmap empty;
    PIX_FillArea(&empty, 0, 0, 4, 4, 0xFFFFFFFF, 1.0f, BlendCopy);
    EXPECT_EQ(empty.GetPixels(), nullptr);
}

} // namespace
