#pragma once

#include "raster/PIX_Platform.h"

// A system font: a GDI font on Windows; elsewhere a FreeType face found through fontconfig,
// sized and measured the way GDI sizes and measures a font.
#ifdef _WIN32
using PIX_FontHandle = HFONT;
#else
struct PIX_FreeTypeFont;
using PIX_FontHandle = PIX_FreeTypeFont*;
#endif

// Font qualities, GDI's values.
constexpr int PIX_QualityDefault = 0;
constexpr int PIX_QualityNonAntialiased = 3;
constexpr int PIX_QualityAntialiased = 4;
constexpr int PIX_QualityClearType = 5;

struct PIX_FontRequest {
    const char* face; // face name; the system's nearest face stands in when it is missing
    int height;       // > 0: cell height (ascent + descent), < 0: character height, in pixels
    int escapement;   // text angle in tenths of a degree (GDI only; elsewhere text is horizontal)
    int weight;       // 400 normal, 700 bold
    bool italic;
    int quality; // one of the qualities above
};

// A new font, or none when no face can be found. The caller deletes it with PIX_DeleteFont
// (or hands it to a font that owns it). Nothing is written to stdout or stderr. Not locked:
// without GDI the fonts share FreeType and the font configuration, so fonts are made and
// deleted as they are used, one thread at a time (see PIX_CachedFont.h).
PIX_FontHandle PIX_CreateFont(const PIX_FontRequest& request);
void PIX_DeleteFont(PIX_FontHandle font);

// Family name of the face the system chose for the font (it differs from the requested face
// when that one is missing), cut to capacity; empty when unknown. Answers out.
const char* PIX_FontFaceName(PIX_FontHandle font, char* out, int capacity);
