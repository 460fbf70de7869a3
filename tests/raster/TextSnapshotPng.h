#pragma once

#include "raster/PIX_IBitmap.h"

// Writes the bitmap as an 8-bit RGBA PNG file, so that a person can look at what was drawn.
bool WriteSnapshotPNG(const PIX_IBitmap& bitmap, const char* path);
