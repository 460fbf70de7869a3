#pragma once

#include "raster/PIX_IBitmap.h"

// Blend mode word: the low byte picks the operator, bit 16 weights each pixel by the source
// alpha; all other bits are ignored. Operators 0xF0-0xFF copy one byte of each source pixel
// into one byte of the destination pixel: bits 2-3 name the destination byte and bits 0-1
// the source byte (0 blue, 1 green, 2 red, 3 alpha).
constexpr int BlendCopy = 0;
constexpr int BlendAdd = 1;
constexpr int BlendDodge = 2;
constexpr int BlendMultiply = 3;
constexpr int BlendOverlay = 4;
constexpr int BlendHsvShift = 5;
constexpr int BlendChannelCopy = 0xF0;
constexpr int BlendUseSourceAlpha = 0x10000;

// Composites the source rectangle (the whole source when srcRect is null) of src onto dest
// with its top-left corner at (x, y). Weight 1.0 is full strength, 0 draws nothing.
void PIX_CompositeRect(PIX_IBitmap* dest, const PIX_IBitmap* src, int x, int y, const PIX_Rect* srcRect,
                       float weight, int mode);

// Fills or blends the w x h rectangle at (x, y) of dest with one colour.
void PIX_FillArea(PIX_IBitmap* dest, int x, int y, int w, int h, PIX_Pixel32 colour, float weight, int mode);

// The integer weight of the operators: trunc(weight * 256), 256 for 1.0. Results beyond
// +-limit are limited to it and NaN counts as 0, so no operator can overflow.
int PIX_IntegerWeight(double weight, int limit = 256);

// One pixel of an operator at constant weight w (the operators' rows without source alpha):
// dest pixel, source pixel, weight. BlendCopy leaves the pixel alone for w <= 0.
using PIX_PixelOperator = void (*)(PIX_Pixel32* dest, PIX_Pixel32 src, int w);

// The pixel operator for operator byte 0-5 (BlendCopy .. BlendHsvShift), null for others.
PIX_PixelOperator PIX_GetPixelOperator(int op);
