// Rectangles, dirty collection, both paint strategies, bitmap strips, text and the shared caches.
#include "EditorTestPlugin.h"

#include "graphics/GraphicsCaches.h"
#include "raster/PIX_MemBitmap.h"
#include "raster/PIX_SysBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

TEST(Rectangle, EdgeRules) {
    const IRectangle a = {10, 10, 20, 20};
    EXPECT_TRUE(IRectangle().Empty());
    EXPECT_FALSE((IRectangle{5, 5, 5, 5}).Empty());
    // Right and bottom edges touch inclusively, left and top do not.
    EXPECT_TRUE(a.Intersects({20, 10, 30, 20}));
    EXPECT_TRUE(a.Intersects({10, 20, 20, 30}));
    EXPECT_FALSE(a.Intersects({0, 10, 10, 20}));
    EXPECT_FALSE(a.Intersects({10, 0, 20, 10}));
    EXPECT_FALSE(a.Intersects(IRectangle()));
    EXPECT_EQ(a.Intersect({15, 5, 40, 12}), (IRectangle{15, 10, 20, 12}));
    EXPECT_TRUE(a.Intersect({30, 30, 40, 40}).Empty());
    IRectangle area;
    area.Unite(IRectangle());
    EXPECT_TRUE(area.Empty());
    area.Unite(a);
    area.Unite({0, 15, 12, 40});
    EXPECT_EQ(area, (IRectangle{0, 10, 20, 40}));
    EXPECT_TRUE(a.Contains(10, 19));
    EXPECT_FALSE(a.Contains(20, 15));
    EXPECT_FALSE(IRectangle().Contains(0, 0));
    EXPECT_EQ((IColour{128, 255, 1, 2}).Packed(), 0x80FF0102u);
}

struct Painting : ::testing::Test {
    void SetUp() override {
        editor.reset(plugin.MakeEditor());
        for (const IRectangle& r : {IRectangle{0, 0, 720, 174}, IRectangle{10, 10, 50, 50},
                                    IRectangle{40, 40, 80, 80}, IRectangle{200, 10, 240, 50}}) {
            auto* control = new LoggingControl(&plugin, r, -1, log);
            controls.push_back(control);
            editor->AddControl(control);
        }
        editor->PrepareDrawing();
    }
    void DrawAll() {
        IRectangle area;
        editor->CollectDirtyArea(area);
        editor->PaintArea(area);
        editor->PaintArea(area); // draw the redraw requests too
        for (auto* control : controls) {
            control->draws = 0;
        }
    }
    std::vector<int> Draws() const {
        std::vector<int> draws;
        for (auto* control : controls) {
            draws.push_back(control->draws);
        }
        return draws;
    }

    EditorTestPlugin plugin;
    std::unique_ptr<IGraphicsHeadless> editor;
    std::vector<LoggingControl*> controls;
    std::vector<std::string> log;
};

TEST_F(Painting, DirtyAreaAndIdleHook) {
    IRectangle area;
    EXPECT_TRUE(editor->CollectDirtyArea(area));
    EXPECT_EQ(area, (IRectangle{0, 0, 720, 174}));
    DrawAll();

    // A hidden control still widens the area, so what lay beneath it is repainted.
    controls[3]->SetHidden(true);
    area = IRectangle();
    EXPECT_TRUE(editor->CollectDirtyArea(area));
    EXPECT_EQ(area, (IRectangle{200, 10, 240, 50}));
    editor->PaintArea(area);
    editor->PaintArea(area);

    for (int tick = 1; tick <= 42; ++tick) {
        IRectangle quiet;
        EXPECT_FALSE(editor->CollectDirtyArea(quiet));
        EXPECT_TRUE(quiet.Empty());
        EXPECT_EQ(plugin.idleCalls, tick / 21) << tick;
    }
    controls[1]->MarkDirty(false);
    for (int tick = 0; tick < 30; ++tick) {
        IRectangle busy;
        EXPECT_TRUE(editor->CollectDirtyArea(busy));
    }
    EXPECT_EQ(plugin.idleCalls, 2);
}

