#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "FontTestUtil.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_MemBitmap.h"
#include "raster/PIX_SysBitmap.h"
#include "raster/PIX_TextLayout.h"

namespace {

constexpr PIX_Pixel32 kBlack = 0xFF000000;
constexpr PIX_Pixel32 kText = 0xFFFFFFC0; // the knobs' value text colour

class FontCache : public ::testing::Test {
protected:
    void SetUp() override {
        font = MakeCachedFont();
        ASSERT_NE(font->GetFontHandle(), nullptr);
        ASSERT_GT(font->GetLineHeight(), 0);
        font->SetForeground(kText);
        Fill(surface, kBlack);
    }

    PIX_Rect MeasureText(const char* text, int length = -1, int flags = DT_NOCLIP) {
        return Measure(*font, &surface, text, length, flags);
    }

    std::unique_ptr<PIX_CachedFont> font;
    PIX_SysBitmap surface{120, 40};
};

TEST_F(FontCache, MeasuringTwiceGivesTheSameRectangleAndRasterisesNothingNew) {
    const PIX_Rect first = MeasureText("1000Hz");
    const int rasterised = font->GetRasterisedCount();
    const int stored = font->GetCoverageSize();
    EXPECT_EQ(rasterised, 4); // 1, 0, H, z once each
    const PIX_Rect second = MeasureText("1000Hz");
    EXPECT_EQ(first, second);
    EXPECT_EQ(font->GetRasterisedCount(), rasterised);
    EXPECT_EQ(font->GetCoverageSize(), stored);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.top, 0);
    EXPECT_GT(first.right, 20);
    EXPECT_LT(first.right, 60);
    EXPECT_EQ(first.bottom, font->GetLineHeight());
}

TEST_F(FontCache, MeasuringAnswersTheHeightAndMovesTheRectangle) {
    PIX_Rect rect = {7, 9, 0, 0};
    const int height = font->RenderText(nullptr, "Triangle", -1, rect, DT_CALCRECT);
    EXPECT_EQ(height, font->GetLineHeight());
    const PIX_Rect atOrigin = MeasureText("Triangle");
    EXPECT_EQ(rect, (PIX_Rect{7, 9, 7 + atOrigin.right, 9 + atOrigin.bottom}));
}

TEST_F(FontCache, ExtendedCharactersKeepTheTableSorted) {
    MeasureText("\xC3\xA9\xE2\x82\xAC\xC3\xBC"); // é € ü
    MeasureText("\xC3\xBF\xC3\xA9");             // ÿ, é again
    ASSERT_EQ(font->GetExtendedGlyphCount(), 4);
    const GlyphRecord* records = font->GetExtendedGlyphs();
    const int expected[] = {0xE9, 0xFC, 0xFF, 0x20AC};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].character, expected[i]);
        EXPECT_EQ(font->FindGlyph(static_cast<uint16_t>(expected[i])), &records[i]);
        EXPECT_GT(records[i].offset, 0);
    }
    EXPECT_EQ(font->FindGlyph(0xE8), nullptr);
    EXPECT_EQ(font->GetRasterisedCount(), 4);
}

TEST_F(FontCache, FixedCacheRasterisesAsciiAtOnceAndIgnoresTheRest) {
    auto fixed = MakeCachedFont(FontOwnsHandle | FontFixedCache);
    EXPECT_EQ(fixed->GetRasterisedCount(), 128);
    for (int ch = 0; ch < 128; ++ch) {
        EXPECT_NE(fixed->FindGlyph(static_cast<uint16_t>(ch))->offset, 0) << ch;
    }
    const PIX_Rect withAccent = Measure(*fixed, &surface, "a\xC3\xA9");
    EXPECT_EQ(withAccent, Measure(*fixed, &surface, "a"));
    EXPECT_EQ(fixed->GetExtendedGlyphCount(), 0);
    EXPECT_FALSE(fixed->CacheGlyph(0xE9));
    EXPECT_EQ(fixed->GetRasterisedCount(), 128);
}

