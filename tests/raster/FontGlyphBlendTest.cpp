#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "raster/PIX_Blend.h"
#include "raster/PIX_GlyphBlend.h"

namespace {

constexpr PIX_Pixel32 kWhite = 0x00FFFFFF; // text colours arrive with any alpha
constexpr PIX_Pixel32 kGrey = 0x40808080;

std::vector<PIX_Pixel32> Draw(const std::vector<uint8_t>& map, PIX_CoverageKind kind, int op, float weight,
                              PIX_Pixel32 under = 0) {
    std::vector<PIX_Pixel32> pixels(map.size(), under);
    PIX_CompositeCoverage(pixels.data(), static_cast<ptrdiff_t>(map.size()), map.data(),
                          static_cast<int>(map.size()), static_cast<int>(map.size()), 1, kind, kWhite, kGrey,
                          op, weight);
    return pixels;
}

PIX_Pixel32 Operator(int op, PIX_Pixel32 under, PIX_Pixel32 colour, int w) {
    PIX_Pixel32 p = under;
    PIX_GetPixelOperator(op)(&p, colour | 0xFF000000, w);
    return p;
}

TEST(FontGlyphBlend, AntiAliasedCoverageWeighsEachPixel) {
    const std::vector<uint8_t> map = {0, 255, 127, 1};
    EXPECT_EQ(Draw(map, PIX_CoverageKind::AntiAliased, BlendCopy, 1.0f),
              (std::vector<PIX_Pixel32>{0, 0xFFFFFFFF, Operator(BlendCopy, 0, kWhite, 128),
                                        Operator(BlendCopy, 0, kWhite, 2)}));
    // At half weight each byte weighs 128 * c / 256.
    EXPECT_EQ(Draw(map, PIX_CoverageKind::AntiAliased, BlendCopy, 0.5f),
              (std::vector<PIX_Pixel32>{0, Operator(BlendCopy, 0, kWhite, 127),
                                        Operator(BlendCopy, 0, kWhite, 63), 0}));
    EXPECT_EQ(Draw(map, PIX_CoverageKind::AntiAliased, BlendAdd, 0.5f, 0x10101010),
              (std::vector<PIX_Pixel32>{0x10101010, Operator(BlendAdd, 0x10101010, kWhite, 127),
                                        Operator(BlendAdd, 0x10101010, kWhite, 63),
                                        Operator(BlendAdd, 0x10101010, kWhite, 0)}));
}

TEST(FontGlyphBlend, MonoAndEffectsStoreWholeWordsAtFullCopy) {
    const std::vector<uint8_t> map = {0, 255, 128};
    EXPECT_EQ(Draw(map, PIX_CoverageKind::Mono, BlendCopy, 1.0f, 7),
              (std::vector<PIX_Pixel32>{7, kWhite, kWhite}));
    EXPECT_EQ(Draw(map, PIX_CoverageKind::Effects, BlendCopy, 1.0f, 7),
              (std::vector<PIX_Pixel32>{7, kWhite, kGrey}));
}

TEST(FontGlyphBlend, MonoAndEffectsRunTheOperatorOtherwise) {
    const std::vector<uint8_t> map = {0, 255, 128};
    const PIX_Pixel32 under = 0x20202020;
    EXPECT_EQ(Draw(map, PIX_CoverageKind::Effects, BlendAdd, 0.5f, under),
              (std::vector<PIX_Pixel32>{under, Operator(BlendAdd, under, kWhite, 128),
                                        Operator(BlendAdd, under, kGrey, 128)}));
    EXPECT_EQ(Draw(map, PIX_CoverageKind::Mono, BlendCopy, 3.0f, under),
              (std::vector<PIX_Pixel32>{under, 0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST(FontGlyphBlend, NothingIsDrawnForZeroNanOrUnknownOperators) {
    const std::vector<uint8_t> map = {255, 200, 128};
    const std::vector<PIX_Pixel32> untouched(3, 0x11223344);
    const PIX_CoverageKind kinds[] = {PIX_CoverageKind::AntiAliased, PIX_CoverageKind::Mono,
                                      PIX_CoverageKind::Effects};
    for (PIX_CoverageKind kind : kinds) {
        EXPECT_EQ(Draw(map, kind, BlendCopy, 0.0f, 0x11223344), untouched);
        EXPECT_EQ(Draw(map, kind, BlendCopy, std::nanf(""), 0x11223344), untouched);
        EXPECT_EQ(Draw(map, kind, 6, 0.5f, 0x11223344), untouched);
        EXPECT_EQ(Draw(map, kind, BlendCopy, -1.0f, 0x11223344), untouched);
    }
}

TEST(FontGlyphBlend, HugeWeightsSaturateWithoutOverflow) {
    EXPECT_EQ(PIX_GlyphWeight(1.0f), 256);
    EXPECT_EQ(PIX_GlyphWeight(0.999f), 255);
    EXPECT_EQ(PIX_GlyphWeight(1e9f), 65536);
    EXPECT_EQ(PIX_GlyphWeight(-1e9f), -65536);
    EXPECT_EQ(PIX_GlyphWeight(std::nanf("")), 0);
    // Every inked byte then draws the text colour outright.
    EXPECT_EQ(Draw({1, 255}, PIX_CoverageKind::AntiAliased, BlendCopy, 1e9f),
              (std::vector<PIX_Pixel32>{0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST(FontGlyphBlend, BottomUpDestinationsWalkBackwards) {
    // Two rows of two pixels stored bottom-up: row 0 is the second stored row.
    std::vector<PIX_Pixel32> pixels(4, 0);
    const std::vector<uint8_t> map = {255, 0, 0, 255};
    PIX_CompositeCoverage(pixels.data() + 2, -2, map.data(), 2, 2, 2, PIX_CoverageKind::Mono, kWhite, kGrey,
                          BlendCopy, 1.0f);
    EXPECT_EQ(pixels, (std::vector<PIX_Pixel32>{0, kWhite, kWhite, 0}));
}

} // namespace
