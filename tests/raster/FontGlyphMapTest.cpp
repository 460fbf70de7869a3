#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "raster/PIX_GlyphMap.h"

namespace {

// A grey level as GDI leaves it on the scratch: the same value in blue, green and red.
uint32_t Grey(uint32_t level) {
    return level * 0x010101u;
}

TEST(FontGlyphMap, SofteningSpreadsAPointToItsNeighbours) {
    // 4 x 3 area inside rows of 6 pixels; the pixels beyond the area must stay untouched.
    std::vector<uint32_t> pixels(6 * 3, 0xDEADBEEF);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            pixels[y * 6 + x] = 0;
        }
    }
    pixels[1 * 6 + 1] = Grey(255);
    PIX_SoftenGlyphArea(pixels.data(), 6, 4, 3);
    EXPECT_EQ(pixels[1 * 6 + 1], Grey(127)); // half of itself
    EXPECT_EQ(pixels[1 * 6 + 2], Grey(31));  // an eighth to the right
    EXPECT_EQ(pixels[1 * 6 + 0], Grey(63));  // edge column: a quarter from its one neighbour
    EXPECT_EQ(pixels[0 * 6 + 1], Grey(63));  // first row: a quarter from below
    // The last row takes a quarter of the row above as already softened: 127 / 4, 31 / 4.
    EXPECT_EQ(pixels[2 * 6 + 1], Grey(31));
    EXPECT_EQ(pixels[2 * 6 + 2], Grey(7));
    EXPECT_EQ(pixels[0 * 6 + 4], 0xDEADBEEF);
    EXPECT_EQ(pixels[2 * 6 + 5], 0xDEADBEEF);
}

TEST(FontGlyphMap, SofteningKeepsAFullAreaFull) {
    std::vector<uint32_t> pixels(5 * 4, Grey(255));
    PIX_SoftenGlyphArea(pixels.data(), 5, 5, 4);
    for (uint32_t p : pixels) {
        // Each term drops its lowest bits: 127 + 31 * 4, 127 + 63 + 31 * 2 or 127 + 63 * 2.
        EXPECT_GE(p & 0xFF, 251u);
        EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
    }
}

TEST(FontGlyphMap, SofteningWideAreasUseTheHeap) {
    const int width = 1500;
    std::vector<uint32_t> pixels(width * 2, 0);
    pixels[width + 1400] = Grey(255);
    PIX_SoftenGlyphArea(pixels.data(), width, width, 2);
    EXPECT_EQ(pixels[1400], Grey(63));
    EXPECT_EQ(pixels[width + 1400], Grey(127 + 15));
}

TEST(FontGlyphMap, ExtractionTrimsOnlyEmptyColumnsOutsideTheCell) {
    // Box of 8 columns, pen cell [2, 5); ink in column 1 and column 3.
    const int box = 8;
    std::vector<uint32_t> pixels(box * 2, 0);
    pixels[1] = Grey(40);
    pixels[box + 3] = Grey(200);
    std::vector<uint8_t> map(box * 2, 0xEE);
    int left = -1;
    const int width = PIX_ExtractCoverage(pixels.data(), box, box, 2, 2, 5, false, map.data(), left);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(width, 4); // columns 1..4: the cell's right edge stays
    EXPECT_EQ(std::vector<uint8_t>(map.begin(), map.begin() + 8),
              (std::vector<uint8_t>{40, 0, 0, 0, 0, 0, 200, 0}));
}

TEST(FontGlyphMap, ExtractionReadsTheRedByteAndInverts) {
    std::vector<uint32_t> pixels = {0x00FF0000, 0x0000FFFF, 0x00800000};
    std::vector<uint8_t> map(3);
    int left = -1;
    EXPECT_EQ(PIX_ExtractCoverage(pixels.data(), 3, 3, 1, 0, 3, false, map.data(), left), 3);
    EXPECT_EQ(map, (std::vector<uint8_t>{255, 0, 128}));
    EXPECT_EQ(PIX_ExtractCoverage(pixels.data(), 3, 3, 1, 0, 3, true, map.data(), left), 3);
    EXPECT_EQ(map, (std::vector<uint8_t>{0, 255, 127}));
}

TEST(FontGlyphMap, ExtractionNeverReachesBeyondTheBox) {
    // A cell wider than the box (a character cut at the scratch's edge) with the first
    // columns empty: the map keeps only what lies inside the box.
    const int box = 6;
    std::vector<uint32_t> pixels(box * 2, 0);
    pixels[5] = Grey(255);
    pixels[box + 4] = Grey(99);
    std::vector<uint8_t> map(box * 2, 0xEE);
    int left = -1;
    const int width = PIX_ExtractCoverage(pixels.data(), box, box, 2, 3, 9, false, map.data(), left);
    EXPECT_EQ(left, 3);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(std::vector<uint8_t>(map.begin(), map.begin() + 6),
              (std::vector<uint8_t>{0, 0, 255, 0, 99, 0}));
}

TEST(FontGlyphMap, RotationTurnsAQuarterEitherWay) {
    // 3 x 2:  a b c
    //         d e f
    const std::vector<uint8_t> original = {1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> map = original;
    std::vector<uint8_t> temp(6);
    int width = 3;
    int height = 2;
    PIX_RotateGlyphMap(map.data(), width, height, false, temp.data());
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(map, (std::vector<uint8_t>{4, 1, 5, 2, 6, 3})); // top now on the right
    map = original;
    width = 3;
    height = 2;
    PIX_RotateGlyphMap(map.data(), width, height, true, temp.data());
    EXPECT_EQ(map, (std::vector<uint8_t>{3, 6, 2, 5, 1, 4})); // top now on the left
}

TEST(FontGlyphMap, ThresholdAndEffects) {
    std::vector<uint8_t> map = {0, 130, 131, 255, 10, 200};
    PIX_ThresholdGlyphMap(map.data(), 6, 1);
    EXPECT_EQ(map, (std::vector<uint8_t>{0, 0, 255, 255, 0, 255}));

    // 4 x 3 with one full byte in the middle of the first two rows.
    std::vector<uint8_t> shadow = {0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PIX_AddGlyphShadow(shadow.data(), 4, 3);
    EXPECT_EQ(shadow, (std::vector<uint8_t>{0, 255, 128, 0, 0, 128, 128, 0, 0, 0, 0, 0}));

    std::vector<uint8_t> outline = {0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0};
    PIX_AddGlyphOutline(outline.data(), 4, 3);
    EXPECT_EQ(outline, (std::vector<uint8_t>{0, 128, 0, 0, 128, 255, 128, 0, 0, 128, 0, 0}));
}

} // namespace
