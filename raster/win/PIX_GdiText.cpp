// Text drawn by GDI itself: into a bitmap's own device context, or through the text scratch
// for bitmaps that have none. Also the test for Wine, whose GDI text the cache replaces.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "raster/PIX_Blend.h"
#include "raster/PIX_CachedFont.h"
#include "raster/PIX_SysBitmap.h"
#include "raster/PIX_TextLayout.h"
#include "raster/PIX_Utf8.h"
#include "raster/win/PIX_Wine.h"

bool PIX_RunningUnderWine() {
    static int underWine = -1;
    if (underWine < 0) {
        HKEY key = nullptr;
        underWine = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) == ERROR_SUCCESS ? 1 : 0;
        if (key != nullptr && underWine == 1) {
            RegCloseKey(key);
        }
    }
    return underWine == 1;
}

namespace {

// Conversions of fewer characters than kHeapThreshold use the stack.
constexpr int kStackCharacters = 1024;
constexpr int kHeapThreshold = 1000;

// The text as DrawText takes it: UTF-16 when it holds UTF-8 sequences that convert cleanly,
// its bytes (ANSI) otherwise. Only length bytes are read when length is not negative.
class GdiText {
public:
    GdiText(const char* text, int length) : text(text), length(length) {
        if (!PIX_HasUtf8Sequence(text, length)) {
            return;
        }
        const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
        if (needed <= 0) {
            return;
        }
        wchar_t* buffer = stackBuffer;
        if (needed >= kHeapThreshold) {
            heapBuffer =
                static_cast<wchar_t*>(std::malloc((static_cast<size_t>(needed) + 32) * sizeof(wchar_t)));
            buffer = heapBuffer;
        }
        if (buffer == nullptr) {
            return;
        }
        const int converted =
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, buffer, needed);
        if (converted > 0) {
            wide = buffer;
            // A conversion up to the terminating zero counts the zero too.
            wideLength = length < 0 ? converted - 1 : converted;
        }
    }
    ~GdiText() { std::free(heapBuffer); }
    GdiText(const GdiText&) = delete;
    GdiText& operator=(const GdiText&) = delete;

    int Draw(HDC dc, RECT& box, UINT format) const {
        if (wide != nullptr) {
            return DrawTextW(dc, wide, wideLength, &box, format);
        }
        return DrawTextA(dc, text, length, &box, format);
    }

private:
    const char* text;
    int length;
    wchar_t stackBuffer[kStackCharacters];
    wchar_t* heapBuffer = nullptr;
    const wchar_t* wide = nullptr;
    int wideLength = 0;
};

COLORREF ColourOf(PIX_Pixel32 pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The font's text colour, background mode and (when opaque) background colour on a DC.
void SelectTextColours(HDC dc, PIX_Pixel32 foreground, PIX_Pixel32 background, int backgroundMode) {
    SetTextColor(dc, ColourOf(foreground));
    SetBkMode(dc, backgroundMode);
    if (backgroundMode == BackgroundOpaque) {
        SetBkColor(dc, ColourOf(background));
    }
}

} // namespace

int PIX_CachedFont::RenderThroughGdi(PIX_IBitmap* bitmap, const char* text, int length, PIX_Rect& rect,
                                     int textFlags) {
    const GdiText source(text, length);
    const UINT format = static_cast<UINT>(textFlags & ~TextUseForegroundAlpha) | DT_NOPREFIX;
    const bool measuring = (textFlags & DT_CALCRECT) != 0;

    HDC dc = bitmap != nullptr ? bitmap->GetDeviceContext() : nullptr;
    if (dc != nullptr) {
        HGDIOBJ previous = SelectObject(dc, font);
        SelectTextColours(dc, foreground, background, backgroundMode);
        RECT box = {rect.left, rect.top, rect.right, rect.bottom};
        const int result = source.Draw(dc, box, format);
        if (measuring) {
            rect = {static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                    static_cast<int>(box.bottom)};
        }
        SelectObject(dc, previous);
        GdiFlush();
        return result;
    }

    // No device context: measure on the text scratch, draw there over a copy of the
    // destination and copy the result back with the font's weight.
    if (textScratch == nullptr) {
        textScratch = new (std::nothrow) PIX_SysBitmap(4, 4);
    }
    if (textScratch != nullptr && (textScratch->GetWidth() < 4 || textScratch->GetHeight() < 4)) {
        textScratch->SetSize(std::max(textScratch->GetWidth(), 4), std::max(textScratch->GetHeight(), 4));
    }
    HDC scratchDc = textScratch != nullptr ? textScratch->GetDeviceContext() : nullptr;
    if (scratchDc == nullptr) {
        return 0;
    }
    HGDIOBJ previous = SelectObject(scratchDc, font);
    const UINT unaligned = format & ~static_cast<UINT>(TextAlignmentFlags | DT_CALCRECT);
    RECT extent = {0, 0, 0, 0};
    const int result = source.Draw(scratchDc, extent, unaligned | DT_CALCRECT);
    const int tw = extent.right;
    const int th = extent.bottom;
    if (measuring) {
        rect.right = PIX_ClampToInt(int64_t{rect.left} + tw);
        rect.bottom = PIX_ClampToInt(int64_t{rect.top} + th);
    } else if (bitmap != nullptr) {
        const bool noClip = (textFlags & DT_NOCLIP) != 0;
        int x = 0;
        int y = 0;
        PIX_PlaceTextBox(rect, textFlags, tw, th, x, y);
        int64_t right = std::min<int64_t>(int64_t{x} + tw, bitmap->GetWidth());
        int64_t bottom = std::min<int64_t>(int64_t{y} + th, bitmap->GetHeight());
        if (!noClip) {
            right = std::min<int64_t>(right, rect.right);
            bottom = std::min<int64_t>(bottom, rect.bottom);
        }
        const int64_t minLeft = noClip ? 0 : std::max(rect.left, 0);
        const int64_t minTop = noClip ? 0 : std::max(rect.top, 0);
        int64_t left = std::max<int64_t>(x, minLeft);
        int64_t top = std::max<int64_t>(y, minTop);
        const int64_t cutLeft = left - x;
        const int64_t cutTop = top - y;
        if (left < right && top < bottom) {
            const int64_t widen = std::min<int64_t>(left, PIX_GlyphPadding(lineHeight));
            left -= widen;
            const int boxWidth = static_cast<int>(right - left);
            const int boxHeight = static_cast<int>(bottom - top);
            if (textScratch->GetWidth() < boxWidth || textScratch->GetHeight() < boxHeight) {
                SelectObject(scratchDc, previous);
                textScratch->SetSize(boxWidth, boxHeight);
                previous = SelectObject(scratchDc, font);
            }
            if (textScratch->GetPixels() != nullptr && textScratch->GetWidth() >= boxWidth &&
                textScratch->GetHeight() >= boxHeight) {
                const PIX_Rect area = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                                       static_cast<int>(bottom)};
                PIX_CompositeRect(textScratch, bitmap, 0, 0, &area, 1.0f, BlendCopy);
                SelectTextColours(scratchDc, foreground, background, backgroundMode);
                const int originX = static_cast<int>(widen - cutLeft);
                const int originY = static_cast<int>(-cutTop);
                RECT box = {originX, originY, originX + tw, originY + th};
                source.Draw(scratchDc, box, unaligned);
                GdiFlush();
                const PIX_Rect drawn = {0, 0, boxWidth, boxHeight};
                PIX_CompositeRect(bitmap, textScratch, area.left, area.top, &drawn, weight, BlendCopy);
            }
        }
    }
    SelectObject(scratchDc, previous);
    return result;
}
