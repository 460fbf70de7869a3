#include "TestPNGWriter.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// The frame with the jump target holds plain pointers only.
bool Write(png_structp png, png_infop info, const TestImage* image, std::vector<uint8_t>* out,
           png_bytep* rows, png_colorp palette, png_color_16* transparent) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, out, Append, Flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->width), static_cast<png_uint_32>(image->height),
                 image->bitDepth, image->colourType,
                 image->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (palette) {
        png_set_PLTE(png, info, palette, static_cast<int>(image->palette.size() / 3));
    }
    if (!image->paletteAlpha.empty()) {
        png_set_tRNS(png, info, image->paletteAlpha.data(), static_cast<int>(image->paletteAlpha.size()),
                     nullptr);
    } else if (transparent) {
        png_set_tRNS(png, info, nullptr, 0, transparent);
    }
    png_write_info(png, info);
    if (image->interlaced) {
        png_set_interlace_handling(png);
    }
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::vector<uint8_t> EncodePNG(const TestImage& image) {
    std::vector<uint8_t> out;
    std::vector<png_bytep> rows;
    std::vector<std::vector<uint8_t>> copies = image.rows;
    for (auto& row : copies) {
        rows.push_back(row.data());
    }
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < image.palette.size(); i += 3) {
        palette.push_back({image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    }
    png_color_16 transparent{};
    transparent.red = image.transparentRed;
    transparent.green = image.transparentGreen;
    transparent.blue = image.transparentBlue;
    transparent.gray = image.transparentRed;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written =
        info && Write(png, info, &image, &out, rows.data(), palette.empty() ? nullptr : palette.data(),
                      image.transparentColour ? &transparent : nullptr);
    png_destroy_write_struct(&png, &info);
    if (!written) {
        out.clear();
    }
    return out;
}

void AppendChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(length >> shift));
    }
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(crc >> shift));
    }
}
