#include "core/NumberText.h"
#include "core/IParameter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

namespace {

TEST(NumberText, FormattedNumbersShowADotWhateverTheLocale) {
    struct Case {
        const char* formatted;
        const char* decimalPoint;
        const char* shown;
    };
    const Case cases[] = {
        {"0,15Hz", ",", "0.15Hz"},
        {"-0,500", ",", "-0.500"},
        {"3\xd9\xab"
         "10Hz",
         "\xd9\xab", "3.10Hz"}, // a two-byte decimal point
        {"1000Hz", ",", "1000Hz"},
        {"0.25", ".", "0.25"},
    };
    for (const Case& c : cases) {
        char text[64];
        std::strcpy(text, c.formatted);
        UseDotDecimalPoint(text, c.decimalPoint);
        EXPECT_STREQ(text, c.shown) << c.formatted;
    }
}

TEST(NumberText, ParametersShowAndReadDotsUnderACommaLocale) {
    const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
    const char* chosen = nullptr;
    for (const char* name : locales) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    IParameter parameter;
    parameter.SetupContinuous("Depth", 0.5, 0.0, 1.0, 0.01, 1.0);
    char text[kParameterTextCapacity];
    parameter.FormatDisplay(0.25, false, text, true);
    double plain = 0.0;
    const bool parsed = parameter.ParseText("0.75", plain);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_STREQ(text, "0.25") << chosen;
    EXPECT_TRUE(parsed);
    EXPECT_DOUBLE_EQ(plain, 0.75);
}

TEST(NumberText, LeadingNumbersReadAsStrtodInTheCLocale) {
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("-12.25dB"), -12.25);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("7"), 7.0);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(nullptr), 0.0);
}

} // namespace
