#include "raster/PIX_SysBitmap.h"

#include <climits>
#include <cstdint>

bool PIX_SysBitmap::SetSize(int newWidth, int newHeight) {
    if (!CanHoldSurface()) {
        width = 0;
        height = 0;
        bits = nullptr;
        return false;
    }
    // A negative size means no surface, like 0; it must not pass for a shrink of the surface.
    newWidth = newWidth < 0 ? 0 : newWidth;
    newHeight = newHeight < 0 ? 0 : newHeight;
    if (newWidth == width && newHeight == height) {
        return false;
    }
    width = newWidth;
    height = newHeight;
    if (newWidth != 0 && newHeight != 0 && allocatedWidth >= newWidth && allocatedHeight >= newHeight &&
        bits) {
        return true;
    }
    // Rounded in 64 bits: a width near INT_MAX must not wrap.
    const long long rounded = (static_cast<long long>(newWidth) + 3) & ~3LL;
    ReleaseSurface();
    if (rounded > INT_MAX) {
        allocatedWidth = 0;
        allocatedHeight = 0;
        width = 0;
        height = 0;
        return true;
    }
    allocatedWidth = static_cast<int>(rounded);
    allocatedHeight = newHeight;
    if (allocatedWidth < 1 || allocatedHeight < 1) {
        return false;
    }
    // A surface of more bytes than an int counts is refused like a failed allocation.
    if (int64_t{allocatedWidth} * allocatedHeight * 4 > INT_MAX || !CreateSurface()) {
        width = 0;
        height = 0;
        bits = nullptr;
    }
    return true;
}

int PIX_SysBitmap::QueryExtension(int, void*) {
    return 0;
}
