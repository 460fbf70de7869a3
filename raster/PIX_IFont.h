#pragma once

#include "raster/PIX_FontHandle.h"
#include "raster/PIX_IBitmap.h"

// Font flags, given to AttachFont.
constexpr int FontVertical = 0x1;       // maps turned a quarter turn, text advances downwards
constexpr int FontBottomUp = 0x2;       // with FontVertical: turned the other way, text advances upwards
constexpr int FontFixedCache = 0x4;     // 0-127 cached at once; 128 and above never drawn from the cache
constexpr int FontBlur = 0x10;          // glyphs softened before they are stored
constexpr int FontInvert = 0x20;        // coverage stored as 255 - value
constexpr int FontMono = 0x40;          // coverage thresholded: above 130 full, else empty
constexpr int FontShadow = 0x80;        // thresholded, with a shadow to the lower right
constexpr int FontOutline = 0x100;      // thresholded, with an outline (not with FontShadow)
constexpr int FontOwnsHandle = 0x200;   // the font deletes its system font when replaced or destroyed
constexpr int FontPreferNative = 0x400; // draw with GDI directly where nothing else is needed
// The flags that need the glyph cache.
constexpr int FontCacheOnlyFlags = 0x1F7;

// Text flags of RenderText: the DrawText format flags (Windows' values) and our own.
#ifndef _WIN32
constexpr int DT_CENTER = 0x1;
constexpr int DT_RIGHT = 0x2;
constexpr int DT_VCENTER = 0x4;
constexpr int DT_BOTTOM = 0x8;
constexpr int DT_SINGLELINE = 0x20;
constexpr int DT_NOCLIP = 0x100;
constexpr int DT_CALCRECT = 0x400;
constexpr int DT_NOPREFIX = 0x800;
#endif
// The alignment bits DT_CENTER, DT_RIGHT, DT_VCENTER, DT_BOTTOM.
constexpr int TextAlignmentFlags = 0xF;
// Weight the drawing by the text colour's alpha, through the glyph cache.
constexpr int TextUseForegroundAlpha = 0x40000000;

// Background modes (GDI's values).
constexpr int BackgroundTransparent = 1;
constexpr int BackgroundOpaque = 2;

// A font that draws UTF-8 text into raster bitmaps.
class PIX_IFont {
public:
    virtual ~PIX_IFont() = default;
    // Takes a system font (owned with FontOwnsHandle) and discards every cached glyph.
    virtual void AttachFont(PIX_FontHandle font, int flags) = 0;
    // Setters answer the previous value.
    virtual PIX_Pixel32 SetForeground(PIX_Pixel32 colour) = 0;
    virtual PIX_Pixel32 SetBackground(PIX_Pixel32 colour) = 0;
    virtual PIX_Pixel32 SetEffectColour(PIX_Pixel32 colour) = 0;
    virtual int SetBackgroundMode(int mode) = 0;
    // Blend mode word and weight of the compositing raster operations.
    virtual void SetBlend(int mode, float weight) = 0;
    // Draws length bytes of text (negative: up to the terminating zero) into rect, or with
    // DT_CALCRECT measures it (rect's right and bottom are set; bitmap may then be none).
    // Answers the text's extent across the lines (height for horizontal text), 0 when
    // nothing was done.
    virtual int RenderText(PIX_IBitmap* bitmap, const char* text, int length, PIX_Rect& rect, int flags) = 0;
    virtual PIX_Pixel32 GetForeground() const = 0;
    virtual PIX_FontHandle GetFontHandle() const = 0;
    virtual int GetLineHeight() const = 0;

protected:
    PIX_IFont() = default;
    PIX_IFont(const PIX_IFont&) = default;
    PIX_IFont& operator=(const PIX_IFont&) = default;
};
