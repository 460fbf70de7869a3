#include "raster/PIX_PNG.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const png_byte kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

struct MemorySource {
    const png_byte* next;
    int remaining;
};

// Reading past the end yields zero bytes, which libpng rejects as a broken stream.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    std::memset(out, 0, count);
    const png_size_t available = static_cast<png_size_t>(source->remaining);
    const png_size_t copied = count < available ? count : available;
    std::memcpy(out, source->next, copied);
    source->next += copied;
    source->remaining -= static_cast<int>(copied);
}

// libpng's own handlers write to stderr, which belongs to the host: errors return silently to
// the recovery point and warnings are dropped.
[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Everything one decode owns; plain data, so a long jump can never skip a destructor. The
// caller releases whatever is set, whether decoding finished or not.
struct Decoding {
    png_structp png;
    png_infop info;
    MemorySource source;
    PIX_MemBitmap* bitmap;
    png_bytep* rows;
};

// Reads the header, requests the transforms that deliver alpha, red, green, blue bytes per
// pixel and reads the image into a new bitmap. Any libpng error lands back at the setjmp and
// answers false. No local of this frame is used after a jump.
bool ReadImage(Decoding* d) {
    if (setjmp(png_jmpbuf(d->png))) {
        return false;
    }
    png_set_read_fn(d->png, &d->source, ReadFromMemory);
    png_read_info(d->png, d->info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    int compression = 0;
    int filter = 0;
    png_get_IHDR(d->png, d->info, &width, &height, &bitDepth, &colourType, &interlace, &compression, &filter);

    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(d->png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(d->png);
    }
    if (png_get_valid(d->png, d->info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(d->png);
        colourType |= PNG_COLOR_MASK_ALPHA;
    }
    if (bitDepth == 16) {
        png_set_strip_16(d->png);
    }
    if (bitDepth < 8) {
        png_set_packing(d->png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(d->png);
    }
    if ((colourType & PNG_COLOR_MASK_ALPHA) != 0) {
        png_set_swap_alpha(d->png);
    } else {
        png_set_filler(d->png, 0xFF, PNG_FILLER_BEFORE);
    }

    // libpng keeps both sizes below 2^31; the bitmap refuses sizes it cannot address.
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    d->bitmap = new (std::nothrow) PIX_MemBitmap(w, h);
    if (!d->bitmap || d->bitmap->GetWidth() != w || d->bitmap->GetHeight() != h) {
        return false;
    }
    d->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!d->rows) {
        return false;
    }
    for (int y = 0; y < h; ++y) {
        d->rows[y] = reinterpret_cast<png_bytep>(PIX_RowAddress(*d->bitmap, y));
    }
    png_read_image(d->png, d->rows);
    return true;
}

// Rows arrive as bytes alpha, red, green, blue; the pixel word is 0xAARRGGBB.
void ToPixelWords(PIX_MemBitmap& bitmap) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    for (int y = 0; y < height; ++y) {
        PIX_Pixel32* row = PIX_RowAddress(bitmap, y);
        for (int x = 0; x < width; ++x) {
            const auto* b = reinterpret_cast<const png_byte*>(row + x);
            row[x] = (PIX_Pixel32(b[0]) << 24) | (PIX_Pixel32(b[1]) << 16) | (PIX_Pixel32(b[2]) << 8) | b[3];
        }
    }
}

} // namespace

PIX_MemBitmap* PIX_ReadPNGFromBuffer(const void* data, int length) {
    if (!data || length < 8 || std::memcmp(data, kSignature, sizeof(kSignature)) != 0) {
        return nullptr;
    }
    Decoding d{};
    d.source = {static_cast<const png_byte*>(data), length};
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!d.png) {
        return nullptr;
    }
    d.info = png_create_info_struct(d.png);
    if (!d.info) {
        png_destroy_read_struct(&d.png, nullptr, nullptr);
        return nullptr;
    }
    const bool complete = ReadImage(&d);
    png_destroy_read_struct(&d.png, &d.info, nullptr);
    std::free(d.rows);
    if (!complete) {
        delete d.bitmap;
        return nullptr;
    }
    ToPixelWords(*d.bitmap);
    return d.bitmap;
}