TEST_F(FontCache, Utf8RulesOfTheCachePath) {
    // A four-byte sequence is a space; a lone 0xE9 is the character 0xE9 (é).
    EXPECT_EQ(MeasureText("a\xF0\x9F\x98\x80"
                          "b"),
              MeasureText("a b"));
    EXPECT_EQ(MeasureText("\xE9"), MeasureText("\xC3\xA9"));
    EXPECT_EQ(font->GetExtendedGlyphCount(), 1);
    // Carriage returns are dropped; a line feed on a single line is a space.
    EXPECT_EQ(MeasureText("a\rb"), MeasureText("ab"));
    EXPECT_EQ(MeasureText("a\nb", -1, DT_SINGLELINE), MeasureText("a b"));
    const PIX_Rect twoLines = MeasureText("a\nbb");
    EXPECT_EQ(twoLines.bottom, 2 * font->GetLineHeight());
    EXPECT_EQ(twoLines.right, MeasureText("bb").right);
}

TEST_F(FontCache, LengthLimitsWhatIsRead) {
    EXPECT_EQ(MeasureText("1000Hz", 4), MeasureText("1000"));
    EXPECT_EQ(MeasureText("abc", INT_MAX), MeasureText("abc"));
    EXPECT_EQ(MeasureText("abc", 0), (PIX_Rect{0, 0, 0, 0}));
    // A sequence cut by the length is read byte by byte: 0xC3 stands for itself.
    const char cut[] = {'a', '\xC3', '\xA9'};
    MeasureText(cut, 2);
    ASSERT_EQ(font->GetExtendedGlyphCount(), 1);
    EXPECT_EQ(font->GetExtendedGlyphs()[0].character, 0xC3);
}

TEST_F(FontCache, DrawsTheTextColourInsideItsMeasuredBox) {
    const PIX_Rect size = MeasureText("1000Hz");
    PIX_Rect rect = {10, 12, 110, 30};
    const int drawn = font->RenderText(&surface, "1000Hz", -1, rect, DT_NOCLIP);
    EXPECT_GT(drawn, 0);
    EXPECT_LE(drawn, font->GetLineHeight());
    const PIX_Rect ink = InkBox(surface, kBlack);
    EXPECT_GE(ink.left, 10 - 1);
    EXPECT_LE(ink.right, 10 + size.right + 1);
    EXPECT_GE(ink.top, 12);
    EXPECT_LE(ink.bottom, 12 + size.bottom);
    // Full coverage somewhere: the stems of 1 and H are solid.
    bool solid = false;
    for (PIX_Pixel32 p : PixelsOf(surface)) {
        solid = solid || p == kText;
    }
    EXPECT_TRUE(solid);
}

TEST_F(FontCache, CentredTextStartsHalfTheSpareWidthIn) {
    const PIX_Rect size = MeasureText("Triangle");
    PIX_Rect box = {20, 5, 60, 19}; // narrower than the text: it extends to both sides
    font->RenderText(&surface, "Triangle", -1, box, DT_NOCLIP | DT_CENTER);
    const auto centred = PixelsOf(surface);

    Fill(surface, kBlack);
    PIX_Rect left = {20 + (40 - size.right) / 2, 5, 200, 19};
    font->RenderText(&surface, "Triangle", -1, left, DT_NOCLIP);
    EXPECT_EQ(PixelsOf(surface), centred);
}

TEST_F(FontCache, ClippingKeepsTextInsideTheRectangleAndTheBitmap) {
    PIX_Rect rect = {30, 10, 45, 16};
    font->RenderText(&surface, "WWWW", -1, rect, 0);
    const PIX_Rect ink = InkBox(surface, kBlack);
    EXPECT_GE(ink.left, 30);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.right, 45);
    EXPECT_LE(ink.bottom, 16);
    EXPECT_GT(ink.right, ink.left);

    // Text hanging over every edge of a small bitmap.
    PIX_MemBitmap small(6, 6);
    Fill(small, kBlack);
    PIX_Rect over = {-7, -5, 200, 200};
    font->RenderText(&small, "WW", -1, over, DT_NOCLIP);
    EXPECT_NE(InkBox(small, kBlack), (PIX_Rect{0, 0, 0, 0}));

    PIX_Rect empty = {50, 10, 50, 30};
    EXPECT_EQ(font->RenderText(&surface, "x", -1, empty, 0), 0);
}