TEST_F(Painting, StrictDrawsWhatMeetsTheAreaAndCleansEverything) {
    DrawAll();
    // Control 2 starts at x = 40: an area whose right edge is 40 still draws it.
    controls[1]->MarkDirty(false);
    EXPECT_TRUE(editor->PaintArea({0, 60, 40, 70}));
    EXPECT_EQ(Draws(), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_FALSE(controls[1]->IsDirty());
    EXPECT_EQ(editor->copiedAreas.back(), (IRectangle{0, 60, 40, 70}));

    // A host value is drawn on two ticks: the redraw request becomes the next dirty flag.
    controls[3]->SetValueFromHost(0.5);
    controls[3]->SetValueFromHost(0.7);
    EXPECT_TRUE(controls[3]->IsDirty());
    editor->PaintArea(controls[3]->Rect());
    EXPECT_TRUE(controls[3]->IsDirty());
    editor->PaintArea(controls[3]->Rect());
    EXPECT_FALSE(controls[3]->IsDirty());
    // The same value again marks nothing.
    controls[3]->SetValueFromHost(0.7);
    EXPECT_FALSE(controls[3]->IsDirty());
}

TEST_F(Painting, NonStrictDrawsDirtyControlsAndWhatTheyCover) {
    editor->SetStrictDrawing(false);
    editor->PaintArea({0, 0, 1, 1});
    EXPECT_EQ(Draws(), (std::vector<int>{1, 1, 1, 1})); // the background was dirty: all of it
    DrawAll();
    controls[2]->MarkDirty(false);
    editor->PaintArea({0, 0, 1, 1});
    // Control 2 and whatever meets its rectangle: the background and control 1.
    EXPECT_EQ(Draws(), (std::vector<int>{1, 1, 1, 0}));
    EXPECT_FALSE(controls[2]->IsDirty());
    EXPECT_FALSE(controls[1]->IsDirty());
}

// A strip of frames stacked vertically, each frame filled with its 1-based number.
std::unique_ptr<PIX_MemBitmap> NumberedStrip(int frameWidth, int frameHeight, int frames) {
    auto strip = std::make_unique<PIX_MemBitmap>(frameWidth, frameHeight * frames);
    for (int y = 0; y < frameHeight * frames; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            PIX_RowAddress(*strip, y)[x] = 0xFF000000u | static_cast<uint32_t>(y / frameHeight + 1);
        }
    }
    return strip;
}

TEST_F(Painting, FramesAreReadFromTheirOffsetAndClippedToTheDrawRectangle) {
    const auto bitmap = NumberedStrip(40, 40, 65);
    const IFrameBitmap strip = {bitmap.get(), 40, 2600, 65, false};
    PIX_SysBitmap& surface = *editor->Surface();
    editor->PaintArea({0, 0, 720, 174}); // sets the draw rectangle
    for (int frame : {1, 33, 65}) {
        EXPECT_TRUE(editor->DrawBitmapFrame(strip, {100, 100, 140, 140}, frame, nullptr));
        EXPECT_EQ(PIX_RowAddress(surface, 100)[100], 0xFF000000u | static_cast<uint32_t>(frame)) << frame;
        EXPECT_EQ(PIX_RowAddress(surface, 139)[139], 0xFF000000u | static_cast<uint32_t>(frame)) << frame;
    }
    // Frame 33 starts at row (int)(2600 * 32 / 65 + 0.5) = 1280: row 1279 belongs to frame 32.
    EXPECT_TRUE(editor->DrawBitmap(strip, {100, 100, 140, 101}, 0, 1279, nullptr));
    EXPECT_EQ(PIX_RowAddress(surface, 100)[100], 0xFF000020u);
    // The offset is multiplied before it is divided: 11 rows of 22 frames put frame 16 at
    // (int)(11 * 15 / 22 + 0.5) = 8, where dividing first would round 7.4999... down to 7.
    const auto rows = NumberedStrip(1, 1, 22);
    EXPECT_TRUE(editor->DrawBitmapFrame({rows.get(), 1, 11, 22, false}, {100, 100, 101, 101}, 16, nullptr));
    EXPECT_EQ(PIX_RowAddress(surface, 100)[100], 0xFF000009u);

    // Outside the draw rectangle nothing is copied.
    PIX_RowAddress(surface, 5)[5] = 0;
    editor->PaintArea({300, 100, 310, 110});
    EXPECT_TRUE(editor->DrawBitmapFrame(strip, {0, 0, 40, 40}, 2, nullptr));
    EXPECT_EQ(PIX_RowAddress(surface, 5)[5], 0u);
    // Partly inside: only the part within is copied, from the matching source rows.
    editor->PaintArea({0, 20, 720, 174});
    EXPECT_TRUE(editor->DrawBitmap(strip, {0, 0, 40, 40}, 0, 0, nullptr));
    EXPECT_EQ(PIX_RowAddress(surface, 5)[5], 0u);
    EXPECT_EQ(PIX_RowAddress(surface, 20)[5], 0xFF000001u);

    const IFrameBitmap missing;
    EXPECT_FALSE(editor->DrawBitmapFrame(missing, {0, 0, 40, 40}, 1, nullptr));
}

