#pragma once

#include <cstdint>

#include "raster/PIX_IBitmap.h"

// How a coverage map's bytes turn into drawing weights.
enum class PIX_CoverageKind {
    AntiAliased, // every byte c weighs the pixel by c
    Mono,        // every drawn byte draws the text colour
    Effects,     // full bytes draw the text colour, 128 the shadow or outline colour
};

// Weight of a glyph's pixels: trunc(weight x 256), limited to +-65536 (every larger weight
// draws alike, since each coverage byte is limited to 256 afterwards) and 0 for NaN, so that
// no product can overflow.
int PIX_GlyphWeight(float weight);

// Draws columns x rows bytes of a coverage map (rows mapSpan bytes apart) onto destination
// pixels (rows dstStep pixels apart, negative for bottom-up storage) with the blend operator
// op (the low byte of a blend mode; unknown operators draw nothing) at the given weight. Each
// pixel runs the constant-weight form of the operator with source pixel (red, green, blue of
// the colour, alpha 255).
void PIX_CompositeCoverage(PIX_Pixel32* dstRow0, ptrdiff_t dstStep, const uint8_t* map, int mapSpan,
                           int columns, int rows, PIX_CoverageKind kind, PIX_Pixel32 foreground,
                           PIX_Pixel32 effect, int op, float weight);
