#include "raster/PIX_PNGWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// The frame with the jump target holds plain pointers only.
bool WriteRows(png_structp png, png_infop info, std::FILE* file, const PIX_IBitmap* bitmap, png_bytep row) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    const int width = bitmap->GetWidth();
    const int height = bitmap->GetHeight();
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const PIX_Pixel32* in = PIX_RowAddress(*bitmap, y);
        png_bytep out = row;
        for (int x = 0; x < width; ++x, out += 4) {
            out[0] = static_cast<png_byte>(in[x] >> 16);
            out[1] = static_cast<png_byte>(in[x] >> 8);
            out[2] = static_cast<png_byte>(in[x]);
            out[3] = static_cast<png_byte>(in[x] >> 24);
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool PIX_WritePNGFile(const PIX_IBitmap& bitmap, const char* path) {
    if (bitmap.GetPixels() == nullptr || bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0 ||
        path == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(bitmap.GetWidth()) * 4);
    const bool written = info != nullptr && WriteRows(png, info, file, &bitmap, row.data());
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if (!(written && closed)) {
        std::remove(path);
        return false;
    }
    return true;
}
