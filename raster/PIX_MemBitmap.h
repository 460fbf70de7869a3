#pragma once

#include "raster/PIX_IBitmap.h"

// A bitmap in plain heap memory: the first pixel is 64-byte aligned and rows are padded to a
// multiple of 4 pixels. Memory grows with 25 % headroom and is never shrunk; pixel contents
// are undefined after construction and after every SetSize.
class PIX_MemBitmap final : public PIX_IBitmap {
public:
    // Allocates only when both sizes are positive; otherwise the bitmap starts empty.
    explicit PIX_MemBitmap(int width = 0, int height = 0);
    ~PIX_MemBitmap() override;
    PIX_MemBitmap(const PIX_MemBitmap&) = delete;
    PIX_MemBitmap& operator=(const PIX_MemBitmap&) = delete;

    PIX_Pixel32* GetPixels() const override;
    int GetWidth() const override { return width; }
    int GetHeight() const override { return height; }
    int GetRowSpan() const override { return (width + rowAlignMask) & ~rowAlignMask; }
    bool IsBottomUp() const override { return false; }
    // A failed allocation (or a size too large to address) leaves the bitmap empty: callers
    // compare GetWidth/GetHeight with what they asked for.
    bool SetSize(int width, int height) override;
    PIX_DeviceContext GetDeviceContext() const override { return nullptr; }
    int QueryExtension(int id, void* data) override;

    // Bytes reserved for pixels, without the alignment slack.
    int GetAllocatedSize() const { return allocatedSize; }

private:
    void* raw = nullptr;
    int width = 0;
    int height = 0;
    int allocatedSize = 0;
    int rowAlignMask = 3;
};
