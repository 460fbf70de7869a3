#include "raster/PIX_Blend.h"

#include "raster/PIX_BlendOps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace {

using namespace pix_ops;

// The pixels an operation touches: rows of `columns` pixels, each bitmap walked by its own step.
struct Region {
    PIX_Pixel32* dest;
    ptrdiff_t destStep;
    const PIX_Pixel32* src;
    ptrdiff_t srcStep;
    int columns;
    int rows;
};

template <class Op>
void CompositeRows(const Region& r, int w) {
    PIX_Pixel32* d = r.dest;
    const PIX_Pixel32* s = r.src;
    for (int y = 0; y < r.rows; ++y, d += r.destStep, s += r.srcStep) {
        for (int x = 0; x < r.columns; ++x) {
            Op::Apply(d[x], Unpack(s[x]), w);
        }
    }
}

template <class Op>
void FillRows(const Region& r, const Source& colour, int w) {
    PIX_Pixel32* d = r.dest;
    for (int y = 0; y < r.rows; ++y, d += r.destStep) {
        for (int x = 0; x < r.columns; ++x) {
            Op::Apply(d[x], colour, w);
        }
    }
}

// Whole-word arithmetic for the exact weights: f combines the destination and source words.
template <class F>
void CombineRows(const Region& r, F f) {
    PIX_Pixel32* d = r.dest;
    const PIX_Pixel32* s = r.src;
    for (int y = 0; y < r.rows; ++y, d += r.destStep, s += r.srcStep) {
        for (int x = 0; x < r.columns; ++x) {
            d[x] = f(d[x], s[x]);
        }
    }
}

template <class F>
void FillWords(const Region& r, F f) {
    PIX_Pixel32* d = r.dest;
    for (int y = 0; y < r.rows; ++y, d += r.destStep) {
        for (int x = 0; x < r.columns; ++x) {
            d[x] = f(d[x]);
        }
    }
}

void CopyRows(const Region& r) {
    PIX_Pixel32* d = r.dest;
    const PIX_Pixel32* s = r.src;
    const size_t bytes = static_cast<size_t>(r.columns) * sizeof(PIX_Pixel32);
    for (int y = 0; y < r.rows; ++y, d += r.destStep, s += r.srcStep) {
        std::memmove(d, s, bytes);
    }
}

void ChannelCopyRows(const Region& r, int mode) {
    const int destShift = ((mode >> 2) & 3) * 8;
    const int srcShift = (mode & 3) * 8;
    const PIX_Pixel32 keep = ~(PIX_Pixel32(0xFF) << destShift);
    CombineRows(r, [=](PIX_Pixel32 d, PIX_Pixel32 s) {
        return (d & keep) | (((s >> srcShift) & 0xFF) << destShift);
    });
}

// BlendCopy draws nothing at weights of 0 or less. Asked inside each operator's instance, so
// that the compiler knows the weight's sign in its loop.
template <class Op>
bool DrawsNothing(int w) {
    return std::is_same_v<Op, Copy> && w <= 0;
}

// Runs the weighted operators of the composite; mode is already limited to bit 16 and the
// operator byte, and w is not 0.
void CompositeWeighted(const Region& r, int mode, int w) {
    if (w == 256 && mode == BlendCopy) {
        CopyRows(r);
        return;
    }
    if (w == 256 && mode == (BlendCopy | BlendUseSourceAlpha)) {
        CompositeRows<CopySourceAlphaFull>(r, w);
        return;
    }
    const bool sourceAlpha = (mode & BlendUseSourceAlpha) != 0;
    WithOperator(mode & 0xFF, [&r, w, sourceAlpha](auto o) {
        using Op = decltype(o);
        if (DrawsNothing<Op>(w)) {
            return;
        }
        if (sourceAlpha) {
            CompositeRows<typename SourceAlphaForm<Op>::Type>(r, w);
        } else {
            CompositeRows<Op>(r, w);
        }
    });
}

inline int LimitWeight(int w) {
    return w > 256 ? 256 : (w < -256 ? -256 : w);
}

template <class Op>
void ApplyPixel(PIX_Pixel32* dest, PIX_Pixel32 src, int w) {
    if (!DrawsNothing<Op>(w)) {
        Op::Apply(*dest, Unpack(src), LimitWeight(w));
    }
}

} // namespace

int PIX_IntegerWeight(double weight, int limit) {
    if (std::isnan(weight)) {
        return 0;
    }
    const double scaled = weight * 256.0;
    if (scaled >= limit) {
        return limit;
    }
    if (scaled <= -limit) {
        return -limit;
    }
    return static_cast<int>(scaled);
}

PIX_PixelOperator PIX_GetPixelOperator(int op) {
    PIX_PixelOperator apply = nullptr;
    WithOperator(op, [&apply](auto o) { apply = ApplyPixel<decltype(o)>; });
    return apply;
}

