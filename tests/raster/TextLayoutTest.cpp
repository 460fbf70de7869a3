#include <gtest/gtest.h>

#include <climits>

#include "raster/PIX_IFont.h"
#include "raster/PIX_TextLayout.h"

namespace {

bool Wine() {
    return true;
}
bool NotWine() {
    return false;
}
int wineQuestions = 0;
bool CountedNotWine() {
    ++wineQuestions;
    return false;
}

constexpr int kEditorFlags = FontOwnsHandle | FontPreferNative;

TEST(TextLayout, DirectGdiPathNeedsEveryCondition) {
    struct PathCase {
        const char* name;
        int fontFlags;
        bool hasFont;
        int textFlags;
        int lineSpacing;
        int lineHeight;
        bool (*underWine)();
        bool gdi;
    };
    const PathCase cases[] = {
        {"editor font on Windows", kEditorFlags, true, DT_NOCLIP | DT_CENTER, 0, 15, NotWine, true},
        {"editor font under Wine", kEditorFlags, true, DT_NOCLIP | DT_CENTER, 0, 15, Wine, false},
        {"without FontPreferNative", FontOwnsHandle, true, DT_NOCLIP, 0, 15, NotWine, false},
        {"without a system font", kEditorFlags, false, DT_NOCLIP, 0, 15, NotWine, false},
        {"translucent text", kEditorFlags, true, DT_NOCLIP | TextUseForegroundAlpha, 0, 15, NotWine, false},
        {"vertical", kEditorFlags | FontVertical, true, 0, 0, 15, NotWine, false},
        {"fixed cache", kEditorFlags | FontFixedCache, true, 0, 0, 15, NotWine, false},
        {"blur", kEditorFlags | FontBlur, true, 0, 0, 15, NotWine, false},
        {"outline", kEditorFlags | FontOutline, true, 0, 0, 15, NotWine, false},
        {"unused flag 0x8", kEditorFlags | 0x8, true, 0, 0, 15, NotWine, true},
        {"line spacing", kEditorFlags, true, 0, 2, 15, NotWine, false},
        {"line spacing, single line", kEditorFlags, true, DT_SINGLELINE, 2, 15, NotWine, true},
        {"tall lines under Wine", kEditorFlags, true, 0, 0, 256, Wine, true},
        {"tall lines with any flags", FontShadow | FontBlur, false, TextUseForegroundAlpha, 3, 300, Wine,
         true},
        {"just below tall", FontShadow, true, 0, 0, 255, NotWine, false},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(PIX_DrawsThroughGdi(c.fontFlags, c.hasFont, c.textFlags, c.lineSpacing, c.lineHeight,
                                      c.underWine),
                  c.gdi)
            << c.name;
    }
}

TEST(TextLayout, WineIsAskedOnlyWhenItDecides) {
    wineQuestions = 0;
    PIX_DrawsThroughGdi(FontOwnsHandle, true, 0, 0, 15, CountedNotWine);
    PIX_DrawsThroughGdi(kEditorFlags, true, TextUseForegroundAlpha, 0, 15, CountedNotWine);
    EXPECT_EQ(wineQuestions, 0);
    PIX_DrawsThroughGdi(kEditorFlags, true, 0, 0, 15, CountedNotWine);
    EXPECT_EQ(wineQuestions, 1);
}

TEST(TextLayout, CachedTextAlignment) {
    struct AlignCase {
        const char* name;
        PIX_Rect rect;
        int flags;
        int mw, mh;
        int x, y;
    };
    const AlignCase cases[] = {
        {"left top", {10, 20, 50, 34}, 0, 25, 15, 10, 20},
        {"centre", {10, 20, 50, 34}, DT_CENTER, 25, 15, 10 + 15 / 2, 20},
        {"centre of a narrow box truncates toward zero", {10, 20, 50, 34}, DT_CENTER, 45, 15, 10 - 5 / 2, 20},
        {"right", {10, 20, 50, 34}, DT_RIGHT, 25, 15, 25, 20},
        {"centre wins over right", {10, 20, 50, 34}, DT_CENTER | DT_RIGHT, 26, 15, 17, 20},
        {"vertical centre", {10, 20, 50, 40}, DT_VCENTER, 25, 15, 10, 22},
        {"vertical centre, tall text", {10, 20, 50, 30}, DT_VCENTER, 25, 15, 10, 18},
        {"bottom", {10, 20, 50, 40}, DT_BOTTOM, 25, 15, 10, 25},
        {"knob value text", {100, 148, 140, 162}, DT_CENTER | DT_NOCLIP, 37, 15, 101, 148},
    };
    for (const AlignCase& c : cases) {
        int x = 0;
        int y = 0;
        PIX_AlignCachedText(c.rect, c.flags, c.mw, c.mh, x, y);
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(y, c.y) << c.name;
    }
}

TEST(TextLayout, GdiTextBoxPlacement) {
    struct PlaceCase {
        const char* name;
        PIX_Rect rect;
        int flags;
        int tw, th;
        int x, y;
    };
    const PlaceCase cases[] = {
        {"left top", {10, 20, 50, 40}, 0, 25, 15, 10, 20},
        {"right wins over centre", {10, 20, 50, 40}, DT_RIGHT | DT_CENTER, 25, 15, 25, 20},
        {"centre floors toward zero of the sum", {10, 20, 50, 40}, DT_CENTER, 25, 15, (10 + 50 - 25) / 2, 20},
        {"bottom wins over vertical centre", {10, 20, 50, 40}, DT_BOTTOM | DT_VCENTER, 25, 15, 10, 25},
        {"vertical centre", {10, 20, 50, 40}, DT_VCENTER, 25, 15, 10, (20 + 40 - 15) / 2},
    };
    for (const PlaceCase& c : cases) {
        int x = 0;
        int y = 0;
        PIX_PlaceTextBox(c.rect, c.flags, c.tw, c.th, x, y);
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(y, c.y) << c.name;
    }
}

TEST(TextLayout, ExtremeRectanglesDoNotWrapAround) {
    int x = 0;
    int y = 0;
    PIX_AlignCachedText({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, DT_RIGHT | DT_BOTTOM, -10, -10, x, y);
    EXPECT_EQ(x, INT_MAX);
    EXPECT_EQ(y, INT_MAX);
    PIX_PlaceTextBox({INT_MAX, INT_MAX, INT_MAX, INT_MAX}, DT_CENTER | DT_VCENTER, 0, 0, x, y);
    EXPECT_EQ(x, INT_MAX);
    EXPECT_EQ(y, INT_MAX);
}

TEST(TextLayout, GlyphPaddingGrowsWithTheLineHeight) {
    EXPECT_EQ(PIX_GlyphPadding(0), 2);
    EXPECT_EQ(PIX_GlyphPadding(15), 2);
    EXPECT_EQ(PIX_GlyphPadding(16), 3);
    EXPECT_EQ(PIX_GlyphPadding(48), 5);
}

} // namespace
