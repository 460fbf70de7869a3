// Value texts drawn as the editor draws them, written as PNG files under the build tree's
// snapshots/ folder for a person to look at.
#include <gtest/gtest.h>

#include <string>

#include "FontTestUtil.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_PNG.h"
#include "raster/PIX_PNGWriter.h"
#include "raster/PIX_SysBitmap.h"

#ifdef _WIN32
#include "raster/win/PIX_Wine.h"
#endif

namespace {

constexpr PIX_Pixel32 kPanel = 0xFF23262B;
constexpr PIX_Pixel32 kValueText = 0xFFFFFFC0;
const char* const kTexts[] = {"1000Hz", "Triangle", "50:50", "\\100%/", "1/16.", "ON", "0.25Hz"};

std::string SnapshotPath(const char* name) {
    return std::string(KSP_SNAPSHOT_DIR) + "/" + name;
}

// The editor's value-text font: the face it asks for, with the flags it attaches.
std::unique_ptr<PIX_CachedFont> EditorFont() {
    auto font = std::make_unique<PIX_CachedFont>();
    font->AttachFont(MakeSystemFont(), FontOwnsHandle | FontPreferNative);
    font->SetForeground(kValueText);
    return font;
}

// As the knobs (40 pixels wide) and the sync switch (20) draw their value: centred in the
// text area, from its top, unclipped.
void DrawValue(PIX_IFont& font, PIX_IBitmap& surface, const char* text, int x, int top, int width = 40) {
    PIX_Rect area = {x, top, x + width, top + 14};
    font.RenderText(&surface, text, -1, area, DT_NOCLIP | DT_CENTER);
}

PIX_Rect InkIn(const PIX_IBitmap& bitmap, PIX_Pixel32 background, const PIX_Rect& area) {
    PIX_MemBitmap part(area.right - area.left, area.bottom - area.top);
    PIX_CompositeRect(&part, &bitmap, 0, 0, &area, 1.0f, BlendCopy);
    PIX_Rect ink = InkBox(part, background);
    return {ink.left + area.left, ink.top + area.top, ink.right + area.left, ink.bottom + area.top};
}

TEST(TextSnapshot, ValueTextsAreCentredUnderTheirKnobs) {
    auto font = EditorFont();
    PIX_SysBitmap surface(580, 40);
    Fill(surface, kPanel);
    int x = 20;
    for (const char* text : kTexts) {
        DrawValue(*font, surface, text, x, 13);
        x += 80;
    }
    ASSERT_TRUE(PIX_WritePNGFile(surface, SnapshotPath("text.png").c_str()));

#ifdef _WIN32
    // Under Wine the editor's fonts draw from the glyph cache.
    EXPECT_EQ(font->GetRasterisedCount() > 0, PIX_RunningUnderWine());
#endif
    x = 20;
    for (const char* text : kTexts) {
        const PIX_Rect size = Measure(*font, &surface, text);
        const PIX_Rect ink = InkIn(surface, kPanel, {x - 20, 0, x + 60, 40});
        EXPECT_GT(ink.right, ink.left) << text;
        // Centred on the area's middle (x + 20) within a pixel or two of side bearing.
        EXPECT_NEAR((ink.left + ink.right) / 2.0, x + 20, 2.0) << text;
        EXPECT_LE(ink.right - ink.left, size.right + 1) << text;
        // Drawn from the area's top, within one line.
        EXPECT_GE(ink.top, 13) << text;
        EXPECT_LE(ink.bottom, 13 + font->GetLineHeight()) << text;
        x += 80;
    }
}

TEST(TextSnapshot, ValueTextsOnTheEditorArtwork) {
    PIX_ModuleHandle module = nullptr;
#ifdef _WIN32
    module = GetModuleHandleA(nullptr);
#endif
    std::unique_ptr<PIX_MemBitmap> back(PIX_ReadPNGResource(module, 1));
    std::unique_ptr<PIX_MemBitmap> knob(PIX_ReadPNGResource(module, 2));
    ASSERT_NE(back, nullptr);
    ASSERT_NE(knob, nullptr);
    PIX_SysBitmap surface(back->GetWidth(), back->GetHeight());
    PIX_CompositeRect(&surface, back.get(), 0, 0, nullptr, 1.0f, BlendCopy);

    auto font = EditorFont();
    const int knobs[] = {96, 170, 244, 334, 488, 562, 652};
    const int frames[] = {17, 33, 49, 1, 65, 40, 33};
    for (int i = 0; i < 7; ++i) {
        const PIX_Rect frame = {0, (frames[i] - 1) * 40, 40, frames[i] * 40};
        PIX_CompositeRect(&surface, knob.get(), knobs[i], 100, &frame, 1.0f, BlendUseSourceAlpha);
        DrawValue(*font, surface, kTexts[i], knobs[i], 148);
    }
    DrawValue(*font, surface, "OFF", 401, 148, 20);
    ASSERT_TRUE(PIX_WritePNGFile(surface, SnapshotPath("text-editor.png").c_str()));

    // Each value lies in its knob's column band under the knob.
    for (int i = 0; i < 7; ++i) {
        const PIX_Rect ink = InkIn(surface, 0, {knobs[i] - 15, 146, knobs[i] + 55, 164});
        EXPECT_GT(ink.right, ink.left) << kTexts[i];
    }
}

} // namespace
