#pragma once

#include "raster/PIX_Platform.h"

#include <cstddef>
#include <cstdint>

// One pixel, read as 0xAARRGGBB: in memory blue, green, red, alpha. Alpha is straight
// (colours are not premultiplied); 255 is opaque.
using PIX_Pixel32 = uint32_t;

// A rectangle in pixels; right and bottom lie one past the last column and row.
struct PIX_Rect {
    int left;
    int top;
    int right;
    int bottom;
};

// A 32-bit raster bitmap. Row y starts y * GetRowSpan() pixels after GetPixels(), or counted
// from the last stored row for a bottom-up bitmap.
class PIX_IBitmap {
public:
    virtual ~PIX_IBitmap() = default;
    // First stored pixel; null while the bitmap has no pixels.
    virtual PIX_Pixel32* GetPixels() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // Pixels from one stored row to the next.
    virtual int GetRowSpan() const = 0;
    virtual bool IsBottomUp() const = 0;
    // Answers false when nothing changed (same size, or no surface can exist).
    virtual bool SetSize(int width, int height) = 0;
    virtual PIX_DeviceContext GetDeviceContext() const = 0;
    // Hook for bitmap kinds this system does not have: 0 means not supported.
    virtual int QueryExtension(int id, void* data) = 0;

protected:
    PIX_IBitmap() = default;
    PIX_IBitmap(const PIX_IBitmap&) = default;
    PIX_IBitmap& operator=(const PIX_IBitmap&) = default;
};

// Address of row y (0 = top) and the signed step in pixels to the row below it.
inline PIX_Pixel32* PIX_RowAddress(const PIX_IBitmap& bitmap, int y) {
    const ptrdiff_t span = bitmap.GetRowSpan();
    const ptrdiff_t row = bitmap.IsBottomUp() ? bitmap.GetHeight() - 1 - y : y;
    return bitmap.GetPixels() + row * span;
}

inline ptrdiff_t PIX_RowStep(const PIX_IBitmap& bitmap) {
    return bitmap.IsBottomUp() ? -static_cast<ptrdiff_t>(bitmap.GetRowSpan()) : bitmap.GetRowSpan();
}