TEST_F(FontCache, PaintGlyphNeverDrawsOutsideItsClip) {
    MeasureText("W");
    const GlyphRecord* w = font->FindGlyph('W');
    ASSERT_GT(w->width, 8);
    const PIX_Rect clip = {8, 8, 12, 12};
    // Pen left of and above the clip, so that the map is cut on those sides.
    EXPECT_TRUE(font->PaintGlyph(&surface, 'W', 2, 2, clip));
    const PIX_Rect ink = InkBox(surface, kBlack);
    EXPECT_GE(ink.left, 8);
    EXPECT_GE(ink.top, 8);
    EXPECT_LE(ink.right, 12);
    EXPECT_LE(ink.bottom, 12);
    // A clip reaching beyond the bitmap is limited to it.
    EXPECT_TRUE(font->PaintGlyph(&surface, 'W', 115, 30, {-100, -100, 1000, 1000}));
    EXPECT_FALSE(font->PaintGlyph(&surface, 'W', 200, 2, {0, 0, 1000, 1000}));
    EXPECT_FALSE(font->PaintGlyph(&surface, 0x4E00, 2, 2, clip)); // never cached
    EXPECT_FALSE(font->PaintGlyph(nullptr, 'W', 2, 2, clip));
}

TEST_F(FontCache, ForegroundAlphaScalesTheWeightForOneCall) {
    auto reference = MakeCachedFont();
    reference->SetForeground(0xFFFFFFFF);
    reference->SetBlend(BlendCopy, 128.0f / 255.0f);
    PIX_Rect rect = {4, 4, 100, 30};
    reference->RenderText(&surface, "50:50", -1, rect, DT_NOCLIP);
    const auto expected = PixelsOf(surface);

    Fill(surface, kBlack);
    font->SetForeground(0x80FFFFFF);
    font->RenderText(&surface, "50:50", -1, rect, DT_NOCLIP | TextUseForegroundAlpha);
    EXPECT_EQ(PixelsOf(surface), expected);
    EXPECT_EQ(font->GetWeight(), 1.0f);

    Fill(surface, kBlack);
    font->SetForeground(0x00FFFFFF);
    EXPECT_EQ(font->RenderText(&surface, "50:50", -1, rect, DT_NOCLIP | TextUseForegroundAlpha), 0);
    EXPECT_EQ(InkBox(surface, kBlack), (PIX_Rect{0, 0, 0, 0}));
    EXPECT_EQ(font->GetWeight(), 1.0f);
}

TEST_F(FontCache, OpaqueBackgroundFillsEachGlyphBox) {
    font->SetForeground(0xFF000000);
    font->SetBackground(0xFF0000FF);
    EXPECT_EQ(font->SetBackgroundMode(BackgroundOpaque), BackgroundTransparent);
    PIX_Rect rect = {0, 0, 100, 30};
    font->RenderText(&surface, "i i", -1, rect, DT_NOCLIP);
    // The space's box is filled too, the pixels past the text are not.
    EXPECT_EQ(PIX_RowAddress(surface, 2)[MeasureText("i ").right - 1], 0xFF0000FFu);
    EXPECT_EQ(PIX_RowAddress(surface, 2)[MeasureText("i i").right + 2], kBlack);
}

TEST_F(FontCache, EffectsFlagsTurnTheMapsIntoLevels) {
    struct EffectCase {
        int flags;
        std::vector<int> levels; // the only values the maps may hold
    };
    const EffectCase cases[] = {
        {FontMono, {0, 255}},
        {FontShadow, {0, 128, 255}},
        {FontOutline, {0, 128, 255}},
        {FontShadow | FontBlur, {0, 128, 255}},
    };
    for (const EffectCase& c : cases) {
        auto effects = MakeCachedFont(FontOwnsHandle | c.flags);
        Measure(*effects, &surface, "Hz");
        for (uint16_t ch : {uint16_t('H'), uint16_t('z')}) {
            const GlyphRecord* g = effects->FindGlyph(ch);
            ASSERT_GT(g->offset, 0);
            PIX_SysBitmap one(40, 40);
            Fill(one, 0);
            effects->SetForeground(0xFF0000FF);
            effects->SetEffectColour(0xFF00FF00);
            effects->PaintGlyph(&one, ch, 10, 5, {0, 0, 40, 40});
            for (PIX_Pixel32 p : PixelsOf(one)) {
                EXPECT_TRUE(p == 0 || p == 0xFF0000FF || (c.levels.size() == 3 && p == 0xFF00FF00))
                    << std::hex << p << " flags " << c.flags;
            }
        }
    }
}

