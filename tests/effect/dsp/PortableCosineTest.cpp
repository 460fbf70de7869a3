#include "effect/dsp/PortableCosine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Distance in units in the last place between two doubles of one sign.
int64_t UlpDistance(double a, double b) {
    if (a == b) {
        return 0;
    }
    if ((a < 0.0) != (b < 0.0)) {
        return INT64_MAX;
    }
    int64_t ia = 0;
    int64_t ib = 0;
    std::memcpy(&ia, &a, sizeof(a));
    std::memcpy(&ib, &b, sizeof(b));
    return ia > ib ? ia - ib : ib - ia;
}

TEST(PortableCosine, WithinOneUlpOverTheLFORange) {
    // The LFO phase lies in [-2π, 2π), plus a stereo offset of up to π. The reference is the
    // extended-precision cosine, rounded; right next to its zeros that is not exact enough.
    int64_t worst = 0;
    const int steps = 400000;
    for (int i = 0; i <= steps; ++i) {
        const double x = -10.0 + 20.0 * i / steps;
        const double expected = static_cast<double>(std::cos(static_cast<long double>(x)));
        if (std::fabs(expected) > 1e-3) {
            worst = std::max(worst, UlpDistance(PortableCos(x), expected));
        }
    }
    EXPECT_LE(worst, 1);
}

TEST(PortableCosine, NextToMultiplesOfHalfPi) {
    // Correctly rounded values: where the argument reduction has to be exact.
    const struct {
        double x;
        double cosine;
    } cases[] = {
        {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54},
        {0x1.921fb54442d19p+0, -0x1.72cece675d1fcp-53},
        {0x1.2d97c7f3321d2p+2, -0x1.a79394c9e8a0ap-53},
        {0x1.2d97c7f3321d3p+2, 0x1.961b1acd85d7dp-51},
        {0x1.921fb54442d18p+2, 0x1p+0},
        {0x1.5fdbbe9bba775p+3, -0x1.ee2c2d963a10cp-52},
        {0x1.5fdbbe9bba776p+3, 0x1.8474f49a717bdp-50},
        {0x1.89177ef1fa515p+10, -0x1.3f552891590a4p-48},
        {0x1.89177ef1fa516p+10, -0x1.04fd54a245643p-42},
        {0x1.88b2f704a9409p+12, 0x1p+0},
        {0x1p-1, 0x1.c1528065b7d5p-1},
        {0x1p+1, -0x1.aa22657537205p-2},
        {-0x1.8p+1, -0x1.fae04be85e5d2p-1},
        {0x1.6p+2, 0x1.6ad6c3c07d448p-1},
        {0x1.3cccccccccccdp+3, -0x1.c7441010d641ap-1},
    };
    for (const auto& c : cases) {
        EXPECT_LE(UlpDistance(PortableCos(c.x), c.cosine), 1) << c.x;
    }
}

TEST(PortableCosine, SpecialArguments) {
    EXPECT_EQ(PortableCos(0.0), 1.0);
    EXPECT_EQ(PortableCos(-0.0), 1.0);
    EXPECT_EQ(PortableCos(6.283185307179586), 1.0);
    EXPECT_EQ(PortableCos(3.141592653589793), -1.0);
    EXPECT_TRUE(std::isnan(PortableCos(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isnan(PortableCos(std::numeric_limits<double>::infinity())));
    const double large = PortableCos(1e7); // beyond the reduction: the library's own
    EXPECT_GE(large, -1.0);
    EXPECT_LE(large, 1.0);
}

} // namespace
