// GDI fonts: creation, metrics and the characters drawn for the glyph cache.
#include <windows.h>

#include <cstring>

#include "raster/PIX_Blend.h"
#include "raster/PIX_FontHandle.h"
#include "raster/PIX_GlyphRasteriser.h"
#include "raster/PIX_IBitmap.h"

PIX_FontHandle PIX_CreateFont(const PIX_FontRequest& request) {
    return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                       request.italic ? TRUE : FALSE, FALSE, FALSE, 0, 0, 0,
                       static_cast<DWORD>(request.quality), 0, request.face);
}

void PIX_DeleteFont(PIX_FontHandle font) {
    if (font != nullptr) {
        DeleteObject(font);
    }
}

const char* PIX_FontFaceName(PIX_FontHandle font, char* out, int capacity) {
    if (out == nullptr || capacity <= 0) {
        return out;
    }
    out[0] = 0;
    HDC dc = font != nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    if (dc == nullptr) {
        return out;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    if (GetTextFaceA(dc, capacity, out) == 0) {
        out[0] = 0;
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return out;
}

void PIX_PrepareGlyphScratch(PIX_IBitmap* scratch) {
    HDC dc = scratch != nullptr ? scratch->GetDeviceContext() : nullptr;
    if (dc == nullptr) {
        return;
    }
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
}

int PIX_MeasureLineHeight(PIX_FontHandle font, PIX_IBitmap* scratch) {
    HDC dc = scratch != nullptr ? scratch->GetDeviceContext() : nullptr;
    if (dc == nullptr || font == nullptr) {
        return 0;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics;
    const bool ok = GetTextMetricsA(dc, &metrics) != 0;
    SelectObject(dc, previous);
    return ok ? metrics.tmHeight : 0;
}

void PIX_RasteriseGlyph(PIX_FontHandle font, PIX_IBitmap* scratch, uint16_t ch, int padding, int& width,
                        int& height) {
    width = 0;
    height = 0;
    HDC dc = scratch != nullptr ? scratch->GetDeviceContext() : nullptr;
    if (dc == nullptr) {
        return;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    const wchar_t text[1] = {static_cast<wchar_t>(ch)};
    RECT box = {0, 0, 0, 0};
    DrawTextW(dc, text, 1, &box, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    width = box.right;
    height = box.bottom;
    GdiFlush();
    PIX_FillArea(scratch, 0, 0, width + 2 * padding, height, 0, 1.0f, BlendCopy);
    box.left += padding;
    DrawTextW(dc, text, 1, &box, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    // The pixels are read directly next.
    GdiFlush();
    SelectObject(dc, previous);
}
