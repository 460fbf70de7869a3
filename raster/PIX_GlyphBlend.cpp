#include "raster/PIX_GlyphBlend.h"

#include "raster/PIX_Blend.h"
#include "raster/PIX_BlendOps.h"

namespace {

// A coverage map's bytes over their destination pixels.
struct CoverageArea {
    PIX_Pixel32* dstRow0;
    ptrdiff_t dstStep;
    const uint8_t* map;
    int mapSpan;
    int columns;
    int rows;
};

// Calls f(pixel, c) for every pixel under a non-zero map byte c.
template <class F>
void ForEachInked(const CoverageArea& a, F f) {
    for (int y = 0; y < a.rows; ++y) {
        PIX_Pixel32* out = a.dstRow0 + y * a.dstStep;
        const uint8_t* in = a.map + static_cast<ptrdiff_t>(y) * a.mapSpan;
        for (int x = 0; x < a.columns; ++x) {
            const int c = in[x];
            if (c != 0) {
                f(out[x], c);
            }
        }
    }
}

// Calls f(pixel, k) for every inked pixel of an anti-aliased map, with the weight k of its
// byte c at glyph weight w: c + 1 at w == 256, else min(w * c / 256, 256). w is tested once per
// call, not per pixel.
template <class F>
void ForEachWeighted(const CoverageArea& a, int w, F f) {
    if (w == 256) {
        ForEachInked(a, [f](PIX_Pixel32& d, int c) { f(d, c + 1); });
        return;
    }
    ForEachInked(a, [f, w](PIX_Pixel32& d, int c) {
        const int k = w * c / 256;
        f(d, k > 256 ? 256 : k);
    });
}

} // namespace

int PIX_GlyphWeight(float weight) {
    return PIX_IntegerWeight(weight, 65536);
}

void PIX_CompositeCoverage(PIX_Pixel32* dstRow0, ptrdiff_t dstStep, const uint8_t* map, int mapSpan,
                           int columns, int rows, PIX_CoverageKind kind, PIX_Pixel32 foreground,
                           PIX_Pixel32 effect, int op, float weight) {
    const CoverageArea area{dstRow0, dstStep, map, mapSpan, columns, rows};
    const bool mono = kind == PIX_CoverageKind::Mono;
    int w = PIX_GlyphWeight(weight);
    if (kind != PIX_CoverageKind::AntiAliased) {
        if (weight == 1.0f && op == BlendCopy) {
            // Whole-word stores: full bytes take the text colour, the others (shadow, outline)
            // the effect colour.
            const PIX_Pixel32 partial = mono ? foreground : effect;
            ForEachInked(
                area, [foreground, partial](PIX_Pixel32& d, int c) { d = c == 255 ? foreground : partial; });
            return;
        }
        w = w > 256 ? 256 : w;
    }
    const PIX_PixelOperator apply = PIX_GetPixelOperator(op);
    if (w == 0 || apply == nullptr) {
        return;
    }
    const PIX_Pixel32 full = foreground | 0xFF000000u;
    if (kind == PIX_CoverageKind::AntiAliased && op == BlendCopy) {
        // The editor's case, anti-aliased text copied over the surface, without a call per pixel.
        const pix_ops::Source source = pix_ops::Unpack(full);
        ForEachWeighted(area, w, [source](PIX_Pixel32& d, int k) {
            if (k > 0) {
                pix_ops::Copy::Apply(d, source, k);
            }
        });
    } else if (kind == PIX_CoverageKind::AntiAliased) {
        ForEachWeighted(area, w, [apply, full](PIX_Pixel32& d, int k) { apply(&d, full, k); });
    } else {
        const PIX_Pixel32 partial = mono ? full : (effect | 0xFF000000u);
        ForEachInked(area, [apply, full, partial, w](PIX_Pixel32& d, int c) {
            apply(&d, c == 255 ? full : partial, w);
        });
    }
}
