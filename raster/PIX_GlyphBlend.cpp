#include "raster/PIX_GlyphBlend.h"

#include "raster/PIX_Blend.h"
#include "raster/PIX_BlendOps.h"

namespace {

// Whole-word stores: full bytes take the text colour, the others (shadow, outline) the effect colour.
void Store(PIX_Pixel32* dstRow0, ptrdiff_t dstStep, const uint8_t* map, int mapSpan, int columns, int rows,
           PIX_Pixel32 full, PIX_Pixel32 partial) {
    for (int y = 0; y < rows; ++y) {
        PIX_Pixel32* out = dstRow0 + y * dstStep;
        const uint8_t* in = map + static_cast<ptrdiff_t>(y) * mapSpan;
        for (int x = 0; x < columns; ++x) {
            if (in[x] != 0) {
                out[x] = in[x] == 255 ? full : partial;
            }
        }
    }
}

// Weight of a coverage byte c at glyph weight w (never 0 here).
inline int CoverageWeight(int c, int w) {
    if (w == 256) {
        return c + 1;
    }
    const int k = w * c / 256;
    return k > 256 ? 256 : k;
}

// The editor's case, anti-aliased text copied over the surface, without a call per pixel.
void CopyAntiAliased(PIX_Pixel32* dstRow0, ptrdiff_t dstStep, const uint8_t* map, int mapSpan, int columns,
                     int rows, PIX_Pixel32 colour, int w) {
    const pix_ops::Source source = pix_ops::Unpack(colour);
    for (int y = 0; y < rows; ++y) {
        PIX_Pixel32* out = dstRow0 + y * dstStep;
        const uint8_t* in = map + static_cast<ptrdiff_t>(y) * mapSpan;
        for (int x = 0; x < columns; ++x) {
            if (in[x] == 0) {
                continue;
            }
            const int k = CoverageWeight(in[x], w);
            if (k > 0) {
                pix_ops::Copy::Apply(out[x], source, k);
            }
        }
    }
}

} // namespace

int PIX_GlyphWeight(float weight) {
    return PIX_IntegerWeight(weight, 65536);
}

void PIX_CompositeCoverage(PIX_Pixel32* dstRow0, ptrdiff_t dstStep, const uint8_t* map, int mapSpan,
                           int columns, int rows, PIX_CoverageKind kind, PIX_Pixel32 foreground,
                           PIX_Pixel32 effect, int op, float weight) {
    const bool mono = kind == PIX_CoverageKind::Mono;
    int w = PIX_GlyphWeight(weight);
    if (kind != PIX_CoverageKind::AntiAliased) {
        if (weight == 1.0f && op == BlendCopy) {
            Store(dstRow0, dstStep, map, mapSpan, columns, rows, foreground, mono ? foreground : effect);
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
        CopyAntiAliased(dstRow0, dstStep, map, mapSpan, columns, rows, full, w);
        return;
    }
    const PIX_Pixel32 partial = mono ? full : (effect | 0xFF000000u);
    for (int y = 0; y < rows; ++y) {
        PIX_Pixel32* out = dstRow0 + y * dstStep;
        const uint8_t* in = map + static_cast<ptrdiff_t>(y) * mapSpan;
        for (int x = 0; x < columns; ++x) {
            const int c = in[x];
            if (c == 0) {
                continue;
            }
            if (kind == PIX_CoverageKind::AntiAliased) {
                apply(out + x, full, CoverageWeight(c, w));
            } else {
                apply(out + x, c == 255 ? full : partial, w);
            }
        }
    }
}
