#pragma once

#include "raster/PIX_MemBitmap.h"
#include "raster/PIX_Platform.h"

// Decodes a PNG stream held in memory into a new bitmap of straight-alpha 0xAARRGGBB pixels
// (alpha 255 for images without transparency). Answers null for anything that is not a
// complete, decodable PNG or when memory runs out. The caller owns the bitmap.
PIX_MemBitmap* PIX_ReadPNGFromBuffer(const void* data, int length);

// Decodes the PNG resource with the given id of the module (resource type "PNG" on Windows;
// on Linux the images are compiled into the library and the module is ignored).
PIX_MemBitmap* PIX_ReadPNGResource(PIX_ModuleHandle module, int id);