TEST_F(FontCache, InvertedAndVerticalFonts) {
    // Inverted coverage is ink everywhere: nothing is trimmed from the padded box.
    auto inverted = MakeCachedFont(FontOwnsHandle | FontInvert);
    Measure(*inverted, &surface, "H");
    MeasureText("H");
    const GlyphRecord* dark = inverted->FindGlyph('H');
    EXPECT_EQ(dark->width, dark->advance + 2 * PIX_GlyphPadding(inverted->GetLineHeight()));
    EXPECT_EQ(dark->xOffset, PIX_GlyphPadding(inverted->GetLineHeight()));
    EXPECT_LT(font->FindGlyph('H')->width, dark->width);

    auto vertical = MakeCachedFont(FontOwnsHandle | FontVertical);
    const PIX_Rect turned = Measure(*vertical, &surface, "HH");
    EXPECT_EQ(turned.right, vertical->GetLineHeight());
    EXPECT_GE(turned.bottom, MeasureText("HH").right);
    const GlyphRecord* h = vertical->FindGlyph('H');
    const GlyphRecord* flat = font->FindGlyph('H');
    EXPECT_EQ(h->width, flat->height);
    EXPECT_EQ(h->height, flat->width);

    auto upwards = MakeCachedFont(FontOwnsHandle | FontVertical | FontBottomUp);
    PIX_SysBitmap tall(30, 100);
    Fill(tall, kBlack);
    upwards->SetForeground(kText);
    PIX_Rect rect = {5, 10, 30, 100};
    EXPECT_EQ(upwards->RenderText(&tall, "HH", -1, rect, DT_NOCLIP), upwards->FindGlyph('H')->width);
    const PIX_Rect ink = InkBox(tall, kBlack);
    EXPECT_GE(ink.left, 5);
    EXPECT_GT(ink.bottom, ink.top);
}

TEST_F(FontCache, ReattachingDiscardsTheCache) {
    MeasureText("\xC3\xA9"
                "abc");
    EXPECT_GT(font->GetCoverageSize(), 0);
    EXPECT_EQ(font->GetExtendedGlyphCount(), 1);
    font->AttachFont(MakeSystemFont(20), FontOwnsHandle);
    EXPECT_EQ(font->GetCoverageSize(), 0);
    EXPECT_EQ(font->GetExtendedGlyphCount(), 0);
    EXPECT_EQ(font->FindGlyph('a')->offset, 0);
    EXPECT_EQ(font->GetLineHeight(), 20);
}

TEST_F(FontCache, NothingToDrawWithoutTextOrBitmap) {
    PIX_Rect rect = {0, 0, 50, 20};
    EXPECT_EQ(font->RenderText(nullptr, "abc", -1, rect, 0), 0);
    EXPECT_EQ(font->RenderText(&surface, nullptr, -1, rect, 0), 0);
    EXPECT_EQ(font->RenderText(&surface, nullptr, -1, rect, DT_CALCRECT), 0);
    PIX_CachedFont bare;
    EXPECT_EQ(bare.GetLineHeight(), 0);
    EXPECT_EQ(bare.RenderText(&surface, "abc", -1, rect, 0), 0);
    EXPECT_FALSE(bare.CacheGlyph('a'));
}

TEST(FontCacheLimits, LinesOf1024PixelsAreNotCached) {
    auto huge = MakeCachedFont(FontOwnsHandle, 1100);
    ASSERT_GE(huge->GetLineHeight(), 1024);
    EXPECT_FALSE(huge->CacheGlyph('a'));
    EXPECT_EQ(huge->GetRasterisedCount(), 0);
}

TEST(FontCacheLimits, TheGlyphScratchGrowsForLargeFonts) {
    auto large = MakeCachedFont(FontOwnsHandle, 200);
    ASSERT_NE(PIX_CachedFont::GetGlyphScratch(), nullptr);
    EXPECT_TRUE(large->CacheGlyph('W'));
    const int size = 2 * large->GetLineHeight() + 8;
    EXPECT_GE(PIX_CachedFont::GetGlyphScratch()->GetWidth(), size);
    EXPECT_GE(PIX_CachedFont::GetGlyphScratch()->GetHeight(), size);
    const GlyphRecord* w = large->FindGlyph('W');
    EXPECT_GT(w->width, 100);
    EXPECT_EQ(w->height, large->GetLineHeight());
}

