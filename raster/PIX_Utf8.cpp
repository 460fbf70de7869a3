#include "raster/PIX_Utf8.h"

namespace {

// True when the n bytes after text[0] are continuation bytes within the available bytes.
bool ContinuationsFollow(const unsigned char* text, int available, int n) {
    if (available >= 0 && available < n + 1) {
        return false;
    }
    for (int i = 1; i <= n; ++i) {
        // The terminating zero fails this test, so unlimited text is never read past it.
        if ((text[i] & 0xC0) != 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

int PIX_DecodeUtf8(const char* text, int available, uint16_t& ch) {
    if (available == 0) {
        return 0;
    }
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    const unsigned lead = t[0];
    if (lead >= 0xC2 && lead <= 0xDF && ContinuationsFollow(t, available, 1)) {
        ch = static_cast<uint16_t>(((lead & 0x1F) << 6) | (t[1] & 0x3F));
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && ContinuationsFollow(t, available, 2)) {
        ch = static_cast<uint16_t>(((lead & 0x0F) << 12) | ((t[1] & 0x3F) << 6) | (t[2] & 0x3F));
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4 && ContinuationsFollow(t, available, 3)) {
        ch = 32;
        return 4;
    }
    ch = static_cast<uint16_t>(lead);
    return 1;
}

bool PIX_HasUtf8Sequence(const char* text, int length) {
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; (length < 0 || i < length) && t[i] != 0; ++i) {
        const int available = length < 0 ? -1 : length - i;
        const unsigned lead = t[i];
        if ((lead >= 0xC2 && lead <= 0xDF && ContinuationsFollow(t + i, available, 1)) ||
            (lead >= 0xE0 && lead <= 0xF4 && ContinuationsFollow(t + i, available, 2))) {
            return true;
        }
    }
    return false;
}
