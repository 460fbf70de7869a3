#pragma once

#include <cstddef>
#include <cstdint>

// Steps that turn a character drawn white on black into the coverage map the font caches.
// Pixel areas are given by their first row and the step in pixels to the next row (negative for rows
// stored bottom-up); maps are bytes, row after row, 0 empty to 255 full.

// Softens the width x height area in place: each pixel becomes half itself plus its
// neighbours' shares (per byte, by shifts and masks). Areas under 2 x 2 stay as they are.
void PIX_SoftenGlyphArea(uint32_t* row0, ptrdiff_t step, int width, int height);

// Copies the red byte of each pixel of the boxWidth x height area into map (inverted when
// asked), then drops the empty columns at both sides that lie outside the pen's cell
// [inkLeft, inkRight). map must hold boxWidth x height bytes. Answers the map width; left
// receives the first column kept.
int PIX_ExtractCoverage(const uint32_t* row0, ptrdiff_t step, int boxWidth, int height, int inkLeft,
                        int inkRight, bool invert, uint8_t* map, int& left);

// Turns the map a quarter turn: width and height swap. Without bottomUp the top of a
// character ends up on the right (text reads downwards), with it on the left. temp must hold
// width x height bytes.
void PIX_RotateGlyphMap(uint8_t* map, int& width, int& height, bool bottomUp, uint8_t* temp);

// Above 130 becomes 255, everything else 0.
void PIX_ThresholdGlyphMap(uint8_t* map, int width, int height);

// On a thresholded map, empty bytes next to full ones become 128: for a shadow those right
// of, below or diagonally below-right of a full byte; for an outline those beside, above or
// below one.
void PIX_AddGlyphShadow(uint8_t* map, int width, int height);
void PIX_AddGlyphOutline(uint8_t* map, int width, int height);
