#pragma once

#include "raster/PIX_IBitmap.h"

// The drawing surface handed to the platform: on Windows a top-down 32-bit DIB section
// selected into the bitmap's own memory device context, so GDI can draw into it and BitBlt
// can copy from it; on Linux plain 64-byte aligned memory without a device context.
// Shrinking keeps the surface and its row span; growing reallocates.
class PIX_SysBitmap final : public PIX_IBitmap {
public:
    explicit PIX_SysBitmap(int width = 0, int height = 0);
    ~PIX_SysBitmap() override;
    PIX_SysBitmap(const PIX_SysBitmap&) = delete;
    PIX_SysBitmap& operator=(const PIX_SysBitmap&) = delete;

    PIX_Pixel32* GetPixels() const override { return bits; }
    int GetWidth() const override { return width; }
    int GetHeight() const override { return height; }
    int GetRowSpan() const override { return allocatedWidth; }
    bool IsBottomUp() const override { return false; }
    bool SetSize(int width, int height) override;
    PIX_DeviceContext GetDeviceContext() const override { return dc; }
    int QueryExtension(int id, void* data) override;

    int GetAllocatedHeight() const { return allocatedHeight; }

private:
    // Platform halves: whether a surface can be made at all, releasing the current surface
    // (bits becomes null) and making one of allocatedWidth x allocatedHeight.
    bool CanHoldSurface() const;
    void ReleaseSurface();
    bool CreateSurface();

    int width = 0;
    int height = 0;
    PIX_DeviceContext dc = nullptr;
    PIX_Pixel32* bits = nullptr;
    int allocatedWidth = 0;
    int allocatedHeight = 0;
#ifdef _WIN32
    HBITMAP section = nullptr;
    HGDIOBJ previous = nullptr;
#endif
};
