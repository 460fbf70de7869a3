#include "raster/PIX_MemBitmap.h"
#include "raster/PIX_SysBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

bool Aligned64(const void* p) {
    return (reinterpret_cast<uintptr_t>(p) & 63) == 0;
}

// Writes every addressable pixel, so a short allocation shows up under the sanitizers.
void Touch(PIX_IBitmap& b) {
    for (int y = 0; y < b.GetHeight(); ++y) {
        for (int x = 0; x < b.GetRowSpan(); ++x) {
            PIX_RowAddress(b, y)[x] = 0x12345678u;
        }
    }
}

TEST(MemBitmap, EmptyBitmapHasNoMemory) {
    PIX_MemBitmap b(0, 0);
    EXPECT_EQ(b.GetPixels(), nullptr);
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 0);
    EXPECT_EQ(b.GetAllocatedSize(), 0);
    EXPECT_EQ(b.GetDeviceContext(), nullptr);
    EXPECT_FALSE(b.IsBottomUp());
    EXPECT_EQ(b.QueryExtension(1, nullptr), 0);
}

TEST(MemBitmap, RowsArePaddedToFourPixelsAndAligned) {
    PIX_MemBitmap b(5, 3);
    EXPECT_EQ(b.GetWidth(), 5);
    EXPECT_EQ(b.GetHeight(), 3);
    EXPECT_EQ(b.GetRowSpan(), 8);
    EXPECT_EQ(b.GetAllocatedSize(), 96);
    ASSERT_NE(b.GetPixels(), nullptr);
    EXPECT_TRUE(Aligned64(b.GetPixels()));
    Touch(b);
}

TEST(MemBitmap, GrowsWithHeadroomAndNeverShrinks) {
    PIX_MemBitmap b(8, 10);
    EXPECT_EQ(b.GetAllocatedSize(), 320);
    EXPECT_TRUE(b.SetSize(12, 10));
    EXPECT_EQ(b.GetAllocatedSize(), 600);
    const PIX_Pixel32* grown = b.GetPixels();
    EXPECT_TRUE(b.SetSize(16, 9));
    EXPECT_EQ(b.GetAllocatedSize(), 600);
    EXPECT_EQ(b.GetPixels(), grown);
    EXPECT_EQ(b.GetRowSpan(), 16);
    Touch(b);
    EXPECT_TRUE(b.SetSize(1, 1));
    EXPECT_EQ(b.GetAllocatedSize(), 600);
    EXPECT_TRUE(Aligned64(b.GetPixels()));
}

TEST(MemBitmap, SameSizeChangesNothing) {
    PIX_MemBitmap b(4, 4);
    const PIX_Pixel32* pixels = b.GetPixels();
    EXPECT_FALSE(b.SetSize(4, 4));
    EXPECT_EQ(b.GetPixels(), pixels);
    EXPECT_EQ(b.GetAllocatedSize(), 64);
}

TEST(MemBitmap, ZeroOrNegativeSizesReleaseTheMemory) {
    const int sizes[][2] = {{0, 7}, {7, 0}, {-4, 3}, {3, -4}, {INT_MIN, INT_MIN}};
    for (const auto& s : sizes) {
        PIX_MemBitmap b(6, 6);
        EXPECT_TRUE(b.SetSize(s[0], s[1]));
        EXPECT_EQ(b.GetPixels(), nullptr);
        EXPECT_EQ(b.GetWidth(), 0);
        EXPECT_EQ(b.GetHeight(), 0);
        EXPECT_EQ(b.GetAllocatedSize(), 0);
    }
    PIX_MemBitmap negative(-5, 10);
    EXPECT_EQ(negative.GetPixels(), nullptr);
    EXPECT_EQ(negative.GetWidth(), 0);
}

// Sizes whose byte count does not fit 31 bits must fail rather than wrap into a small block
// (65536 x 16385 x 4 wraps to 256 KiB in 32-bit arithmetic).
TEST(MemBitmap, SizesBeyondTheAddressableRangeLeaveItEmpty) {
    const int sizes[][2] = {{65536, 16385}, {65536, 8192}, {INT_MAX, 1}, {INT_MAX - 2, 2}, {1, INT_MAX}};
    for (const auto& s : sizes) {
        PIX_MemBitmap b(s[0], s[1]);
        EXPECT_EQ(b.GetPixels(), nullptr) << s[0] << " x " << s[1];
        EXPECT_EQ(b.GetWidth(), 0);
        EXPECT_EQ(b.GetHeight(), 0);
        EXPECT_EQ(b.GetAllocatedSize(), 0);
    }
    PIX_MemBitmap grown(100, 100);
    EXPECT_TRUE(grown.SetSize(65536, 16385));
    EXPECT_EQ(grown.GetPixels(), nullptr);
    EXPECT_EQ(grown.GetWidth(), 0);
}

