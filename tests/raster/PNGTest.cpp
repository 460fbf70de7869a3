#include "raster/PIX_PNG.h"

#include "RasterTestUtil.h"
#include "TestPNGWriter.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Bitmap = std::unique_ptr<PIX_MemBitmap>;

Bitmap Decode(const std::vector<uint8_t>& bytes) {
    return Bitmap(PIX_ReadPNGFromBuffer(bytes.data(), static_cast<int>(bytes.size())));
}

// Decodes and compares every pixel with the expected words, row by row.
void ExpectDecodes(const TestImage& image, const std::vector<std::vector<PIX_Pixel32>>& expected) {
    const std::vector<uint8_t> bytes = EncodePNG(image);
    ASSERT_FALSE(bytes.empty());
    Bitmap b = Decode(bytes);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->GetWidth(), image.width);
    ASSERT_EQ(b->GetHeight(), image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            EXPECT_EQ(At(*b, x, y), expected[static_cast<size_t>(y)][static_cast<size_t>(x)])
                << std::hex << "pixel " << std::dec << x << "," << y;
        }
    }
}

TEST(PNGDecode, GreyOneBitGivesOpaqueGrey) {
    TestImage image;
    image.width = 10;
    image.height = 2;
    image.bitDepth = 1;
    image.colourType = PNG_COLOR_TYPE_GRAY;
    image.rows = {{0xAC, 0x00}, {0xFF, 0xC0}};
    const PIX_Pixel32 k = 0xFF000000, w = 0xFFFFFFFF;
    ExpectDecodes(image, {{w, k, w, k, w, w, k, k, k, k}, {w, w, w, w, w, w, w, w, w, w}});
}

TEST(PNGDecode, PaletteTransparencyBecomesAlpha) {
    TestImage image;
    image.width = 4;
    image.height = 2;
    image.colourType = PNG_COLOR_TYPE_PALETTE;
    image.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    image.paletteAlpha = {0, 128};
    image.rows = {{0, 1, 2, 3}, {3, 2, 1, 0}};
    ExpectDecodes(image, {{0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFF0A141E},
                          {0xFF0A141E, 0xFF0000FF, 0x8000FF00, 0x00FF0000}});
}

TEST(PNGDecode, PackedPaletteWithoutTransparencyIsOpaque) {
    TestImage image;
    image.width = 3;
    image.height = 1;
    image.bitDepth = 2;
    image.colourType = PNG_COLOR_TYPE_PALETTE;
    image.palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    image.rows = {{0x24}}; // indexes 0, 2, 1
    ExpectDecodes(image, {{0xFF010203, 0xFF070809, 0xFF040506}});
}

TEST(PNGDecode, SixteenBitSamplesKeepTheirHighBytes) {
    TestImage image;
    image.width = 2;
    image.height = 1;
    image.bitDepth = 16;
    image.colourType = PNG_COLOR_TYPE_RGBA;
    image.rows = {
        {0x12, 0xAB, 0x34, 0xCD, 0x56, 0xEF, 0x78, 0x01, 0xFF, 0xFF, 0x00, 0xFF, 0x80, 0x00, 0x00, 0x00}};
    ExpectDecodes(image, {{0x78123456, 0x00FF0080}});
}

TEST(PNGDecode, ColourWithoutAlphaIsOpaque) {
    TestImage image;
    image.width = 2;
    image.height = 2;
    image.colourType = PNG_COLOR_TYPE_RGB;
    image.rows = {{1, 2, 3, 4, 5, 6}, {250, 251, 252, 0, 0, 0}};
    ExpectDecodes(image, {{0xFF010203, 0xFF040506}, {0xFFFAFBFC, 0xFF000000}});
}

TEST(PNGDecode, GreyWithAlphaAndGreyWithTransparentValue) {
    TestImage withAlpha;
    withAlpha.width = 2;
    withAlpha.height = 1;
    withAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    withAlpha.rows = {{0x40, 0x80, 0xFF, 0x00}};
    ExpectDecodes(withAlpha, {{0x80404040, 0x00FFFFFF}});

    TestImage keyed;
    keyed.width = 2;
    keyed.height = 1;
    keyed.colourType = PNG_COLOR_TYPE_GRAY;
    keyed.transparentColour = true;
    keyed.transparentRed = 0x33;
    keyed.rows = {{0x33, 0x44}};
    ExpectDecodes(keyed, {{0x00333333, 0xFF444444}});
}

// A noisy RGBA picture: poorly compressible, so its image data spans many bytes.
TestImage Noise(int width, int height, bool interlaced) {
    TestImage image;
    image.width = width;
    image.height = height;
    image.interlaced = interlaced;
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int i = 0; i < width * 4; ++i) {
            state = state * 1103515245u + 12345u;
            row.push_back(static_cast<uint8_t>(state >> 24));
        }
        image.rows.push_back(row);
    }
    return image;
}

std::vector<std::vector<PIX_Pixel32>> Words(const TestImage& rgba) {
    std::vector<std::vector<PIX_Pixel32>> out;
    for (const auto& row : rgba.rows) {
        std::vector<PIX_Pixel32> words;
        for (size_t i = 0; i + 3 < row.size(); i += 4) {
            words.push_back(PIX_Pixel32(row[i + 3]) << 24 | PIX_Pixel32(row[i]) << 16 |
                            PIX_Pixel32(row[i + 1]) << 8 | row[i + 2]);
        }
        out.push_back(words);
    }
    return out;
}

