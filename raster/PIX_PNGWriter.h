#pragma once

#include "raster/PIX_IBitmap.h"

// [any] No lock. Writes bitmap as an 8-bit RGBA PNG file at path (replacing it); false when the
// bitmap is empty or the file could not be written whole. For tools and tests: the plug-in
// itself writes no files.
bool PIX_WritePNGFile(const PIX_IBitmap& bitmap, const char* path);
