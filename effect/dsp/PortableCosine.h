#pragma once

// Cosine computed with plain IEEE double operations only, so that every build (Linux, Windows,
// 32 and 64 bit) gets the same bits: the C libraries' cosines differ in the last bit for some
// arguments. Accurate to within one unit in the last place for |x| below about 1.6e6; larger and
// non-finite arguments are left to the C library.
double PortableCos(double x);
