#pragma once

#include <cstdint>

#include "raster/PIX_FontHandle.h"

class PIX_IBitmap;

// What the glyph cache needs from the system's text renderer: characters drawn white on
// black into the shared glyph scratch bitmap, and the font's line height.

// Makes the scratch draw white text on an opaque black background.
void PIX_PrepareGlyphScratch(PIX_IBitmap* scratch);

// The font's line height in pixels (GDI's tmHeight); 0 when it cannot be read.
int PIX_MeasureLineHeight(PIX_FontHandle font, PIX_IBitmap* scratch);

// Measures one character (width: its advance, height: the line height), clears the
// (width + 2 x padding) x height box at the scratch's origin to 0 and draws the character
// white into it with its pen at (padding, 0).
void PIX_RasteriseGlyph(PIX_FontHandle font, PIX_IBitmap* scratch, uint16_t ch, int padding, int& width,
                        int& height);
