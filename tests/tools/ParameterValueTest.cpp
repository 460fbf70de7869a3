#include "tools/host/ParameterValue.h"

#include <gtest/gtest.h>

namespace {

TEST(ParameterValue, NumbersWithUnitsAreTellsApartFromOtherTexts) {
    const struct {
        const char* text;
        bool numeric;
        double number;
        const char* unit;
    } cases[] = {
        {"1000Hz", true, 1000.0, "Hz"},   {" -50 % ", true, -50.0, "%"}, {"0.00 dB", true, 0.0, "dB"},
        {"24.000000 m", true, 24.0, "m"}, {"+.5", true, 0.5, ""},        {"1e3 Hz", true, 1000.0, "Hz"},
        {"2 eV", true, 2.0, "eV"},                                  // an e that starts a unit is no exponent
        {"-0%", true, 0.0, "%"},          {"16/1", false, 0.0, ""}, // note values
        {"1/2.", false, 0.0, ""},                                   //
        {"50:50", false, 0.0, ""},                                  // a mix
        {">100%<", false, 0.0, ""},                                 // text before the number
        {"\\100%/", false, 0.0, ""},                                //
        {"on", false, 0.0, ""},           {"-", false, 0.0, ""},         {"inf", false, 0.0, ""},
        {"nan", false, 0.0, ""},          {"0x10", false, 0.0, ""},      {"", false, 0.0, ""},
    };
    for (const auto& c : cases) {
        double number = -1.0;
        std::string unit = "?";
        EXPECT_EQ(ksphost::ParseNumberWithUnit(c.text, number, unit), c.numeric) << c.text;
        if (c.numeric) {
            EXPECT_EQ(number, c.number) << c.text;
            EXPECT_EQ(unit, c.unit) << c.text;
        }
    }
}

} // namespace
