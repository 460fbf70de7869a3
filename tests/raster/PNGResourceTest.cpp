#include "raster/PIX_PNG.h"

#include <gtest/gtest.h>

#include <memory>

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
#endif

} // namespace
