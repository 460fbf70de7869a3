#include "effect/dsp/PortableCosine.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Minimax polynomials on [-π/4, π/4]; y is the tail of the reduced argument x + y.
double KernelCos(double x, double y) {
    constexpr double c1 = 4.16666666666666019037e-02;
    constexpr double c2 = -1.38888888888741095749e-03;
    constexpr double c3 = 2.48015872894767294178e-05;
    constexpr double c4 = -2.75573143513906633035e-07;
    constexpr double c5 = 2.08757232129817482790e-09;
    constexpr double c6 = -1.13596475577881948265e-11;
    const double z = x * x;
    double w = z * z;
    const double r = z * (c1 + z * (c2 + z * c3)) + w * w * (c4 + z * (c5 + z * c6));
    const double hz = 0.5 * z;
    w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + (z * r - x * y));
}

double KernelSin(double x, double y) {
    constexpr double s1 = -1.66666666666666324348e-01;
    constexpr double s2 = 8.33333333332248946124e-03;
    constexpr double s3 = -1.98412698298579493134e-04;
    constexpr double s4 = 2.75573137070700676789e-06;
    constexpr double s5 = -2.50507602534068634195e-08;
    constexpr double s6 = 1.58969099521155010221e-10;
    const double z = x * x;
    const double w = z * z;
    const double r = s2 + z * (s3 + z * s4) + z * w * (s5 + z * s6);
    const double v = z * x;
    return x - ((z * (0.5 * y - v * r) - y) - v * s1);
}

int Exponent(double x) {
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof(bits));
    return static_cast<int>((bits >> 52) & 0x7ff);
}

} // namespace

double PortableCos(double x) {
    constexpr double quarterPi = 0.78539816339744827900;
    constexpr double reductionLimit = 1647099.3291652855; // 2^20 × π/2
    const double magnitude = std::fabs(x);
    if (magnitude <= quarterPi) {
        return KernelCos(x, 0.0);
    }
    if (!(magnitude < reductionLimit)) {
        return std::cos(x);
    }
    // x = n × π/2 + (y0 + y1), with π/2 split into three parts so that the reduction stays
    // exact enough even next to a multiple of π/2.
    constexpr double inversePiOver2 = 6.36619772367581382433e-01;
    constexpr double piOver2Part1 = 1.57079632673412561417e+00;
    constexpr double piOver2Part1Tail = 6.07710050650619224932e-11;
    constexpr double piOver2Part2 = 6.07710050630396597660e-11;
    constexpr double piOver2Part2Tail = 2.02226624879595063154e-21;
    constexpr double piOver2Part3 = 2.02226624871116645580e-21;
    constexpr double piOver2Part3Tail = 8.47842766036889956997e-32;
    const double fn = std::floor(x * inversePiOver2 + 0.5);
    const int n = static_cast<int>(fn);
    double r = x - fn * piOver2Part1;
    double w = fn * piOver2Part1Tail;
    double y0 = r - w;
    const int exponent = Exponent(x);
    if (exponent - Exponent(y0) > 16) {
        double t = r;
        w = fn * piOver2Part2;
        r = t - w;
        w = fn * piOver2Part2Tail - ((t - r) - w);
        y0 = r - w;
        if (exponent - Exponent(y0) > 49) {
            t = r;
            w = fn * piOver2Part3;
            r = t - w;
            w = fn * piOver2Part3Tail - ((t - r) - w);
            y0 = r - w;
        }
    }
    const double y1 = (r - y0) - w;
    switch (n & 3) {
    case 0:
        return KernelCos(y0, y1);
    case 1:
        return -KernelSin(y0, y1);
    case 2:
        return -KernelCos(y0, y1);
    default:
        return KernelSin(y0, y1);
    }
}
