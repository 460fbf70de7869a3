#pragma once

#include <cstdint>
#include <vector>

#include "raster/PIX_IBitmap.h"

// Test images encoded with libpng's writer.
struct TestImage {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = 6;
    bool interlaced = false;
    // Rows exactly as PNG stores them (packed samples, 16-bit samples big-endian).
    std::vector<std::vector<uint8_t>> rows;
    // Palette as red, green, blue triples; transparency entries for the tRNS chunk.
    std::vector<uint8_t> palette;
    std::vector<uint8_t> paletteAlpha;
    // Grey or colour value marked transparent by tRNS (grey: red only), when set.
    bool transparentColour = false;
    uint16_t transparentRed = 0;
    uint16_t transparentGreen = 0;
    uint16_t transparentBlue = 0;
};

// The encoded stream, or nothing when libpng refused the description.
std::vector<uint8_t> EncodePNG(const TestImage& image);

// A chunk with its length and CRC, for hand-made streams.
void AppendChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data);
