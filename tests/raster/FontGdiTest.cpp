// GDI's part in drawing text: the Wine test, the direct path and the text scratch.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FontTestUtil.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_MemBitmap.h"
#include "raster/PIX_SysBitmap.h"
#include "raster/win/PIX_Wine.h"

namespace {

constexpr PIX_Pixel32 kBlack = 0xFF000000;
constexpr int kEditorFlags = FontOwnsHandle | FontPreferNative;

// Wine's own marker, independent of the registry: ntdll exports wine_get_version.
bool WineByNtdll() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::unique_ptr<PIX_CachedFont> EditorFont(int height = 13, int extraFlags = 0) {
    auto font = std::make_unique<PIX_CachedFont>();
    font->AttachFont(MakeSystemFont(height), kEditorFlags | extraFlags);
    font->SetForeground(0xFFFFFFFF);
    return font;
}

TEST(FontGdi, TheRegistryTellsWine) {
    EXPECT_EQ(PIX_RunningUnderWine(), WineByNtdll());
    EXPECT_EQ(PIX_RunningUnderWine(), WineByNtdll()); // answered from the first test
}

TEST(FontGdi, ArialHasAFace) {
    char face[64];
    PIX_FontHandle arial = MakeSystemFont();
    ASSERT_NE(arial, nullptr);
    std::printf("\"Arial\" is drawn with \"%s\"\n", PIX_FontFaceName(arial, face, sizeof(face)));
    EXPECT_STRNE(face, "");
    PIX_DeleteFont(arial);
}

TEST(FontGdi, EditorFontsDrawFromTheCacheOnlyUnderWine) {
    auto font = EditorFont();
    PIX_SysBitmap surface(100, 30);
    Fill(surface, kBlack);
    PIX_Rect rect = {0, 5, 100, 25};
    EXPECT_GT(font->RenderText(&surface, "1000Hz", -1, rect, DT_NOCLIP | DT_CENTER), 0);
    EXPECT_EQ(font->GetRasterisedCount() > 0, PIX_RunningUnderWine());
    EXPECT_NE(InkBox(surface, kBlack), (PIX_Rect{0, 0, 0, 0}));
}

TEST(FontGdi, TranslucentTextAlwaysDrawsFromTheCache) {
    auto font = EditorFont();
    font->SetForeground(0x80FFFFFF);
    PIX_SysBitmap surface(100, 30);
    Fill(surface, kBlack);
    PIX_Rect rect = {0, 5, 100, 25};
    font->RenderText(&surface, "50:50", -1, rect, DT_NOCLIP | TextUseForegroundAlpha);
    EXPECT_GT(font->GetRasterisedCount(), 0);
    EXPECT_EQ(font->GetWeight(), 1.0f);
}

TEST(FontGdi, TallLinesDrawThroughGdiWhateverTheFlags) {
    auto font = EditorFont(300, FontShadow | FontBlur);
    ASSERT_GE(font->GetLineHeight(), 256);
    PIX_SysBitmap surface(400, 340);
    Fill(surface, kBlack);
    PIX_Rect rect = {10, 10, 400, 340};
    const int height = font->RenderText(&surface, "Hz", -1, rect, DT_NOCLIP | TextUseForegroundAlpha);
    EXPECT_EQ(height, font->GetLineHeight());
    EXPECT_EQ(font->GetRasterisedCount(), 0);
    const PIX_Rect ink = InkBox(surface, kBlack);
    EXPECT_GE(ink.left, 10);
    EXPECT_GT(ink.right - ink.left, 150);
}

TEST(FontGdi, BitmapsWithoutDeviceContextUseTheTextScratch) {
    auto font = EditorFont(300);
    PIX_MemBitmap surface(400, 340);
    Fill(surface, kBlack);
    PIX_Rect rect = {0, 0, 400, 340};
    font->RenderText(&surface, "H", -1, rect, DT_NOCLIP | DT_CENTER);
    ASSERT_NE(PIX_CachedFont::GetTextScratch(), nullptr);
    const PIX_Rect size = Measure(*font, nullptr, "H");
    const PIX_Rect ink = InkBox(surface, kBlack);
    EXPECT_GT(ink.right, ink.left);
    // Centred: the text box starts at (400 - width) / 2.
    EXPECT_GE(ink.left, (400 - size.right) / 2);
    EXPECT_LE(ink.right, (400 - size.right) / 2 + size.right);
    EXPECT_EQ(font->GetRasterisedCount(), 0);

    // The font's weight blends the text over what was there (GDI leaves alpha of its own).
    Fill(surface, kBlack);
    font->SetBlend(BlendCopy, 0.5f);
    font->RenderText(&surface, "H", -1, rect, DT_NOCLIP);
    bool half = false;
    for (PIX_Pixel32 p : PixelsOf(surface)) {
        EXPECT_NE(p & 0xFFFFFF, 0xFFFFFFu);
        half = half || (p & 0xFFFFFF) == 0x7F7F7F;
    }
    EXPECT_TRUE(half);
}

TEST(FontGdi, ClippedTextStaysInsideTheRectangle) {
    auto font = EditorFont(300);
    PIX_MemBitmap surface(400, 340);
    Fill(surface, kBlack);
    PIX_Rect rect = {40, 60, 120, 200};
    font->RenderText(&surface, "WW", -1, rect, 0);
    const PIX_Rect ink = InkBox(surface, kBlack);
    EXPECT_GT(ink.right, ink.left);
    EXPECT_GE(ink.left, 40);
    EXPECT_GE(ink.top, 60);
    EXPECT_LE(ink.right, 120);
    EXPECT_LE(ink.bottom, 200);
}

TEST(FontGdi, MeasuringReadsOnlyTheGivenBytes) {
    auto font = EditorFont(300);
    const PIX_Rect accent = Measure(*font, nullptr, "\xC3\xA9");
    EXPECT_GT(accent.right, 0);
    EXPECT_EQ(accent.bottom, font->GetLineHeight());
    EXPECT_EQ(Measure(*font, nullptr, "\xC3\xA9WWW", 2), accent);
    EXPECT_EQ(Measure(*font, nullptr, "AAAA", 2), Measure(*font, nullptr, "AA"));
    // Text that is not valid UTF-8 is measured as ANSI bytes: three characters, not one.
    EXPECT_GT(Measure(*font, nullptr, "\xC3\xA9\xFF").right, 2 * accent.right);
    PIX_SysBitmap surface(8, 8);
    EXPECT_EQ(Measure(*font, &surface, "\xC3\xA9"), accent);
}

TEST(FontGdi, LongTextsConvertOnTheHeap) {
    // Two lines of 600 characters: 1201 converted characters.
    auto font = EditorFont(300);
    std::string line;
    for (int i = 0; i < 600; ++i) {
        line += "\xC3\xA9";
    }
    const std::string text = line + "\n" + line;
    const PIX_Rect all = Measure(*font, nullptr, text.c_str(), -1, 0);
    EXPECT_EQ(all.right, 600 * Measure(*font, nullptr, "\xC3\xA9").right);
    EXPECT_EQ(all.bottom, 2 * font->GetLineHeight());
}

TEST(FontGdi, TheTextScratchGoesWithTheLastFont) {
    ASSERT_EQ(PIX_CachedFont::GetLiveFontCount(), 0);
    {
        auto font = EditorFont(300);
        Measure(*font, nullptr, "x");
        EXPECT_NE(PIX_CachedFont::GetTextScratch(), nullptr);
    }
    EXPECT_EQ(PIX_CachedFont::GetTextScratch(), nullptr);
    EXPECT_EQ(PIX_CachedFont::GetGlyphScratch(), nullptr);
}

} // namespace
