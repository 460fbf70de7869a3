#include "formats/vst3/Vst3Text.h"

#include "raster/PIX_Utf8.h"

#include <cstdint>

void Vst3CopyToUtf16(vst3::char16* out, const char* text, size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return;
    }
    size_t n = 0;
    while (text != nullptr && *text != '\0' && n + 1 < capacity) {
        uint16_t ch = 0;
        text += PIX_DecodeUtf8(text, -1, ch);
        out[n++] = static_cast<vst3::char16>(ch);
    }
    out[n] = 0;
}

void Vst3CopyFromUtf16(char* out, const vst3::char16* text, size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return;
    }
    size_t n = 0;
    for (; text != nullptr && *text != 0; ++text) {
        const auto ch = static_cast<uint32_t>(*text);
        const size_t bytes = ch < 0x80 ? 1 : (ch < 0x800 ? 2 : 3);
        if (n + bytes >= capacity) {
            break;
        }
        if (bytes == 1) {
            out[n++] = static_cast<char>(ch);
        } else if (bytes == 2) {
            out[n++] = static_cast<char>(0xC0 | (ch >> 6));
            out[n++] = static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            out[n++] = static_cast<char>(0xE0 | (ch >> 12));
            out[n++] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            out[n++] = static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    out[n] = '\0';
}
