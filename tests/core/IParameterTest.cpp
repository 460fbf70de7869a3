#include "core/IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Display(const IParameter& parameter, double v, bool normalized = false, bool withTexts = true) {
    char text[kParameterTextCapacity] = "unchanged";
    parameter.FormatDisplay(v, normalized, text, withTexts);
    return text;
}

TEST(IParameter, SetupChainKeepsTheOutermostType) {
    IParameter boolean;
    boolean.SetupBoolean("Stages");
    EXPECT_EQ(boolean.Type(), kParameterBoolean);
    EXPECT_EQ(boolean.Min(), 0.0);
    EXPECT_EQ(boolean.Max(), 1.0);
    EXPECT_EQ(boolean.Step(), 1.0);
    EXPECT_EQ(boolean.ValueTextCount(), 2);
    EXPECT_STREQ(boolean.ValueText(0), "off");
    EXPECT_STREQ(boolean.ValueText(1), "on");

    IParameter enumerated;
    enumerated.SetupEnumerated("Waveform", 1, 2);
    EXPECT_EQ(enumerated.Type(), kParameterEnumerated);
    EXPECT_EQ(enumerated.Value(), 1.0);
    EXPECT_EQ(enumerated.ValueTextCount(), 0);

    IParameter integer;
    integer.SetupInteger("Count", 3, 1, 8);
    EXPECT_EQ(integer.Type(), kParameterInteger);
    EXPECT_EQ(integer.Max(), 8.0);
}

TEST(IParameter, ContinuousSetupFixesRangeDecimalsAndShape) {
    struct Case {
        double min, max, step, shape;
        double expectedMax;
        int expectedDecimals;
        double expectedShape;
    };
    const Case cases[] = {
        {0.0, 1.0, 0.001, 2.0, 1.0, 3, 2.0}, {0.0, 1.0, 0.01, 1.0, 1.0, 2, 1.0},
        {0.0, 10.0, 1.0, 1.0, 10.0, 0, 1.0}, {0.0, 1.0, 1e-7, 1.0, 1.0, 6, 1.0},
        {0.5, 0.5, 0.25, 1.0, 0.75, 2, 1.0}, // max equal to min spans one step
        {0.0, 1.0, 0.01, 0.0, 1.0, 2, 1.0},  // shape 0 keeps the fresh shape
    };
    for (const Case& c : cases) {
        IParameter parameter;
        parameter.SetupContinuous("P", c.min, c.min, c.max, c.step, c.shape);
        EXPECT_EQ(parameter.Type(), kParameterContinuous);
        EXPECT_EQ(parameter.Max(), c.expectedMax) << c.step;
        EXPECT_EQ(parameter.Decimals(), c.expectedDecimals) << c.step;
        EXPECT_EQ(parameter.Shape(), c.expectedShape) << c.step;
    }
}

TEST(IParameter, LongNamesAreCut) {
    IParameter parameter;
    parameter.SetupContinuous("A name far longer than thirty-one characters", 0, 0, 1, 0.1, 1);
    EXPECT_EQ(std::string(parameter.Name()),
              std::string("A name far longer than thirty-one characters").substr(0, 31));
}

TEST(IParameter, NormalisedMappingFollowsTheShape) {
    IParameter parameter;
    parameter.SetupContinuous("Manual", 0.0625, 0.0, 1.0, 0.001, 2.0);
    EXPECT_DOUBLE_EQ(parameter.NormalizedOf(0.25), 0.5);
    EXPECT_DOUBLE_EQ(parameter.PlainOf(0.5), 0.25);
    parameter.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(parameter.Value(), 0.25);
    EXPECT_DOUBLE_EQ(parameter.Normalized(), 0.5);
    EXPECT_EQ(parameter.NormalizedOf(-3.0), 0.0);
    EXPECT_EQ(parameter.NormalizedOf(7.0), 1.0);

    IParameter feedback;
    feedback.SetupContinuous("Feedback", 0.0, -1.0, 1.0, 0.01, 1.0);
    EXPECT_DOUBLE_EQ(feedback.NormalizedOf(0.0), 0.5);
    EXPECT_DOUBLE_EQ(feedback.PlainOf(0.25), -0.5);
}

TEST(IParameter, SteppedTypesRoundHalfUpOnTheGrid) {
    IParameter boolean;
    boolean.SetupBoolean("Sync");
    boolean.SetFromNormalized(0.49);
    EXPECT_EQ(boolean.Value(), 0.0);
    boolean.SetFromNormalized(0.5);
    EXPECT_EQ(boolean.Value(), 1.0);

    // The grid is anchored at 0: max 2.5 is off the grid, so 1.0 rounds to 3 and is capped.
    IParameter offGrid;
    offGrid.SetupInteger("Count", 0, 0, 1);
    offGrid.SetupContinuous("Count", 0, 0.0, 2.5, 1.0, 1.0);
    offGrid.SetFromNormalized(1.0);
    EXPECT_EQ(offGrid.Value(), 2.5);

    // A min off the grid: the rounded value would fall below it and is raised to it.
    IParameter lowMin;
    lowMin.SetupInteger("Low", 0, 0, 1);
    lowMin.SetupContinuous("Low", 0.3, 0.3, 3.3, 1.0, 1.0);
    lowMin.SetFromNormalized(0.0);
    EXPECT_EQ(lowMin.Value(), 0.3);
}