void PIX_CompositeRect(PIX_IBitmap* dest, const PIX_IBitmap* src, int x, int y, const PIX_Rect* srcRect,
                       float weight, int mode) {
    if (!dest || !src || weight == 0) {
        return;
    }
    // Clipping in 64 bits: extreme rectangles and positions must not wrap around.
    const int64_t destWidth = dest->GetWidth();
    const int64_t destHeight = dest->GetHeight();
    int64_t sl = 0;
    int64_t st = 0;
    int64_t sr = src->GetWidth();
    int64_t sb = src->GetHeight();
    int64_t dx = x;
    int64_t dy = y;
    if (srcRect) {
        sl = srcRect->left;
        st = srcRect->top;
        sr = std::min<int64_t>(srcRect->right, sr);
        sb = std::min<int64_t>(srcRect->bottom, sb);
        if (srcRect->left < 0) {
            dx -= srcRect->left;
            sl = 0;
        }
        if (srcRect->top < 0) {
            dy -= srcRect->top;
            st = 0;
        }
    }
    if (dx < 0) {
        sl -= dx;
        dx = 0;
    }
    if (dy < 0) {
        st -= dy;
        dy = 0;
    }
    if (sr <= sl || sb <= st || dx >= destWidth || dy >= destHeight) {
        return;
    }
    sr = std::min(sr, sl + destWidth - dx);
    sb = std::min(sb, st + destHeight - dy);
    if (sr <= sl || sb <= st || !dest->GetPixels() || !src->GetPixels()) {
        return;
    }
    const Region region{PIX_RowAddress(*dest, static_cast<int>(dy)) + dx,
                        PIX_RowStep(*dest),
                        PIX_RowAddress(*src, static_cast<int>(st)) + sl,
                        PIX_RowStep(*src),
                        static_cast<int>(sr - sl),
                        static_cast<int>(sb - st)};

    if ((mode & 0xF0) == 0xF0) {
        ChannelCopyRows(region, mode);
        return;
    }
    mode &= BlendUseSourceAlpha | 0xFF;
    if (mode == BlendCopy) {
        if (weight == 1.0f) {
            CopyRows(region);
            return;
        }
        if (weight == 0.5f) {
            CombineRows(region, [](PIX_Pixel32 d, PIX_Pixel32 s) { return Half(d) + Half(s); });
            return;
        }
    }
    const int w = PIX_IntegerWeight(weight);
    if (w != 0) {
        CompositeWeighted(region, mode, w);
    }
}

void PIX_FillArea(PIX_IBitmap* dest, int x, int y, int w, int h, PIX_Pixel32 colour, float weight, int mode) {
    if ((mode & BlendUseSourceAlpha) != 0) {
        weight *= static_cast<float>(colour >> 24) / 255.0f;
    }
    if (!dest) {
        return;
    }
    int64_t left = x;
    int64_t top = y;
    int64_t width = w;
    int64_t height = h;
    if (left < 0) {
        width += left;
        left = 0;
    }
    if (top < 0) {
        height += top;
        top = 0;
    }
    const int64_t destWidth = dest->GetWidth();
    const int64_t destHeight = dest->GetHeight();
    if (weight == 0 || !dest->GetPixels() || dest->GetRowSpan() == 0 || width <= 0 || height <= 0 ||
        left >= destWidth || top >= destHeight) {
        return;
    }
    const Region region{PIX_RowAddress(*dest, static_cast<int>(top)) + left,
                        PIX_RowStep(*dest),
                        nullptr,
                        0,
                        static_cast<int>(std::min(destWidth - left, width)),
                        static_cast<int>(std::min(destHeight - top, height))};

    const int op = mode & 0xFF;
    const int iw = PIX_IntegerWeight(weight);
    if (op == BlendCopy) {
        const PIX_Pixel32 c = colour;
        switch (iw) {
        case 256:
            FillWords(region, [c](PIX_Pixel32) { return c; });
            return;
        case 128:
            FillWords(region, [c](PIX_Pixel32 d) { return Half(c) + Half(d); });
            return;
        case 64:
            FillWords(region, [c](PIX_Pixel32 d) { return Half(d) + Quarter(c) + Quarter(d); });
            return;
        case 192:
            FillWords(region, [c](PIX_Pixel32 d) { return Quarter(c) + Quarter(d) + Half(c); });
            return;
        default:
            break;
        }
    }
    if (iw == 0) {
        return;
    }
    // The fill colour acts as the source pixel, with the weight in place of its alpha.
    const Source source{Blue(colour), Green(colour), Red(colour), iw};
    WithOperator(op, [&region, source, iw](auto o) {
        using Op = decltype(o);
        if (DrawsNothing<Op>(iw)) {
            return;
        }
        FillRows<Op>(region, source, iw);
    });
}