TEST(SysBitmap, RowSpanIsTheAllocatedWidth) {
    PIX_SysBitmap b(7, 5);
    ASSERT_NE(b.GetPixels(), nullptr);
    EXPECT_EQ(b.GetWidth(), 7);
    EXPECT_EQ(b.GetHeight(), 5);
    EXPECT_EQ(b.GetRowSpan(), 8);
    EXPECT_FALSE(b.IsBottomUp());
    EXPECT_EQ(b.QueryExtension(0, nullptr), 0);
    EXPECT_TRUE(Aligned64(b.GetPixels()));
    Touch(b);
}

TEST(SysBitmap, ShrinkingKeepsTheSurfaceGrowingReallocates) {
    PIX_SysBitmap b(7, 5);
    const PIX_Pixel32* bits = b.GetPixels();
    EXPECT_TRUE(b.SetSize(3, 2));
    EXPECT_EQ(b.GetWidth(), 3);
    EXPECT_EQ(b.GetHeight(), 2);
    EXPECT_EQ(b.GetRowSpan(), 8);
    EXPECT_EQ(b.GetPixels(), bits);
    EXPECT_FALSE(b.SetSize(3, 2));
    EXPECT_TRUE(b.SetSize(9, 5));
    EXPECT_EQ(b.GetRowSpan(), 12);
    EXPECT_EQ(b.GetAllocatedHeight(), 5);
    ASSERT_NE(b.GetPixels(), nullptr);
    Touch(b);
}

TEST(SysBitmap, ZeroOrNegativeSizeReleasesTheSurface) {
    PIX_SysBitmap b(7, 5);
    EXPECT_FALSE(b.SetSize(0, 5));
    EXPECT_EQ(b.GetPixels(), nullptr);
    EXPECT_EQ(b.GetWidth(), 0);

    // A negative size must not pass for a shrink that keeps the old surface.
    PIX_SysBitmap c(7, 5);
    EXPECT_FALSE(c.SetSize(-3, 2));
    EXPECT_EQ(c.GetPixels(), nullptr);
    EXPECT_EQ(c.GetWidth(), 0);
    EXPECT_EQ(c.GetHeight(), 2);
    EXPECT_TRUE(c.SetSize(4, 4));
    EXPECT_NE(c.GetPixels(), nullptr);
}

TEST(SysBitmap, UnaddressableSizeLeavesItEmpty) {
    PIX_SysBitmap b(4, 4);
    EXPECT_TRUE(b.SetSize(INT_MAX, 2));
    EXPECT_EQ(b.GetPixels(), nullptr);
    EXPECT_EQ(b.GetWidth(), 0);
    EXPECT_EQ(b.GetHeight(), 0);
    EXPECT_TRUE(b.SetSize(65536, 16385));
    EXPECT_EQ(b.GetPixels(), nullptr);
    EXPECT_TRUE(b.SetSize(2, 2));
    EXPECT_NE(b.GetPixels(), nullptr);
}

#ifdef _WIN32
// GDI draws into the same memory: top-down rows, bytes blue, green, red.
TEST(SysBitmap, DeviceContextDrawsIntoThePixels) {
    PIX_SysBitmap b(7, 5);
    ASSERT_NE(b.GetDeviceContext(), nullptr);
    PIX_RowAddress(b, 3)[2] = 0;
    ASSERT_TRUE(SetPixelV(b.GetDeviceContext(), 2, 3, RGB(0x10, 0x20, 0x30)));
    GdiFlush();
    EXPECT_EQ(PIX_RowAddress(b, 3)[2] & 0xFFFFFF, 0x102030u);
}
#else
TEST(SysBitmap, HasNoDeviceContextOnLinux) {
    PIX_SysBitmap b(7, 5);
    EXPECT_EQ(b.GetDeviceContext(), nullptr);
}
#endif

} // namespace