TEST(IParameter, NonFiniteAndOutOfRangeValuesNeverLeaveTheRange) {
    IParameter parameter;
    parameter.SetupContinuous("Manual", 0.0625, 0.0, 1.0, 0.001, 2.0);
    const struct {
        double normalized;
        double expected;
    } normalizedCases[] = {{kNaN, 0.0625}, {-1.0, 0.0}, {2.0, 1.0}, {kInf, 1.0}, {-kInf, 0.0}};
    for (const auto& c : normalizedCases) {
        parameter.SetFromPlain(0.0625);
        parameter.SetFromNormalized(c.normalized);
        EXPECT_EQ(parameter.Value(), c.expected) << c.normalized;
    }

    IParameter feedback;
    feedback.SetupContinuous("Feedback", 0.5, -1.0, 1.0, 0.01, 1.0);
    const struct {
        double plain;
        double expected;
    } plainCases[] = {{kNaN, 0.5}, {2.0, 1.0}, {-2.0, -1.0}, {kInf, 1.0}, {-kInf, -1.0}, {0.25, 0.25}};
    for (const auto& c : plainCases) {
        feedback.SetFromPlain(0.5);
        feedback.SetFromPlain(c.plain);
        EXPECT_EQ(feedback.Value(), c.expected) << c.plain;
    }
}

TEST(IParameter, DisplayTruncatesAndUsesValueTexts) {
    IParameter integer;
    integer.SetupInteger("Count", 0, -5, 5);
    EXPECT_EQ(Display(integer, 2.9), "2");
    EXPECT_EQ(Display(integer, -2.9), "-2");

    IParameter continuous;
    continuous.SetupContinuous("Mix", 0.5, 0.0, 1.0, 0.01, 1.0);
    EXPECT_EQ(Display(continuous, 0.256), "0.26");
    EXPECT_EQ(Display(continuous, 0.5, true), "0.50");

    IParameter boolean;
    boolean.SetupBoolean("Sync");
    EXPECT_EQ(Display(boolean, 0.99), "off"); // the lookup truncates
    EXPECT_EQ(Display(boolean, 1.0), "on");
    EXPECT_EQ(Display(boolean, 1.0, false, false), "1");
    EXPECT_EQ(Display(boolean, 1e300), "2147483647"); // beyond int32: saturates, no overflow

    boolean.SetDisplayFunction(
        [](double plain, char* out) { std::snprintf(out, kParameterTextCapacity, "<%g>", plain); });
    EXPECT_EQ(Display(boolean, 1.0), "<1>");
    EXPECT_EQ(Display(boolean, 0.25, true), "<0.25>");
}

TEST(IParameter, EmptyTextsFallBackToNumbers) {
    IParameter partial;
    partial.SetupEnumerated("Mode", 0, 3);
    partial.AddValueText(0, "zero");
    partial.AddValueText(1, "");
    EXPECT_EQ(Display(partial, 0.0), "zero");
    EXPECT_EQ(Display(partial, 1.0), "1");
    EXPECT_EQ(Display(partial, 2.0), "2");
    EXPECT_STREQ(partial.LabelForHost(), "");
}

TEST(IParameter, ParseTextMatchesValueTextsExactly) {
    IParameter boolean;
    boolean.SetupBoolean("Sync");
    double plain = -1.0;
    EXPECT_TRUE(boolean.ParseText("on", plain));
    EXPECT_EQ(plain, 1.0);
    plain = -1.0;
    EXPECT_FALSE(boolean.ParseText("On", plain));
    EXPECT_FALSE(boolean.ParseText("yes", plain));
    EXPECT_FALSE(boolean.ParseText("1", plain));
    EXPECT_FALSE(boolean.ParseText(nullptr, plain));
    EXPECT_EQ(plain, -1.0);
}

TEST(IParameter, ParseTextReadsTheLeadingNumberAndRefusesNonFinite) {
    IParameter parameter;
    parameter.SetupContinuous("Gain", 0.5, 0.0, 1.0, 0.01, 1.0);
    const struct {
        const char* text;
        bool ok;
        double plain;
    } cases[] = {
        {"0.25", true, 0.25},  {"5", true, 5.0},         {"-3.5dB", true, -3.5}, {"abc", true, 0.0},
        {"", true, 0.0},       {"nan", false, 0.0},      {"inf", false, 0.0},    {"-Infinity", false, 0.0},
        {"1e999", false, 0.0}, {"NAN(123)", false, 0.0},
    };
    for (const auto& c : cases) {
        double plain = 42.0;
        EXPECT_EQ(parameter.ParseText(c.text, plain), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(plain, c.plain) << c.text;
        } else {
            EXPECT_EQ(plain, 42.0) << c.text;
        }
    }
}

} // namespace
