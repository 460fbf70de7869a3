#include "raster/PIX_TextLayout.h"

#include <climits>

#include "raster/PIX_IFont.h"

bool PIX_DrawsThroughGdi(int fontFlags, bool hasFont, int textFlags, int lineSpacing, int lineHeight,
                         bool (*underWine)()) {
    const bool direct = (fontFlags & FontPreferNative) != 0 && hasFont &&
                        (textFlags & TextUseForegroundAlpha) == 0 && (fontFlags & FontCacheOnlyFlags) == 0 &&
                        (lineSpacing == 0 || (textFlags & DT_SINGLELINE) != 0) && !underWine();
    return direct || lineHeight >= 256;
}

void PIX_AlignCachedText(const PIX_Rect& rect, int flags, int mw, int mh, int& x, int& y) {
    int64_t px = rect.left;
    int64_t py = rect.top;
    if (flags & DT_CENTER) {
        px = rect.left + (int64_t{rect.right} - mw - rect.left) / 2;
    } else if (flags & DT_RIGHT) {
        px = int64_t{rect.right} - mw;
    }
    if (flags & DT_VCENTER) {
        py += (int64_t{rect.bottom} - mh - rect.top) / 2;
    } else if (flags & DT_BOTTOM) {
        py = int64_t{rect.bottom} - mh;
    }
    x = PIX_ClampToInt(px);
    y = PIX_ClampToInt(py);
}

void PIX_PlaceTextBox(const PIX_Rect& rect, int flags, int tw, int th, int& x, int& y) {
    int64_t px = rect.left;
    int64_t py = rect.top;
    if (flags & DT_RIGHT) {
        px = int64_t{rect.right} - tw;
    } else if (flags & DT_CENTER) {
        px = (int64_t{rect.left} + rect.right - tw) / 2;
    }
    if (flags & DT_BOTTOM) {
        py = int64_t{rect.bottom} - th;
    } else if (flags & DT_VCENTER) {
        py = (int64_t{rect.top} + rect.bottom - th) / 2;
    }
    x = PIX_ClampToInt(px);
    y = PIX_ClampToInt(py);
}

int PIX_GlyphPadding(int lineHeight) {
    return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}

int PIX_ClampToInt(int64_t v) {
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}
