// The Linux surface: 64-byte aligned heap memory; there is no device context.
#include "raster/PIX_SysBitmap.h"

#include <climits>
#include <cstdlib>

PIX_SysBitmap::PIX_SysBitmap(int width, int height) {
    SetSize(width, height);
}

PIX_SysBitmap::~PIX_SysBitmap() {
    ReleaseSurface();
}

bool PIX_SysBitmap::CanHoldSurface() const {
    return true;
}

void PIX_SysBitmap::ReleaseSurface() {
    std::free(bits);
    bits = nullptr;
}

bool PIX_SysBitmap::CreateSurface() {
    const long long bytes = static_cast<long long>(allocatedWidth) * allocatedHeight * 4;
    if (bytes > INT_MAX) {
        return false;
    }
    void* memory = nullptr;
    if (posix_memalign(&memory, 64, static_cast<size_t>(bytes)) != 0) {
        return false;
    }
    bits = static_cast<PIX_Pixel32*>(memory);
    return true;
}