// 13 pixels wide: rows are 16 pixels apart in the bitmap.
TEST(PNGDecode, InterlacedAndPlainStreamsGiveTheSamePixels) {
    const TestImage plain = Noise(13, 11, false);
    const TestImage interlaced = Noise(13, 11, true);
    ExpectDecodes(plain, Words(plain));
    ExpectDecodes(interlaced, Words(plain));
}

TEST(PNGDecode, WrongSignatureOrTooShortYieldsNothing) {
    const std::vector<uint8_t> good = EncodePNG(Noise(4, 4, false));
    ASSERT_NE(Decode(good), nullptr);
    for (size_t i : {size_t(0), size_t(1), size_t(7)}) {
        std::vector<uint8_t> bad = good;
        bad[i] ^= 0x20;
        EXPECT_EQ(Decode(bad), nullptr) << "byte " << i;
    }
    EXPECT_EQ(PIX_ReadPNGFromBuffer(good.data(), 7), nullptr);
    EXPECT_EQ(PIX_ReadPNGFromBuffer(good.data(), 0), nullptr);
    EXPECT_EQ(PIX_ReadPNGFromBuffer(good.data(), -1), nullptr);
    EXPECT_EQ(PIX_ReadPNGFromBuffer(nullptr, 100), nullptr);
    const char text[] = "GIF89a, not a PNG at all";
    EXPECT_EQ(PIX_ReadPNGFromBuffer(text, sizeof(text)), nullptr);
}

// Every cut inside the header or the image data fails cleanly (and, under the sanitizers,
// without leaks); only the trailing end chunk is never read.
TEST(PNGDecode, TruncatedStreamsYieldNothingAndSayNothing) {
    const std::vector<uint8_t> good = EncodePNG(Noise(32, 32, false));
    ASSERT_GT(good.size(), size_t(4096));
    testing::internal::CaptureStderr();
    for (size_t cut = 8; cut + 12 < good.size(); cut += (cut < 64 ? 1 : 97)) {
        EXPECT_EQ(PIX_ReadPNGFromBuffer(good.data(), static_cast<int>(cut)), nullptr) << "cut at " << cut;
    }
    for (size_t back : {size_t(13), size_t(16), size_t(17)}) {
        EXPECT_EQ(PIX_ReadPNGFromBuffer(good.data(), static_cast<int>(good.size() - back)), nullptr);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    Bitmap withoutEnd(PIX_ReadPNGFromBuffer(good.data(), static_cast<int>(good.size() - 12)));
    EXPECT_NE(withoutEnd, nullptr);
}

TEST(PNGDecode, CorruptAncillaryChunkIsSkippedSilently) {
    const std::vector<uint8_t> good = EncodePNG(Noise(3, 3, false));
    // After the signature (8) and the header chunk (25): a text chunk with a wrong CRC.
    std::vector<uint8_t> text;
    AppendChunk(text, "tEXt", {'K', 'e', 'y', 0, 'v', 'a', 'l'});
    text.back() ^= 0xFF;
    std::vector<uint8_t> bytes(good.begin(), good.begin() + 33);
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.insert(bytes.end(), good.begin() + 33, good.end());
    testing::internal::CaptureStderr();
    Bitmap b = Decode(bytes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(At(*b, 2, 2), Words(Noise(3, 3, false))[2][2]);
}

// An RGBA stream of the given size whose image data holds only 1024 zero bytes.
std::vector<uint8_t> HeaderStream(uint32_t width, uint32_t height) {
    std::vector<uint8_t> out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    for (uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            ihdr.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    ihdr.insert(ihdr.end(), {uint8_t(8), uint8_t(PNG_COLOR_TYPE_RGBA), uint8_t(0), uint8_t(0), uint8_t(0)});
    AppendChunk(out, "IHDR", ihdr);
    std::vector<uint8_t> zeros(1024, 0);
    std::vector<uint8_t> packed(compressBound(static_cast<uLong>(zeros.size())));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress(packed.data(), &packedSize, zeros.data(), static_cast<uLong>(zeros.size()));
    packed.resize(packedSize);
    AppendChunk(out, "IDAT", packed);
    AppendChunk(out, "IEND", {});
    return out;
}

// 65536 x 16385 x 4 bytes wraps to 256 KiB in 32 bits; the decoder must refuse the size
// instead of decoding rows into a block that small.
TEST(PNGDecode, DimensionsBeyondWhatABitmapCanHoldYieldNothing) {
    const uint32_t sizes[][2] = {{65536, 16385}, {65536, 8192}, {1000001, 1}, {0, 5}, {0x80000000u, 1}};
    testing::internal::CaptureStderr();
    for (const auto& s : sizes) {
        EXPECT_EQ(Decode(HeaderStream(s[0], s[1])), nullptr) << s[0] << " x " << s[1];
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // The same stream with a size that fits decodes its few rows.
    Bitmap small = Decode(HeaderStream(4, 4));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(At(*small, 0, 0), 0u);
}

} // namespace
