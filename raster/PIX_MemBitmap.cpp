#include "raster/PIX_MemBitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int64_t kAlignmentSlack = 63;
// Largest pixel block whose size, with the slack, still fits the int bookkeeping.
constexpr int64_t kMaxBytes = INT_MAX - kAlignmentSlack;

} // namespace

PIX_MemBitmap::PIX_MemBitmap(int width, int height) {
    if (width > 0 && height > 0) {
        SetSize(width, height);
    }
}

PIX_MemBitmap::~PIX_MemBitmap() {
    std::free(raw);
}

PIX_Pixel32* PIX_MemBitmap::GetPixels() const {
    if (!raw) {
        return nullptr;
    }
    const uintptr_t aligned =
        (reinterpret_cast<uintptr_t>(raw) + kAlignmentSlack) & ~uintptr_t(kAlignmentSlack);
    return reinterpret_cast<PIX_Pixel32*>(aligned);
}

bool PIX_MemBitmap::SetSize(int newWidth, int newHeight) {
    if (newWidth == width && newHeight == height) {
        return false;
    }
    width = newWidth;
    height = newHeight;
    // 64-bit arithmetic: a product that does not fit must fail, not wrap into a small block.
    int64_t bytes = 0;
    if (newWidth > 0 && newHeight > 0) {
        const int64_t span =
            (static_cast<int64_t>(newWidth) + rowAlignMask) & ~static_cast<int64_t>(rowAlignMask);
        bytes = static_cast<int64_t>(newHeight) * span * 4;
    }
    if (bytes > 0 && bytes <= kMaxBytes) {
        if (!raw) {
            raw = std::malloc(static_cast<size_t>(bytes + kAlignmentSlack));
            allocatedSize = raw ? static_cast<int>(bytes) : 0;
        } else if (allocatedSize < bytes) {
            int64_t grown = (bytes / 4) * 5;
            if (grown > kMaxBytes) {
                grown = bytes;
            }
            void* moved = std::realloc(raw, static_cast<size_t>(grown + kAlignmentSlack));
            if (moved) {
                raw = moved;
                allocatedSize = static_cast<int>(grown);
            } else {
                std::free(raw);
                raw = std::malloc(static_cast<size_t>(bytes + kAlignmentSlack));
                allocatedSize = raw ? static_cast<int>(bytes) : 0;
            }
        }
    } else {
        std::free(raw);
        raw = nullptr;
        allocatedSize = 0;
    }
    if (!raw) {
        width = 0;
        height = 0;
    }
    return true;
}

int PIX_MemBitmap::QueryExtension(int, void*) {
    return 0;
}
