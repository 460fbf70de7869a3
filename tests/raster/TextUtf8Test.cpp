#include <gtest/gtest.h>

#include <vector>

#include "raster/PIX_Utf8.h"

namespace {

struct DecodeCase {
    const char* name;
    std::vector<unsigned char> bytes; // what may be read
    int available;                    // negative: up to the terminating zero
    uint16_t ch;
    int used;
};

TEST(TextUtf8, DecodesOneCharacterAtATime) {
    const DecodeCase cases[] = {
        {"ascii", {'A', 0}, -1, 'A', 1},
        {"two bytes", {0xC3, 0xA9, 0}, -1, 0xE9, 2},
        {"three bytes", {0xE2, 0x82, 0xAC, 0}, -1, 0x20AC, 3},
        {"four bytes give a space", {0xF0, 0x9F, 0x98, 0x80, 0}, -1, 32, 4},
        {"lone lead byte", {0xE9, 0}, -1, 0xE9, 1},
        {"lone continuation byte", {0x80, 0}, -1, 0x80, 1},
        {"overlong lead C0", {0xC0, 0x80, 0}, -1, 0xC0, 1},
        {"lead F5 is no lead", {0xF5, 0x80, 0x80, 0x80, 0}, -1, 0xF5, 1},
        {"sequence cut by the terminator", {0xE2, 0x82, 0}, -1, 0xE2, 1},
        {"sequence cut by the length", {0xC3, 0xA9}, 1, 0xC3, 1},
        {"three bytes, two available", {0xE2, 0x82, 0xAC}, 2, 0xE2, 1},
        {"four bytes, three available", {0xF0, 0x9F, 0x98, 0x80}, 3, 0xF0, 1},
        {"exactly available", {0xE2, 0x82, 0xAC}, 3, 0x20AC, 3},
    };
    for (const DecodeCase& c : cases) {
        uint16_t ch = 0;
        const int used = PIX_DecodeUtf8(reinterpret_cast<const char*>(c.bytes.data()), c.available, ch);
        EXPECT_EQ(used, c.used) << c.name;
        EXPECT_EQ(ch, c.ch) << c.name;
    }
}

TEST(TextUtf8, FindsSequencesThatNeedWideText) {
    struct ScanCase {
        const char* text;
        int length;
        bool found;
    };
    // A four-byte lead needs only two continuation bytes here; Latin-1 bytes are no UTF-8;
    // sequences beyond the length do not count.
    const ScanCase cases[] = {
        {"plain ASCII", -1, false},     {"caf\xC3\xA9", -1, true}, {"\xE2\x82\xAC", -1, true},
        {"\xF0\x9F\x98\x80", -1, true}, {"\xF0\x9F", -1, false},   {"\xE9t\xE9", -1, false},
        {"caf\xC3\xA9", 4, false},      {"caf\xC3\xA9", 5, true},  {"\xC3\xA9", 0, false},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(PIX_HasUtf8Sequence(c.text, c.length), c.found) << c.text << " / " << c.length;
    }
}

} // namespace
