#pragma once

#include <cstdint>

class PIX_IBitmap;
class PIX_IFont;

// A rectangle in editor pixels; R and B lie one past the last column and row. Only (0,0,0,0)
// counts as empty. Right and bottom edges compare inclusively when testing for overlap, so a
// rectangle touching another's left or top edge intersects it.
struct IRectangle {
    int32_t L = 0;
    int32_t T = 0;
    int32_t R = 0;
    int32_t B = 0;

    // [any] No lock. The operations below answer new values and own nothing.
    bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
    int Width() const { return R - L; }
    int Height() const { return B - T; }
    bool Intersects(const IRectangle& other) const;
    // The overlap, or the empty rectangle when the two do not intersect.
    IRectangle Intersect(const IRectangle& other) const;
    // Grows this rectangle to cover other; an empty side takes the other as it is.
    void Unite(const IRectangle& other);
    bool Contains(int x, int y) const;
    bool operator==(const IRectangle& other) const;
    bool operator!=(const IRectangle& other) const { return !(*this == other); }
};

// A colour with straight alpha, each channel 0..255.
struct IColour {
    int32_t A = 255;
    int32_t R = 0;
    int32_t G = 0;
    int32_t B = 0;

    // [any] No lock. The packed 0xAARRGGBB word, the low byte of each field.
    uint32_t Packed() const;
};

// How a text is drawn and entered. The cached font is the font cache's; the style only refers
// to it.
struct ITextStyle {
    char fontName[32] = "Verdana";
    int32_t size = 12;
    IColour colour = {255, 0, 0, 0};
    IColour entryBackground = {255, 255, 255, 255};
    IColour entryText = {255, 0, 0, 0};
    int32_t style = 0;       // 0 normal, 1 bold, 2 italic
    int32_t alignment = 1;   // 0 left, 1 centre, 2 right
    int32_t orientation = 0; // degrees
    int32_t quality = 0;     // 0 system default, 1 not antialiased, 2 antialiased, 3 ClearType
    PIX_IFont* cachedFont = nullptr;
};

// A strip of equal frames; the bitmap belongs to the process-wide bitmap cache.
struct IFrameBitmap {
    PIX_IBitmap* bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 0;
    bool framesHorizontal = false;

    // [any] No lock. Size of one frame (integer division).
    int FrameWidth() const;
    int FrameHeight() const;
};

// Buttons and modifier keys of a mouse event.
struct IMouseState {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// How a control's bitmaps are composed: 0 copy weighted by source alpha, 1 plain copy, 2 add,
// 3 dodge (both weighted by source alpha); other methods act as 0.
struct IBlend {
    int32_t method = 0;
    float weight = 1.0f;
};
