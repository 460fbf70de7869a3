// Two editors on their own threads draw with one font from the process-wide cache: making the
// font, its colours, the glyphs it caches on first use and the scratch bitmaps all fonts share
// must serve one text at a time. Built with ThreadSanitizer by the tsan preset, where any race
// fails the run.
#include "platform/headless/IGraphicsHeadless.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_SysBitmap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 40;
constexpr int kRounds = 200;

// A size no other test uses, so that the font is made while both threads want it.
ITextStyle SharedStyle(IColour colour) {
    ITextStyle style;
    style.size = 17;
    style.alignment = 0;
    style.colour = colour;
    return style;
}

// Measures and draws texts that bring new characters into the font as they go, until both
// editors have drawn kRounds texts, so that the two threads' texts overlap. The counts are
// relaxed: they must not order one thread's drawing before the other's.
void DrawTexts(IGraphicsHeadless& editor, ITextStyle& style, std::atomic<int>& drawn,
               const std::atomic<int>& drawnByOther) {
    const char* const texts[] = {"1000Hz", "R\xC3\xA9sonance", "\xE2\x82\xAC 12,5 %",
                                 "\xC3\xBC\xC3\xB1 -3 dB"};
    for (int round = 0; round < kRounds || drawnByOther.load(std::memory_order_relaxed) < kRounds; ++round) {
        const std::string text = texts[round % 4] + std::to_string(round % 1000);
        IRectangle box = {4, 4, 4 + kWidth / 2, 4 + kHeight / 2};
        editor.MeasureText(style, text.c_str(), box);
        editor.DrawStyledText(style, text.c_str(), box, false);
        drawn.fetch_add(1, std::memory_order_relaxed);
    }
}

// True when some pixel was drawn and none carries a channel outside mask.
bool InkedOnlyIn(const PIX_SysBitmap& surface, uint32_t mask) {
    bool inked = false;
    for (int y = 0; y < surface.GetHeight(); ++y) {
        for (int x = 0; x < surface.GetWidth(); ++x) {
            const uint32_t colour = PIX_RowAddress(surface, y)[x] & 0x00FFFFFFu;
            if ((colour & ~mask) != 0) {
                return false;
            }
            inked = inked || colour != 0;
        }
    }
    return inked;
}

TEST(SharedFont, EditorsOnTwoThreadsDrawTextWithOneFontEachInItsColour) {
    IGraphicsHeadless red(nullptr, kWidth, kHeight, 25);
    IGraphicsHeadless blue(nullptr, kWidth, kHeight, 25);
    for (IGraphicsHeadless* editor : {&red, &blue}) {
        ASSERT_TRUE(editor->PrepareDrawing());
        PIX_FillArea(editor->Surface(), 0, 0, kWidth, kHeight, 0xFF000000u, 1.0f, BlendCopy);
    }
    ITextStyle redStyle = SharedStyle({255, 255, 0, 0});
    ITextStyle blueStyle = SharedStyle({255, 0, 0, 255});
    std::atomic<int> redDrawn{0};
    std::atomic<int> blueDrawn{0};

    std::thread other([&] { DrawTexts(blue, blueStyle, blueDrawn, redDrawn); });
    DrawTexts(red, redStyle, redDrawn, blueDrawn);
    other.join();

    ASSERT_NE(redStyle.cachedFont, nullptr);
    EXPECT_EQ(redStyle.cachedFont, blueStyle.cachedFont);
    EXPECT_TRUE(InkedOnlyIn(*red.Surface(), 0x00FF0000u));
    EXPECT_TRUE(InkedOnlyIn(*blue.Surface(), 0x000000FFu));
}

} // namespace
