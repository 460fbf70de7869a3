// The Windows surface: a top-down 32-bit DIB section selected into a memory DC.
#include "raster/PIX_SysBitmap.h"

PIX_SysBitmap::PIX_SysBitmap(int width, int height) : dc(CreateCompatibleDC(nullptr)) {
    SetSize(width, height);
}

PIX_SysBitmap::~PIX_SysBitmap() {
    ReleaseSurface();
    if (dc) {
        DeleteDC(dc);
    }
}

bool PIX_SysBitmap::CanHoldSurface() const {
    return dc != nullptr;
}

void PIX_SysBitmap::ReleaseSurface() {
    if (section) {
        SelectObject(dc, previous);
        DeleteObject(section);
        section = nullptr;
        previous = nullptr;
    }
    bits = nullptr;
}

bool PIX_SysBitmap::CreateSurface() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = allocatedWidth;
    info.bmiHeader.biHeight = IsBottomUp() ? allocatedHeight : -allocatedHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!section || !memory) {
        if (section) {
            DeleteObject(section);
            section = nullptr;
        }
        return false;
    }
    bits = static_cast<PIX_Pixel32*>(memory);
    previous = SelectObject(dc, section);
    return true;
}
