#include "raster/PIX_PNG.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

PIX_ModuleHandle ThisModule() {
#ifdef _WIN32
    return GetModuleHandleA(nullptr);
#else
    return nullptr;
#endif
}

TEST(PNGResource, TheFourImagesDecodeToTheirSizes) {
    struct Case {
        int id;
        int width;
        int height;
    };
    const Case cases[] = {{1, 720, 174}, {2, 40, 2600}, {3, 48, 96}, {4, 20, 114}};
    for (const Case& c : cases) {
        std::unique_ptr<PIX_MemBitmap> b(PIX_ReadPNGResource(ThisModule(), c.id));
        ASSERT_NE(b, nullptr) << "resource " << c.id;
        EXPECT_EQ(b->GetWidth(), c.width);
        EXPECT_EQ(b->GetHeight(), c.height);
        EXPECT_EQ(b->GetRowSpan(), c.width);
    }
}

TEST(PNGResource, UnknownIdsYieldNothing) {
    for (int id : {0, 5, 99, -1}) {
        EXPECT_EQ(PIX_ReadPNGResource(ThisModule(), id), nullptr) << id;
    }
}

#ifdef KSP_IMAGE_DIR
// The compiled-in bytes are the files' bytes: both decode to the same pixels.
TEST(PNGResource, CompiledInImagesMatchTheirFiles) {
    const char* names[] = {"back.png", "knob.png", "stages.png", "switch.png"};
    for (int id = 1; id <= 4; ++id) {
        std::ifstream in(std::string(KSP_IMAGE_DIR) + "/" + names[id - 1], std::ios::binary);
        const std::vector<char> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::unique_ptr<PIX_MemBitmap> fromFile(
            PIX_ReadPNGFromBuffer(file.data(), static_cast<int>(file.size())));
        std::unique_ptr<PIX_MemBitmap> fromLibrary(PIX_ReadPNGResource(ThisModule(), id));
        ASSERT_NE(fromFile, nullptr) << names[id - 1];
        ASSERT_NE(fromLibrary, nullptr) << id;
        ASSERT_EQ(fromFile->GetWidth(), fromLibrary->GetWidth());
        ASSERT_EQ(fromFile->GetHeight(), fromLibrary->GetHeight());
        const size_t words =
            static_cast<size_t>(fromFile->GetRowSpan()) * static_cast<size_t>(fromFile->GetHeight());
        EXPECT_TRUE(
            std::equal(fromFile->GetPixels(), fromFile->GetPixels() + words, fromLibrary->GetPixels()))
            << names[id - 1];
    }
}
#endif

#ifdef _WIN32
TEST(PNGResource, ImagesAreEnglishUSResourcesOfTypePNG) {
    for (int id = 1; id <= 4; ++id) {
        EXPECT_NE(FindResourceExA(ThisModule(), "PNG", MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
                  nullptr)
            << id;
        EXPECT_EQ(FindResourceA(ThisModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)), nullptr) << id;
    }
}

#ifdef KSP_PHASER_LIBRARY
TEST(PNGResource, ThePluginLibraryCarriesTheFourImages) {
    HMODULE plugin = LoadLibraryExA(KSP_PHASER_LIBRARY, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(plugin, nullptr);
    const int heights[] = {174, 2600, 96, 114};
    for (int id = 1; id <= 4; ++id) {
        std::unique_ptr<PIX_MemBitmap> b(PIX_ReadPNGResource(plugin, id));
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->GetHeight(), heights[id - 1]);
    }
    FreeLibrary(plugin);
}
#endif
#endif

} // namespace
