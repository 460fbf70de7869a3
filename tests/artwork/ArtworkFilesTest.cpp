#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Pixel {
    uint8_t r, g, b, a;
};

struct Image {
    std::vector<uint8_t> file;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<Pixel> pixels;

    const Pixel& At(uint32_t x, uint32_t y) const { return pixels[y * width + x]; }
};

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 |
           uint32_t(bytes[at + 3]);
}

// Reads the file and decodes it through libpng, as the editor does; an empty image means failure.
Image Load(const std::string& name) {
    Image image;
    std::ifstream in(std::string(KSP_IMAGE_DIR) + "/" + name, std::ios::binary);
    image.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (image.file.size() < 33) {
        return image;
    }
    png_image decoder{};
    decoder.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&decoder, image.file.data(), image.file.size())) {
        return image;
    }
    decoder.format = PNG_FORMAT_RGBA;
    std::vector<Pixel> pixels(size_t(decoder.width) * decoder.height);
    if (!png_image_finish_read(&decoder, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&decoder);
        return image;
    }
    image.width = decoder.width;
    image.height = decoder.height;
    image.pixels = std::move(pixels);
    return image;
}

int Luma(const Pixel& p) {
    return (p.r * 299 + p.g * 587 + p.b * 114) / 1000;
}

struct Strip {
    const char* name;
    uint32_t width;
    uint32_t height;
    uint32_t frames;
};

class ArtworkFile : public ::testing::TestWithParam<Strip> {};

TEST_P(ArtworkFile, IsEightBitRgbaNotInterlacedOfTheExactSize) {
    const Strip& strip = GetParam();
    const Image image = Load(strip.name);
    ASSERT_FALSE(image.pixels.empty()) << strip.name << " is missing or does not decode";

    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, image.file.begin()));
    EXPECT_EQ(std::string(image.file.begin() + 12, image.file.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian32(image.file, 16), strip.width);
    EXPECT_EQ(BigEndian32(image.file, 20), strip.height);
    EXPECT_EQ(image.file[24], 8) << "bit depth";
    EXPECT_EQ(image.file[25], 6) << "colour type RGBA";
    EXPECT_EQ(image.file[28], 0) << "interlace";
    EXPECT_EQ(strip.height % strip.frames, 0u);
}

INSTANTIATE_TEST_SUITE_P(EditorImages, ArtworkFile,
                         ::testing::Values(Strip{"back.png", 720, 174, 1}, Strip{"knob.png", 40, 2600, 65},
                                           Strip{"stages.png", 48, 96, 2}, Strip{"switch.png", 20, 114, 2}),
                         [](const ::testing::TestParamInfo<Strip>& info) {
                             std::string name = info.param.name;
                             return name.substr(0, name.find('.'));
                         });

TEST(Artwork, BackgroundIsOpaqueAndDarkWhereTheValueTextsGo) {
    const Image back = Load("back.png");
    ASSERT_EQ(back.width, 720u);
    for (const Pixel& p : back.pixels) {
        ASSERT_EQ(p.a, 255);
    }
    // Value texts are pale yellow: the band under every knob and under the sync switch must stay dark.
    const uint32_t textLeft[] = {96, 170, 244, 334, 488, 562, 652, 401};
    for (uint32_t left : textLeft) {
        for (uint32_t y = 149; y < 162; ++y) {
            for (uint32_t x = left; x < left + 20; ++x) {
                ASSERT_LT(Luma(back.At(x, y)), 48) << "at " << x << "," << y;
            }
        }
    }
}

TEST(Artwork, KnobFramesAreRoundTurnAndLeaveTheCornersTransparent) {
    const Image knob = Load("knob.png");
    ASSERT_EQ(knob.height, 2600u);
    for (uint32_t frame = 0; frame < 65; ++frame) {
        const uint32_t top = frame * 40;
        EXPECT_EQ(knob.At(0, top).a, 0) << "frame " << frame + 1;
        EXPECT_EQ(knob.At(39, top).a, 0) << "frame " << frame + 1;
        EXPECT_EQ(knob.At(0, top + 39).a, 0) << "frame " << frame + 1;
        EXPECT_EQ(knob.At(20, top + 20).a, 255) << "frame " << frame + 1;
    }
    // The pointer: straight down-left at frame 1, straight up at frame 33, down-right at frame 65.
    auto bright = [&](uint32_t frame, uint32_t x, uint32_t y) {
        return Luma(knob.At(x, (frame - 1) * 40 + y)) > 180;
    };
    EXPECT_TRUE(bright(33, 20, 10));
    EXPECT_FALSE(bright(1, 20, 10));
    EXPECT_TRUE(bright(1, 13, 27));
    EXPECT_FALSE(bright(33, 13, 27));
    EXPECT_TRUE(bright(65, 27, 27));
    EXPECT_FALSE(bright(1, 27, 27));
}

TEST(Artwork, StagesDisplayShowsFourThenEight) {
    const Image stages = Load("stages.png");
    ASSERT_EQ(stages.height, 96u);
    auto litSegments = [&](uint32_t frame) {
        int count = 0;
        for (uint32_t y = 0; y < 48; ++y) {
            for (uint32_t x = 0; x < 48; ++x) {
                const Pixel& p = stages.At(x, frame * 48 + y);
                count += p.r > 200 && p.g < 120 ? 1 : 0;
            }
        }
        return count;
    };
    const int four = litSegments(0);
    const int eight = litSegments(1);
    EXPECT_GT(four, 100);
    EXPECT_GT(eight, four * 3 / 2); // seven lit segments against four
    EXPECT_LT(Luma(stages.At(6, 42)), 16) << "black glass";
    EXPECT_LT(Luma(stages.At(6, 42 + 48)), 16) << "black glass";
}

TEST(Artwork, SwitchLeverIsDownThenUp) {
    const Image lever = Load("switch.png");
    ASSERT_EQ(lever.height, 114u);
    auto opaqueRows = [&](uint32_t frame, uint32_t from, uint32_t to) {
        int count = 0;
        for (uint32_t y = from; y < to; ++y) {
            count += lever.At(10, frame * 57 + y).a == 255 ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(opaqueRows(0, 0, 15), 0);
    EXPECT_GT(opaqueRows(0, 42, 57), 5);
    EXPECT_GT(opaqueRows(1, 0, 15), 5);
    EXPECT_EQ(opaqueRows(1, 42, 57), 0);
    // Nothing of the lever reaches into the text below it.
    for (uint32_t frame = 0; frame < 2; ++frame) {
        for (uint32_t x = 0; x < 20; ++x) {
            EXPECT_LT(lever.At(x, frame * 57 + 56).a, 64);
        }
    }
}

} // namespace
