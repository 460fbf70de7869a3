// The editor's drawing operations: bitmaps and strips clipped to the draw rectangle, and text
// through the process-wide fonts.
#include "graphics/IGraphics.h"

#include "graphics/GraphicsCaches.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_CachedFont.h"
#include "raster/PIX_SysBitmap.h"

#include <new>

namespace {

constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;
constexpr int kEditorFontFlags = FontOwnsHandle | FontPreferNative;

int BlendModeOf(const IBlend* blend) {
    if (blend == nullptr) {
        return BlendUseSourceAlpha;
    }
    switch (blend->method) {
    case 1:
        return BlendCopy;
    case 2:
        return BlendUseSourceAlpha | BlendAdd;
    case 3:
        return BlendUseSourceAlpha | BlendDodge;
    default:
        return BlendUseSourceAlpha;
    }
}

int SystemQuality(int quality) {
    switch (quality) {
    case 0:
        return PIX_QualityDefault;
    case 2:
        return PIX_QualityAntialiased;
    case 3:
        return PIX_QualityClearType;
    default:
        return PIX_QualityNonAntialiased;
    }
}

// With the text lock held: the shared font of the style, made on first use and kept in it.
PIX_IFont* SharedFontFor(ITextStyle& style) {
    const FontKey key = {style.size, style.orientation, style.style, style.fontName};
    PIX_IFont* font = FontCache::Find(key);
    if (font == nullptr) {
        PIX_FontRequest request = {};
        request.face = style.fontName;
        request.height = style.size;
        request.escapement = style.orientation * 10;
        request.weight = style.style == 1 ? kBoldWeight : kNormalWeight;
        request.italic = style.style == 2;
        request.quality = SystemQuality(style.quality);
        const PIX_FontHandle handle = PIX_CreateFont(request);
        if (handle == nullptr) {
            return nullptr;
        }
        auto* created = new (std::nothrow) PIX_CachedFont();
        if (created == nullptr) {
            PIX_DeleteFont(handle);
            return nullptr;
        }
        created->AttachFont(handle, kEditorFontFlags);
        font = FontCache::Store(key, created);
        if (font == nullptr) {
            return nullptr;
        }
    }
    style.cachedFont = font;
    return font;
}

} // namespace

bool IGraphics::DrawBitmap(const IFrameBitmap& bitmap, const IRectangle& dest, int srcX, int srcY,
                           const IBlend* blend) {
    if (bitmap.bitmap == nullptr || !surface) {
        return false;
    }
    const IRectangle r = dest.Intersect(drawRect);
    if (r.Empty()) {
        return true;
    }
    const int sx = srcX + (r.L - dest.L);
    const int sy = srcY + (r.T - dest.T);
    const PIX_Rect source = {sx, sy, sx + r.Width(), sy + r.Height()};
    PIX_CompositeRect(surface.get(), bitmap.bitmap, r.L, r.T, &source,
                      blend != nullptr ? blend->weight : 1.0f, BlendModeOf(blend));
    return true;
}

bool IGraphics::DrawBitmapFrame(const IFrameBitmap& bitmap, const IRectangle& dest, int frame,
                                const IBlend* blend) {
    int srcX = 0;
    int srcY = 0;
    if (bitmap.frames >= 2 && frame >= 2) {
        // Multiplied before dividing, so that every strip rounds to the same rows on every build.
        if (bitmap.framesHorizontal) {
            srcX = static_cast<int>(static_cast<double>(bitmap.width) * (frame - 1) / bitmap.frames + 0.5);
        } else {
            srcY = static_cast<int>(static_cast<double>(bitmap.height) * (frame - 1) / bitmap.frames + 0.5);
        }
    }
    return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawStyledText(ITextStyle& style, const char* text, IRectangle& rect, bool measure) {
    if (text == nullptr || text[0] == '\0') {
        return true;
    }
    // The font is shared by every editor: colour, measuring and drawing make one text.
    const TextLock lock;
    PIX_IFont* font = style.cachedFont != nullptr ? style.cachedFont : SharedFontFor(style);
    if (font == nullptr) {
        return false;
    }
    const uint32_t colour = style.colour.Packed();
    font->SetForeground(colour);
    int flags = DT_NOCLIP;
    if ((colour >> 24) != 0xFF) {
        flags |= TextUseForegroundAlpha;
    }
    if (style.alignment == 1) {
        flags |= DT_CENTER;
    } else if (style.alignment != 0) {
        flags |= DT_RIGHT;
    }
    if (!measure) {
        if (!surface) {
            return false;
        }
        PIX_Rect box = {rect.L, rect.T, rect.R, rect.B};
        font->RenderText(surface.get(), text, -1, box, flags);
        return true;
    }
    PIX_Rect extent = {0, 0, 0, 0};
    font->RenderText(surface.get(), text, -1, extent, flags | DT_CALCRECT);
    const int w = extent.right;
    const int h = extent.bottom;
    if (style.alignment == 0) {
        rect.R = rect.L + w;
    } else if (style.alignment == 1) {
        rect.L = (rect.L + rect.R) / 2 - w / 2;
        rect.R = rect.L + w;
    } else {
        rect.L = rect.R - w;
    }
    rect.B = rect.T + h;
    return true;
}

PIX_IFont* IGraphics::FontForStyle(ITextStyle& style) {
    const TextLock text;
    return SharedFontFor(style);
}