ITextStyle Arial(int alignment, int quality = 3) {
    ITextStyle style;
    std::snprintf(style.fontName, sizeof style.fontName, "%s", "Arial");
    style.size = 13;
    style.alignment = alignment;
    style.quality = quality;
    return style;
}

TEST_F(Painting, MeasuringMovesTheRectangleByAlignment) {
    ITextStyle left = Arial(0);
    IRectangle r = {100, 50, 140, 64};
    ASSERT_TRUE(editor->MeasureText(left, "1000Hz", r));
    const int w = r.R - r.L;
    const int h = r.B - r.T;
    EXPECT_GT(w, 20);
    EXPECT_GT(h, 10);
    EXPECT_EQ(r.L, 100);

    ITextStyle right = Arial(2);
    r = {100, 50, 140, 64};
    ASSERT_TRUE(editor->MeasureText(right, "1000Hz", r));
    EXPECT_EQ(r, (IRectangle{140 - w, 50, 140, 50 + h}));

    ITextStyle centre = Arial(1);
    r = {100, 50, 141, 64};
    ASSERT_TRUE(editor->MeasureText(centre, "1000Hz", r));
    EXPECT_EQ(r.L, 120 - w / 2);
    EXPECT_EQ(r.R, r.L + w);

    // No text: nothing to do, and nothing moves.
    r = {1, 2, 3, 4};
    EXPECT_TRUE(editor->MeasureText(centre, "", r));
    EXPECT_EQ(r, (IRectangle{1, 2, 3, 4}));
}

TEST_F(Painting, TextIsDrawnCentredInItsColourAndNotClipped) {
    editor->PaintArea({0, 0, 720, 174});
    PIX_SysBitmap& surface = *editor->Surface();
    for (int y = 0; y < 174; ++y) {
        for (int x = 0; x < 720; ++x) {
            PIX_RowAddress(surface, y)[x] = 0xFF000000u;
        }
    }
    ITextStyle style = Arial(1);
    style.colour = {255, 255, 255, 192};
    IRectangle box = {300, 100, 310, 114};
    ASSERT_TRUE(editor->DrawStyledText(style, "WWWWWW", box, false));
    int minX = 720, maxX = -1;
    bool exact = false;
    for (int y = 95; y < 125; ++y) {
        for (int x = 200; x < 420; ++x) {
            const uint32_t p = PIX_RowAddress(surface, y)[x];
            if (p != 0xFF000000u) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                exact = exact || p == 0xFFFFFFC0u;
            }
        }
    }
    EXPECT_LT(minX, 300); // wider than its box on both sides
    EXPECT_GE(maxX, 310);
    EXPECT_LE(std::abs((minX + maxX) / 2 - 305), 2);
    EXPECT_TRUE(exact);
}

TEST(Caches, FontsAndArtworkAreSharedByEveryEditor) {
    EditorTestPlugin first;
    EditorTestPlugin second;
    std::unique_ptr<IGraphicsHeadless> a(first.MakeEditor());
    std::unique_ptr<IGraphicsHeadless> b(second.MakeEditor());

    ITextStyle clear = Arial(1, 3);
    ITextStyle plain = Arial(0, 1);
    PIX_IFont* font = a->FontForStyle(clear);
    ASSERT_NE(font, nullptr);
    const int fonts = FontCache::Count();
    EXPECT_EQ(b->FontForStyle(plain), font); // quality is no part of the key
    EXPECT_EQ(plain.cachedFont, font);
    ITextStyle bold = Arial(1);
    bold.style = 1;
    EXPECT_NE(b->FontForStyle(bold), font);
    EXPECT_EQ(FontCache::Count(), fonts + 1);

    const IFrameBitmap knob = a->LoadFrameBitmap(2, "resources/img/knob.png", 65);
    ASSERT_NE(knob.bitmap, nullptr);
    EXPECT_EQ(knob.width, 40);
    EXPECT_EQ(knob.height, 2600);
    const int loads = a->resourceLoads + b->resourceLoads;
    EXPECT_EQ(b->LoadFrameBitmap(2, "other/name.PNG", 65).bitmap, knob.bitmap); // the id is the key
    EXPECT_EQ(a->resourceLoads + b->resourceLoads, loads);
    // Names that are not PNG files are refused, and nothing is cached for them.
    EXPECT_EQ(b->LoadFrameBitmap(3, "resources/img/stages.bmp", 2).bitmap, nullptr);
    EXPECT_EQ(BitmapCache::Find(3), nullptr);
    EXPECT_NE(b->LoadFrameBitmap(3, "resources/img/stages.png", 2).bitmap, nullptr);
}

} // namespace
