// Faces found through fontconfig and sized as GDI sizes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "FontTestUtil.h"
#include "raster/PIX_SysBitmap.h"

namespace {

std::string FaceOf(PIX_FontHandle font) {
    char name[64];
    return PIX_FontFaceName(font, name, sizeof(name));
}

TEST(FontFace, ArialResolvesToAMetricCompatibleFace) {
    PIX_FontHandle arial = MakeSystemFont();
    ASSERT_NE(arial, nullptr);
    const std::string face = FaceOf(arial);
    RecordProperty("ArialFace", face);
    std::printf("\"Arial\" is drawn with \"%s\"\n", face.c_str());
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face;
    PIX_DeleteFont(arial);
}

TEST(FontFace, ResolvingWritesNothingToStdoutOrStderr) {
    // With no font alive the libraries start afresh, under an unusable locale.
    ASSERT_EQ(PIX_CachedFont::GetLiveFontCount(), 0);
    const char* lang = std::getenv("LANG");
    const std::string savedLang = lang != nullptr ? lang : "";
    setenv("LANG", "xx_YY.bogus", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    PIX_FontHandle arial = MakeSystemFont();
    PIX_FontHandle missing = MakeSystemFont(13, PIX_QualityClearType, "No Such Face 1234");
    PIX_DeleteFont(missing);
    PIX_DeleteFont(arial);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    if (lang != nullptr) {
        setenv("LANG", savedLang.c_str(), 1);
    } else {
        unsetenv("LANG");
    }
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
}

TEST(FontFace, MissingFacesFallBackToAnotherFace) {
    PIX_FontHandle missing = MakeSystemFont(13, PIX_QualityClearType, "No Such Face 1234");
    ASSERT_NE(missing, nullptr);
    const std::string face = FaceOf(missing);
    EXPECT_NE(face, "");
    EXPECT_NE(face, "No Such Face 1234");
    PIX_DeleteFont(missing);
    char name[4] = "xyz";
    EXPECT_STREQ(PIX_FontFaceName(nullptr, name, sizeof(name)), "");
}

TEST(FontFace, HeightsAreSizedAsGdiSizesThem) {
    struct SizeCase {
        int height;
        int lineHeight;
    };
    // Positive: the cell (ascent + descent); negative: the em, the cell then being larger.
    const SizeCase cases[] = {{13, 13}, {20, 20}, {100, 100}, {-16, 17}};
    for (const SizeCase& c : cases) {
        PIX_CachedFont font;
        font.AttachFont(MakeSystemFont(c.height), FontOwnsHandle);
        EXPECT_EQ(font.GetLineHeight(), c.lineHeight) << c.height;
    }
}

TEST(FontFace, BoldIsWiderAndMonoHasNoGreys) {
    PIX_SysBitmap surface(64, 32);
    PIX_CachedFont regular;
    regular.AttachFont(MakeSystemFont(), FontOwnsHandle);
    PIX_CachedFont bold;
    bold.AttachFont(MakeSystemFont(13, PIX_QualityClearType, "Arial", 700), FontOwnsHandle);
    EXPECT_GT(Measure(bold, &surface, "Triangle").right, Measure(regular, &surface, "Triangle").right);

    PIX_CachedFont mono;
    mono.AttachFont(MakeSystemFont(13, PIX_QualityNonAntialiased), FontOwnsHandle);
    Fill(surface, 0);
    mono.SetForeground(0xFFFFFFFF);
    PIX_Rect rect = {2, 2, 60, 30};
    mono.RenderText(&surface, "Hz", -1, rect, DT_NOCLIP);
    int lit = 0;
    for (PIX_Pixel32 p : PixelsOf(surface)) {
        EXPECT_TRUE(p == 0 || p == 0xFFFFFFFF) << std::hex << p;
        lit += p != 0;
    }
    EXPECT_GT(lit, 10);
}

} // namespace
