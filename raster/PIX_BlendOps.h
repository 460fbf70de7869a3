#pragma once

// The per-pixel blend operators. Each takes the destination pixel, the source channels and an
// integer weight (256 = full strength); the source alpha channel may exceed 255 when a fill
// passes its weight in its place. All arithmetic is signed 32-bit integer; "/" truncates
// toward zero. Results go through PIX_Pack, which clamps each channel to 0..255.
#include "raster/PIX_Blend.h"
#include "raster/PIX_IBitmap.h"

#include <array>

namespace pix_ops {

inline int Blue(PIX_Pixel32 p) {
    return static_cast<int>(p & 0xFF);
}
inline int Green(PIX_Pixel32 p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
inline int Red(PIX_Pixel32 p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
inline int Alpha(PIX_Pixel32 p) {
    return static_cast<int>(p >> 24);
}

inline PIX_Pixel32 Clamp255(int v) {
    return static_cast<PIX_Pixel32>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline PIX_Pixel32 PIX_Pack(int b, int g, int r, int a) {
    return Clamp255(b) | (Clamp255(g) << 8) | (Clamp255(r) << 16) | (Clamp255(a) << 24);
}

// Each byte of a word halved, quartered or divided by eight at once, rounding down.
inline PIX_Pixel32 Half(PIX_Pixel32 v) {
    return (v >> 1) & 0x7F7F7F7F;
}
inline PIX_Pixel32 Quarter(PIX_Pixel32 v) {
    return (v >> 2) & 0x3F3F3F3F;
}
inline PIX_Pixel32 Eighth(PIX_Pixel32 v) {
    return (v >> 3) & 0x1F1F1F1F;
}

// Channels already known to lie in 0..255.
inline PIX_Pixel32 PackInRange(int b, int g, int r, int a) {
    return static_cast<PIX_Pixel32>(b) | (static_cast<PIX_Pixel32>(g) << 8) |
           (static_cast<PIX_Pixel32>(r) << 16) | (static_cast<PIX_Pixel32>(a) << 24);
}

struct Source {
    int b;
    int g;
    int r;
    int a;
};

inline Source Unpack(PIX_Pixel32 p) {
    return {Blue(p), Green(p), Red(p), Alpha(p)};
}

// The source-alpha weight of a pixel.
inline int AlphaWeight(int sa, int w) {
    return (sa + 1) * w / 256;
}

// d' = s + (d - s) * (256 - w) / 256 on all four channels (w in 1..256 keeps them in range).
struct Copy {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        const int inv = 256 - w;
        d = PackInRange(s.b + (Blue(d) - s.b) * inv / 256, s.g + (Green(d) - s.g) * inv / 256,
                        s.r + (Red(d) - s.r) * inv / 256, s.a + (Alpha(d) - s.a) * inv / 256);
    }
};

// Source alpha at full weight: the source's own alpha decides.
struct CopySourceAlphaFull {
    static void Apply(PIX_Pixel32& d, const Source& s, int) {
        if (s.a == 0) {
            return;
        }
        if (s.a == 255) {
            d = PackInRange(s.b, s.g, s.r, 255);
            return;
        }
        const int inv = 255 - s.a;
        const int a = Alpha(d) + s.a;
        d = PackInRange(s.b + (Blue(d) - s.b) * inv / 256, s.g + (Green(d) - s.g) * inv / 256,
                        s.r + (Red(d) - s.r) * inv / 256, a > 255 ? 255 : a);
    }
};

struct CopySourceAlpha {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        if (s.a == 0) {
            return;
        }
        const int k = AlphaWeight(s.a, w);
        const int inv = 256 - k;
        const int a = Alpha(d) + k;
        d = PackInRange(s.b + (Blue(d) - s.b) * inv / 256, s.g + (Green(d) - s.g) * inv / 256,
                        s.r + (Red(d) - s.r) * inv / 256, a > 255 ? 255 : a);
    }
};

struct Add {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        d = PIX_Pack(Blue(d) + s.b * w / 256, Green(d) + s.g * w / 256, Red(d) + s.r * w / 256,
                     Alpha(d) + s.a * w / 256);
    }
};

struct AddSourceAlpha {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        if (s.a == 0) {
            return;
        }
        const int k = AlphaWeight(s.a, w);
        d = PIX_Pack(Blue(d) + k * s.b / 256, Green(d) + k * s.g / 256, Red(d) + k * s.r / 256,
                     Alpha(d) + s.a * k / 256);
    }
};

inline int DodgeChannel(int d, int s, int w) {
    const int x = s * w / 256;
    if (x > 254) {
        return d > 0 ? 255 : 0;
    }
    return d * 256 / (256 - x);
}

struct Dodge {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        d = PIX_Pack(DodgeChannel(Blue(d), s.b, w), DodgeChannel(Green(d), s.g, w),
                     DodgeChannel(Red(d), s.r, w), DodgeChannel(Alpha(d), s.a, w));
    }
};

inline int MultiplyChannel(int d, int s, int w) {
    return (d * (s * w + (256 - w) * 256)) >> 16;
}

