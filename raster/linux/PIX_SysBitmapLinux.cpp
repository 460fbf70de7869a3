// The Linux surface: 64-byte aligned heap memory; there is no device context.
#include "raster/PIX_SysBitmap.h"

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
    const size_t bytes = static_cast<size_t>(allocatedWidth) * static_cast<size_t>(allocatedHeight) * 4;
    void* memory = nullptr;
    if (posix_memalign(&memory, 64, bytes) != 0) {
        return false;
    }
    bits = static_cast<PIX_Pixel32*>(memory);
    return true;
}