// Enough characters to outgrow the first memory of the glyph table and of the coverage store:
// the records stay sorted and a map stored first is drawn as before.
TEST(FontCacheLimits, StoresGrowKeepingEveryGlyph) {
    auto font = MakeCachedFont(FontOwnsHandle, 40);
    font->SetForeground(kText);
    PIX_SysBitmap surface{60, 60};
    Fill(surface, kBlack);
    ASSERT_TRUE(font->CacheGlyph(0xE9));
    ASSERT_TRUE(font->PaintGlyph(&surface, 0xE9, 10, 5, {0, 0, 60, 60}));
    const std::vector<PIX_Pixel32> first = PixelsOf(surface);

    for (int ch = 0x1FF; ch >= 0x100; --ch) {
        ASSERT_TRUE(font->CacheGlyph(static_cast<uint16_t>(ch)));
    }
    const int count = font->GetExtendedGlyphCount();
    ASSERT_EQ(count, 257);
    EXPECT_GT(count * static_cast<int>(sizeof(GlyphRecord)), 4096);
    EXPECT_GT(font->GetCoverageSize(), 65536);
    const GlyphRecord* records = font->GetExtendedGlyphs();
    for (int i = 1; i < count; ++i) {
        EXPECT_LT(records[i - 1].character, records[i].character);
    }
    EXPECT_EQ(font->FindGlyph(0xE9), &records[0]);
    Fill(surface, kBlack);
    ASSERT_TRUE(font->PaintGlyph(&surface, 0xE9, 10, 5, {0, 0, 60, 60}));
    EXPECT_EQ(PixelsOf(surface), first);
}

TEST(FontLifetime, LiveCountAndScratchBitmapsFollowTheFonts) {
    ASSERT_EQ(PIX_CachedFont::GetLiveFontCount(), 0);
    EXPECT_EQ(PIX_CachedFont::GetGlyphScratch(), nullptr);
    auto first = std::make_unique<PIX_CachedFont>();
    EXPECT_EQ(PIX_CachedFont::GetLiveFontCount(), 1);
    EXPECT_EQ(PIX_CachedFont::GetGlyphScratch(), nullptr); // made on first need
    first->AttachFont(MakeSystemFont(), FontOwnsHandle);
    PIX_SysBitmap* scratch = PIX_CachedFont::GetGlyphScratch();
    ASSERT_NE(scratch, nullptr);
    EXPECT_GE(scratch->GetWidth(), 256);
    EXPECT_GE(scratch->GetHeight(), 256);
    auto second = MakeCachedFont();
    EXPECT_EQ(PIX_CachedFont::GetLiveFontCount(), 2);
    EXPECT_EQ(PIX_CachedFont::GetGlyphScratch(), scratch);
    first.reset();
    EXPECT_EQ(PIX_CachedFont::GetLiveFontCount(), 1);
    EXPECT_EQ(PIX_CachedFont::GetGlyphScratch(), scratch);
    second.reset();
    EXPECT_EQ(PIX_CachedFont::GetLiveFontCount(), 0);
    EXPECT_EQ(PIX_CachedFont::GetGlyphScratch(), nullptr);
}

TEST(FontLifetime, HandlesAreDeletedOnlyWhenOwned) {
    PIX_FontHandle kept = MakeSystemFont();
    ASSERT_NE(kept, nullptr);
    {
        PIX_CachedFont borrowing;
        borrowing.AttachFont(kept, 0);
        EXPECT_EQ(borrowing.GetFontHandle(), kept);
    }
    // Still usable after the borrowing font is gone.
    PIX_CachedFont again;
    again.AttachFont(kept, FontOwnsHandle);
    EXPECT_GT(again.GetLineHeight(), 0);
    // Re-attaching the same handle keeps it.
    again.AttachFont(kept, FontOwnsHandle);
    EXPECT_TRUE(again.CacheGlyph('a'));
}

} // namespace
