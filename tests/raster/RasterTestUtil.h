#pragma once

#include "raster/PIX_MemBitmap.h"

#include <climits>
#include <memory>

inline std::unique_ptr<PIX_MemBitmap> Filled(int width, int height, PIX_Pixel32 value) {
    auto b = std::make_unique<PIX_MemBitmap>(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < b->GetRowSpan(); ++x) {
            PIX_RowAddress(*b, y)[x] = value;
        }
    }
    return b;
}

// Each pixel names its own position: 0xFF0000 | y << 8 | x.
inline std::unique_ptr<PIX_MemBitmap> Numbered(int width, int height) {
    auto b = Filled(width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            PIX_RowAddress(*b, y)[x] = 0xFF000000u | static_cast<PIX_Pixel32>(y << 8 | x);
        }
    }
    return b;
}

inline PIX_Pixel32 At(const PIX_IBitmap& b, int x, int y) {
    return PIX_RowAddress(b, y)[x];
}

// True when every pixel of the bitmap, row padding included, still holds value.
inline bool AllEqual(const PIX_IBitmap& b, PIX_Pixel32 value) {
    for (int y = 0; y < b.GetHeight(); ++y) {
        for (int x = 0; x < b.GetRowSpan(); ++x) {
            if (At(b, x, y) != value) {
                return false;
            }
        }
    }
    return true;
}
