#include "TextSnapshotPng.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// libpng reports errors by jumping back here.
bool Encode(png_structp png, png_infop info, FILE* file, png_bytepp rows, int width, int height) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

} // namespace

bool WriteSnapshotPNG(const PIX_IBitmap& bitmap, const char* path) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    if (bitmap.GetPixels() == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    std::vector<png_byte> rgba(static_cast<size_t>(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y) {
        const PIX_Pixel32* in = PIX_RowAddress(bitmap, y);
        png_byte* out = &rgba[static_cast<size_t>(y) * width * 4];
        rows[y] = out;
        for (int x = 0; x < width; ++x) {
            out[4 * x + 0] = static_cast<png_byte>(in[x] >> 16);
            out[4 * x + 1] = static_cast<png_byte>(in[x] >> 8);
            out[4 * x + 2] = static_cast<png_byte>(in[x]);
            out[4 * x + 3] = static_cast<png_byte>(in[x] >> 24);
        }
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool ok = info != nullptr && Encode(png, info, file, rows.data(), width, height);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}