struct Multiply {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        d = PIX_Pack(MultiplyChannel(Blue(d), s.b, w), MultiplyChannel(Green(d), s.g, w),
                     MultiplyChannel(Red(d), s.r, w), MultiplyChannel(Alpha(d), s.a, w));
    }
};

struct MultiplySourceAlpha {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        if (s.a != 0) {
            Multiply::Apply(d, s, AlphaWeight(s.a, w));
        }
    }
};

inline int OverlayChannel(int d, int s, int w) {
    const int m = s * w + (256 - w) * 128;
    return ((((32768 - m) * d / 256) + m) * d) >> 15;
}

struct Overlay {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        d = PIX_Pack(OverlayChannel(Blue(d), s.b, w), OverlayChannel(Green(d), s.g, w),
                     OverlayChannel(Red(d), s.r, w), OverlayChannel(Alpha(d), s.a, w));
    }
};

// 65536 / i - 1, the reciprocals of the hue and saturation computations.
inline constexpr std::array<int, 256> kReciprocal = [] {
    std::array<int, 256> t{};
    for (int i = 1; i < 256; ++i) {
        t[static_cast<size_t>(i)] = 65536 / i - 1;
    }
    return t;
}();

// Hue 0..383 (six sectors of 64), saturation and value 0..255.
struct Hsv {
    int h;
    int s;
    int v;
};

inline Hsv RgbToHsv(int r, int g, int b) {
    int max;
    int delta;
    int base;
    int n;
    if (g > r) {
        if (g > b) {
            max = g;
            delta = g - (r < b ? r : b);
            base = 128;
            n = b - r;
        } else {
            max = b;
            delta = b - r;
            base = 256;
            n = r - g;
        }
    } else if (r > b) {
        max = r;
        if (g < b) {
            delta = r - g;
            base = 383;
            n = g - b;
        } else {
            delta = r - b;
            base = 0;
            n = g - b;
        }
    } else {
        max = b;
        delta = b - (g < r ? g : r);
        base = 256;
        n = r - g;
    }
    return {base + n * (kReciprocal[static_cast<size_t>(delta)] + 1) / 1024,
            kReciprocal[static_cast<size_t>(max)] * delta / 256, max};
}

inline PIX_Pixel32 HsvToPixel(const Hsv& c, int alpha) {
    const int s = c.s;
    const int v = c.v;
    const int p = (256 - s) * v / 256;
    auto f = [s, v](int t) { return ((t * s + 16384) * v) / 16384; };
    const int h = c.h;
    switch (h >> 6) {
    case 0:
        return PIX_Pack(p, f(h - 64), v, alpha);
    case 1:
        return PIX_Pack(p, v, f(64 - h), alpha);
    case 2:
        return PIX_Pack(f(h - 192), v, p, alpha);
    case 3:
        return PIX_Pack(v, f(192 - h), p, alpha);
    case 4:
        return PIX_Pack(v, p, f(h - 320), alpha);
    default:
        return PIX_Pack(f(320 - h), p, v, alpha);
    }
}

// Shifts the destination's hue by the source's red, its saturation by the source's green and
// its value by the source's blue; the alpha becomes the source's.
struct HsvShift {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) {
        Hsv c = RgbToHsv(Red(d), Green(d), Blue(d));
        c.h += (s.r + s.r / 2 - 192) * w / 256;
        if (c.h < 0) {
            c.h += 384;
        } else if (c.h > 383) {
            c.h -= 384;
        }
        c.s = static_cast<int>(Clamp255(c.s + (s.g - 128) * w / 128));
        c.v = static_cast<int>(Clamp255(c.v + (s.b - 128) * w / 128));
        d = HsvToPixel(c, s.a);
    }
};

// Operators that take the source-alpha weight on every pixel, transparent ones included.
template <class Op>
struct WithAlphaWeight {
    static void Apply(PIX_Pixel32& d, const Source& s, int w) { Op::Apply(d, s, AlphaWeight(s.a, w)); }
};

// The row of each operator with source alpha (below full weight for Copy).
template <class Op>
struct SourceAlphaForm {
    using Type = WithAlphaWeight<Op>;
};
template <>
struct SourceAlphaForm<Copy> {
    using Type = CopySourceAlpha;
};
template <>
struct SourceAlphaForm<Add> {
    using Type = AddSourceAlpha;
};
template <>
struct SourceAlphaForm<Multiply> {
    using Type = MultiplySourceAlpha;
};

// Calls f with the constant-weight operator of operator byte op (BlendCopy .. BlendHsvShift);
// other operators call nothing.
template <class F>
void WithOperator(int op, F f) {
    switch (op) {
    case BlendCopy:
        f(Copy{});
        return;
    case BlendAdd:
        f(Add{});
        return;
    case BlendDodge:
        f(Dodge{});
        return;
    case BlendMultiply:
        f(Multiply{});
        return;
    case BlendOverlay:
        f(Overlay{});
        return;
    case BlendHsvShift:
        f(HsvShift{});
        return;
    default:
        return;
    }
}

} // namespace pix_ops
