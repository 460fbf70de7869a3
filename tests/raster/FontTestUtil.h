#pragma once

#include <algorithm>
#include <memory>
#include <ostream>
#include <vector>

#include "raster/PIX_CachedFont.h"
#include "raster/PIX_IBitmap.h"

// The editor's value-text face: "Arial", 13 pixels cell height, ClearType.
inline PIX_FontHandle MakeSystemFont(int height = 13, int quality = PIX_QualityClearType,
                                     const char* face = "Arial", int weight = 400) {
    return PIX_CreateFont({face, height, 0, weight, false, quality});
}

// A font that draws from its glyph cache on every platform (no FontPreferNative).
inline std::unique_ptr<PIX_CachedFont> MakeCachedFont(int flags = FontOwnsHandle, int height = 13,
                                                      int quality = PIX_QualityClearType) {
    auto font = std::make_unique<PIX_CachedFont>();
    font->AttachFont(MakeSystemFont(height, quality), flags);
    return font;
}

inline void Fill(PIX_IBitmap& bitmap, PIX_Pixel32 colour) {
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        PIX_Pixel32* row = PIX_RowAddress(bitmap, y);
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            row[x] = colour;
        }
    }
}

inline std::vector<PIX_Pixel32> PixelsOf(const PIX_IBitmap& bitmap) {
    std::vector<PIX_Pixel32> pixels;
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        const PIX_Pixel32* row = PIX_RowAddress(bitmap, y);
        pixels.insert(pixels.end(), row, row + bitmap.GetWidth());
    }
    return pixels;
}

// Bounding box of the pixels that differ from the background; empty (0, 0, 0, 0) when none.
inline PIX_Rect InkBox(const PIX_IBitmap& bitmap, PIX_Pixel32 background) {
    PIX_Rect box = {bitmap.GetWidth(), bitmap.GetHeight(), 0, 0};
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        const PIX_Pixel32* row = PIX_RowAddress(bitmap, y);
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            if (row[x] != background) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
            }
        }
    }
    return box.right == 0 ? PIX_Rect{0, 0, 0, 0} : box;
}

// Measures as the editor does: rectangle (0, 0, 0, 0), DT_CALCRECT.
inline PIX_Rect Measure(PIX_IFont& font, PIX_IBitmap* bitmap, const char* text, int length = -1,
                        int flags = DT_NOCLIP) {
    PIX_Rect rect = {0, 0, 0, 0};
    font.RenderText(bitmap, text, length, rect, flags | DT_CALCRECT);
    return rect;
}

inline bool operator==(const PIX_Rect& a, const PIX_Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator!=(const PIX_Rect& a, const PIX_Rect& b) {
    return !(a == b);
}

inline std::ostream& operator<<(std::ostream& out, const PIX_Rect& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
