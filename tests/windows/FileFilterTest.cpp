#include "platform/win/FileFilter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Pattern(const char* extensions, int capacity = 256) {
    char out[256] = {};
    const int n = BuildExtensionPattern(extensions, out, capacity);
    EXPECT_EQ(n, static_cast<int>(std::string(out).size()));
    return out;
}

TEST(FileFilter, PatternOfAnExtensionList) {
    EXPECT_EQ(Pattern("png"), "*.png");
    EXPECT_EQ(Pattern("png jpg"), "*.png;*.jpg");
    EXPECT_EQ(Pattern("png  jpg"), "*.png;*.;*.jpg"); // two spaces: an empty extension
    EXPECT_EQ(Pattern(" png"), "*.;*.png");           // a leading space: a leading "*."
    EXPECT_EQ(Pattern("png "), "*.png");              // a trailing space adds nothing
    EXPECT_EQ(Pattern(""), "");
    EXPECT_EQ(Pattern(nullptr), "");
    // Cut to the buffer, terminator included.
    EXPECT_EQ(Pattern("png jpg", 8), "*.png;*");
}

} // namespace
