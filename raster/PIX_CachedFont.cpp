#include "raster/PIX_CachedFont.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "raster/PIX_Blend.h"
#include "raster/PIX_GlyphBlend.h"
#include "raster/PIX_GlyphMap.h"
#include "raster/PIX_GlyphRasteriser.h"
#include "raster/PIX_SysBitmap.h"
#include "raster/PIX_TextLayout.h"
#include "raster/PIX_Utf8.h"

#ifdef _WIN32
#include "raster/win/PIX_Wine.h"
#endif

PIX_SysBitmap* PIX_CachedFont::glyphScratch = nullptr;
int PIX_CachedFont::liveFonts = 0;
#ifdef _WIN32
PIX_SysBitmap* PIX_CachedFont::textScratch = nullptr;
#endif

namespace {

constexpr int kRecordSize = static_cast<int>(sizeof(GlyphRecord));
constexpr int kGlyphScratchMinimum = 256;
constexpr int kCachedLineLimit = 1024;

GlyphRecord* Records(PIX_ByteStore& table) {
    return reinterpret_cast<GlyphRecord*>(table.Data());
}
const GlyphRecord* Records(const PIX_ByteStore& table) {
    return reinterpret_cast<const GlyphRecord*>(table.Data());
}

// The part of r that lies on the bitmap.
PIX_Rect OnBitmap(const PIX_Rect& r, const PIX_IBitmap& bitmap) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, bitmap.GetWidth()),
            std::min(r.bottom, bitmap.GetHeight())};
}

// Makes sure the glyph scratch exists and is at least size x size, drawing white on black.
PIX_SysBitmap* GlyphScratchOf(PIX_SysBitmap*& scratch, int size) {
    if (scratch == nullptr) {
        scratch = new (std::nothrow) PIX_SysBitmap(0, 0);
        if (scratch == nullptr) {
            return nullptr;
        }
    }
    if (scratch->GetWidth() < size || scratch->GetHeight() < size) {
        scratch->SetSize(size, size);
        PIX_PrepareGlyphScratch(scratch);
    }
    return scratch;
}

// Walks UTF-8 text for the cache path with its pen: carriage returns are dropped, and a line
// feed (a space on single lines) moves the pen to the start of the next line, lineStep
// across the lines (rightwards for vertical text, downwards otherwise).
class TextWalker {
public:
    TextWalker(const char* text, int length, int textFlags, bool vertical, int64_t lineStep, int64_t startX,
               int64_t startY)
        : x(startX), y(startY), text(text), length(length), singleLine((textFlags & DT_SINGLELINE) != 0),
          vertical(vertical), lineStep(lineStep), startX(startX), startY(startY) {}

    // False at the terminating zero or after length bytes; otherwise ch is the next character.
    bool Next(uint16_t& ch) {
        while (length < 0 || used < length) {
            if (text[used] == 0) {
                return false;
            }
            used += PIX_DecodeUtf8(text + used, length < 0 ? -1 : length - used, ch);
            if (ch == 13) {
                continue;
            }
            if (ch == 10) {
                if (!singleLine) {
                    NextLine();
                    continue;
                }
                ch = 32;
            }
            return true;
        }
        return false;
    }

    // The pen; the caller advances it along the line.
    int64_t x;
    int64_t y;

private:
    void NextLine() {
        if (vertical) {
            x += lineStep;
            y = startY;
        } else {
            y += lineStep;
            x = startX;
        }
    }

    const char* text;
    int length;
    bool singleLine;
    bool vertical;
    int64_t lineStep;
    int64_t startX;
    int64_t startY;
    int used = 0;
};

} // namespace

PIX_CachedFont::PIX_CachedFont() {
    ++liveFonts;
}

PIX_CachedFont::~PIX_CachedFont() {
    if ((flags & FontOwnsHandle) && font != nullptr) {
        PIX_DeleteFont(font);
    }
    if (--liveFonts == 0) {
        delete glyphScratch;
        glyphScratch = nullptr;
#ifdef _WIN32
        delete textScratch;
        textScratch = nullptr;
#endif
    }
}

void PIX_CachedFont::AttachFont(PIX_FontHandle newFont, int newFlags) {
    if ((flags & FontOwnsHandle) && font != nullptr && font != newFont) {
        PIX_DeleteFont(font);
    }
    flags = newFlags;
    font = newFont;
    if (font != nullptr) {
        PIX_SysBitmap* scratch = GlyphScratchOf(glyphScratch, kGlyphScratchMinimum);
        lineHeight = PIX_MeasureLineHeight(font, scratch);
    }
    std::memset(ascii, 0, sizeof(ascii));
    extended.Resize(0);
    coverage.Clear();
    rasterised = 0;
    if (flags & FontFixedCache) {
        for (int ch = 0; ch < 128; ++ch) {
            CacheGlyph(static_cast<uint16_t>(ch));
        }
    }
}

PIX_Pixel32 PIX_CachedFont::SetForeground(PIX_Pixel32 colour) {
    return std::exchange(foreground, colour);
}
PIX_Pixel32 PIX_CachedFont::SetBackground(PIX_Pixel32 colour) {
    return std::exchange(background, colour);
}
PIX_Pixel32 PIX_CachedFont::SetEffectColour(PIX_Pixel32 colour) {
    return std::exchange(effectColour, colour);
}
int PIX_CachedFont::SetBackgroundMode(int mode) {
    return std::exchange(backgroundMode, mode);
}

void PIX_CachedFont::SetBlend(int mode, float newWeight) {
    blendMode = mode;
    weight = newWeight;
}

int PIX_CachedFont::GetExtendedGlyphCount() const {
    return extended.Size() / kRecordSize;
}

const GlyphRecord* PIX_CachedFont::GetExtendedGlyphs() const {
    return Records(extended);
}

const GlyphRecord* PIX_CachedFont::FindGlyph(uint16_t ch) const {
    return const_cast<PIX_CachedFont*>(this)->FindRecord(ch);
}

GlyphRecord* PIX_CachedFont::FindRecord(uint16_t ch) {
    if (ch < 128) {
        return &ascii[ch];
    }
    const int count = GetExtendedGlyphCount();
    if (count == 0) {
        return nullptr;
    }
    GlyphRecord* first = Records(extended);
    GlyphRecord* last = first + count;
    GlyphRecord* found = std::lower_bound(first, last, int32_t{ch},
                                          [](const GlyphRecord& g, int32_t c) { return g.character < c; });
    return found != last && found->character == ch ? found : nullptr;
}

bool PIX_CachedFont::CacheGlyph(uint16_t ch) {
    if (lineHeight >= kCachedLineLimit || font == nullptr) {
        return false;
    }
    // Records are addressed by index: the extended table may move while it grows.
    int index = ch;
    bool appended = false;
    if (ch >= 128) {
        const GlyphRecord* existing = FindRecord(ch);
        if (existing != nullptr) {
            index = static_cast<int>(existing - Records(extended));
        } else {
            if (flags & FontFixedCache) {
                return false;
            }
            const int before = extended.Size();
            if (!extended.Resize(before + kRecordSize)) {
                return false;
            }
            index = before / kRecordSize;
            Records(extended)[index] = {0, 0, 0, 0, ch, 0};
            appended = true;
        }
    }
    const int size = 2 * std::max(lineHeight, 1) + 8;
    PIX_SysBitmap* scratch = GlyphScratchOf(glyphScratch, size);
    if (scratch == nullptr || scratch->GetPixels() == nullptr || scratch->GetWidth() < size ||
        scratch->GetHeight() < size) {
        if (appended) {
            extended.Resize(extended.Size() - kRecordSize);
        }
        return false;
    }

    const int padding = PIX_GlyphPadding(lineHeight);
    int width = 0;
    int height = 0;
    PIX_RasteriseGlyph(font, scratch, ch, padding, width, height);
    int boxWidth = width + 2 * padding;
    width = std::min(width, scratch->GetWidth());
    boxWidth = std::min(boxWidth, scratch->GetWidth());
    height = std::min(height, scratch->GetHeight());

    GlyphRecord glyph = {-1, 0, 0, 0, ch, 0};
    if (width >= 1 && height >= 1) {
        StoreCoverage(glyph, padding, width, boxWidth, height);
    }
    GlyphRecord& record = ch < 128 ? ascii[ch] : Records(extended)[index];
    record = glyph;
    ++rasterised;
    if (appended && GetExtendedGlyphCount() >= 2) {
        GlyphRecord* first = Records(extended);
        std::sort(first, first + GetExtendedGlyphCount(),
                  [](const GlyphRecord& a, const GlyphRecord& b) { return a.character < b.character; });
    }
    return true;
}

void PIX_CachedFont::StoreCoverage(GlyphRecord& glyph, int padding, int width, int boxWidth, int height) {
    PIX_SysBitmap* scratch = glyphScratch;
    PIX_Pixel32* row0 = PIX_RowAddress(*scratch, 0);
    const ptrdiff_t step = PIX_RowStep(*scratch);
    if (flags & FontBlur) {
        PIX_SoftenGlyphArea(row0, step, boxWidth, height);
    }
    const int start = coverage.Size();
    const int64_t grown = int64_t{start} + int64_t{boxWidth} * height;
    if (grown > INT32_MAX || !coverage.Resize(static_cast<int32_t>(grown))) {
        return;
    }
    uint8_t* map = coverage.Data() + start;
    int left = 0;
    int mapWidth = PIX_ExtractCoverage(row0, step, boxWidth, height, padding, width + padding,
                                       (flags & FontInvert) != 0, map, left);
    int mapHeight = height;
    if (mapWidth != boxWidth) {
        coverage.Resize(start + mapWidth * mapHeight);
        map = coverage.Data() + start;
    }
    if (flags & FontVertical) {
        // The scratch's pixels (four bytes for each map byte) serve as the copy.
        PIX_RotateGlyphMap(map, mapWidth, mapHeight, (flags & FontBottomUp) != 0,
                           reinterpret_cast<uint8_t*>(scratch->GetPixels()));
    }
    if (flags & (FontMono | FontShadow | FontOutline)) {
        PIX_ThresholdGlyphMap(map, mapWidth, mapHeight);
    }
    if (flags & FontShadow) {
        PIX_AddGlyphShadow(map, mapWidth, mapHeight);
    } else if (flags & FontOutline) {
        PIX_AddGlyphOutline(map, mapWidth, mapHeight);
    }
    glyph.offset = start + 1;
    glyph.width = mapWidth;
    glyph.height = mapHeight;
    glyph.advance = width;
    glyph.xOffset = padding - left;
}

const uint8_t* PIX_CachedFont::CoverageOf(const GlyphRecord& glyph) const {
    if (glyph.offset <= 0 || glyph.width <= 0 || glyph.height <= 0) {
        return nullptr;
    }
    const int64_t end = int64_t{glyph.offset} - 1 + int64_t{glyph.width} * glyph.height;
    if (end > coverage.Size()) {
        return nullptr;
    }
    return coverage.Data() + (glyph.offset - 1);
}

const GlyphRecord* PIX_CachedFont::GlyphToDraw(uint16_t ch) {
    const GlyphRecord* glyph = FindRecord(ch);
    if (glyph == nullptr || glyph->offset == 0) {
        CacheGlyph(ch);
        glyph = FindRecord(ch);
    }
    return glyph != nullptr && glyph->offset > 0 ? glyph : nullptr;
}

bool PIX_CachedFont::PaintGlyph(PIX_IBitmap* bitmap, uint16_t ch, int x, int y, const PIX_Rect& clip) {
    const GlyphRecord* glyph = FindRecord(ch);
    if (glyph == nullptr || bitmap == nullptr || bitmap->GetPixels() == nullptr) {
        return false;
    }
    const uint8_t* map = CoverageOf(*glyph);
    if (map == nullptr) {
        return false;
    }
    int64_t left = x;
    int64_t top = y;
    if (!(flags & FontVertical)) {
        left -= glyph->xOffset;
    } else if (flags & FontBottomUp) {
        top -= glyph->xOffset;
    } else {
        top += glyph->xOffset;
    }
    // The clip never reaches beyond the bitmap.
    const PIX_Rect visible = OnBitmap(clip, *bitmap);
    if (left >= visible.right || top >= visible.bottom || visible.left >= left + glyph->width ||
        visible.top >= top + glyph->height) {
        return false;
    }
    const int64_t skipX = std::max<int64_t>(visible.left - left, 0);
    const int64_t skipY = std::max<int64_t>(visible.top - top, 0);
    left += skipX;
    top += skipY;
    const int columns = static_cast<int>(std::min(glyph->width - skipX, visible.right - left));
    const int rows = static_cast<int>(std::min(glyph->height - skipY, visible.bottom - top));
    if (columns <= 0 || rows <= 0) {
        return false;
    }
    const int dx = static_cast<int>(left);
    const int dy = static_cast<int>(top);
    if (backgroundMode == BackgroundOpaque) {
        PIX_FillArea(bitmap, dx, dy, columns, rows, background, weight, blendMode & ~BlendUseSourceAlpha);
    }
    PIX_CoverageKind kind = PIX_CoverageKind::AntiAliased;
    if (flags & FontMono) {
        kind = PIX_CoverageKind::Mono;
    } else if (flags & (FontShadow | FontOutline)) {
        kind = PIX_CoverageKind::Effects;
    }
    PIX_CompositeCoverage(PIX_RowAddress(*bitmap, dy) + dx, PIX_RowStep(*bitmap),
                          map + skipY * glyph->width + skipX, glyph->width, columns, rows, kind, foreground,
                          effectColour, blendMode & 0xFF, weight);
    return true;
}

int PIX_CachedFont::RenderText(PIX_IBitmap* bitmap, const char* text, int length, PIX_Rect& rect,
                               int textFlags) {
    const bool measuring = (textFlags & DT_CALCRECT) != 0;
    if ((bitmap == nullptr && !measuring) || text == nullptr) {
        return 0;
    }
#ifdef _WIN32
    if (PIX_DrawsThroughGdi(flags, font != nullptr, textFlags, lineSpacing, lineHeight,
                            PIX_RunningUnderWine)) {
        return RenderThroughGdi(bitmap, text, length, rect, textFlags);
    }
#endif
    return measuring ? MeasureCached(text, length, rect, textFlags)
                     : DrawCached(bitmap, text, length, rect, textFlags);
}

int PIX_CachedFont::MeasureCached(const char* text, int length, PIX_Rect& rect, int textFlags) {
    const bool vertical = (flags & FontVertical) != 0;
    int64_t mw = 0;
    int64_t mh = 0;
    TextWalker walker(text, length, textFlags, vertical, int64_t{lineHeight} + lineSpacing, 0, 0);
    int64_t& x = walker.x;
    int64_t& y = walker.y;
    uint16_t ch = 0;
    while (walker.Next(ch)) {
        const GlyphRecord* glyph = GlyphToDraw(ch);
        if (glyph == nullptr) {
            continue;
        }
        if (vertical) {
            mw = std::max(mw, x + glyph->width);
            mh = std::max({mh, y + glyph->advance, y + glyph->height - glyph->xOffset});
            y += glyph->advance;
        } else {
            mh = std::max(mh, y + glyph->height);
            mw = std::max({mw, x + glyph->advance, x + glyph->width - glyph->xOffset});
            x += glyph->advance;
        }
    }
    rect.right = PIX_ClampToInt(int64_t{rect.left} + mw);
    rect.bottom = PIX_ClampToInt(int64_t{rect.top} + mh);
    return PIX_ClampToInt(vertical ? mw : mh);
}

int PIX_CachedFont::DrawCached(PIX_IBitmap* bitmap, const char* text, int length, const PIX_Rect& rect,
                               int textFlags) {
    float drawWeight = weight;
    if (textFlags & TextUseForegroundAlpha) {
        drawWeight *= static_cast<float>(foreground >> 24) / 255.0f;
    }
    if (drawWeight == 0) {
        return 0;
    }
    const bool vertical = (flags & FontVertical) != 0;
    const bool bottomUp = vertical && (flags & FontBottomUp) != 0;
    int startX = rect.left;
    int startY = rect.top;
    if ((textFlags & TextAlignmentFlags) != 0 || bottomUp) {
        PIX_Rect extent = {0, 0, 0, 0};
        RenderText(bitmap, text, length, extent, DT_CALCRECT | (textFlags & DT_SINGLELINE));
        if (textFlags & TextAlignmentFlags) {
            PIX_AlignCachedText(rect, textFlags, extent.right, extent.bottom, startX, startY);
        }
        if (bottomUp) {
            startY = PIX_ClampToInt(int64_t{startY} + extent.bottom);
        }
    }
    const PIX_Rect clip = (textFlags & DT_NOCLIP) ? PIX_Rect{0, 0, bitmap->GetWidth(), bitmap->GetHeight()}
                                                  : OnBitmap(rect, *bitmap);
    if (clip.right <= clip.left || clip.bottom <= clip.top) {
        return 0;
    }

    // PaintGlyph draws with the font's weight: it holds this call's weight until the text is drawn.
    const float fontWeight = std::exchange(weight, drawWeight);
    TextWalker walker(text, length, textFlags, vertical, int64_t{lineHeight} + lineSpacing, startX, startY);
    int64_t& x = walker.x;
    int64_t& y = walker.y;
    int64_t drawnRight = startX;
    int64_t drawnBottom = startY;
    uint16_t ch = 0;
    while (walker.Next(ch)) {
        const GlyphRecord* glyph = GlyphToDraw(ch);
        if (glyph == nullptr || CoverageOf(*glyph) == nullptr) {
            continue;
        }
        if (bottomUp) {
            y -= glyph->height;
        }
        const bool painted = x == PIX_ClampToInt(x) && y == PIX_ClampToInt(y) &&
                             PaintGlyph(bitmap, ch, static_cast<int>(x), static_cast<int>(y), clip);
        if (vertical) {
            y += bottomUp ? glyph->height - glyph->advance : glyph->advance;
            if (painted) {
                drawnRight = std::max(drawnRight, x + glyph->width);
            }
        } else {
            x += glyph->advance;
            if (painted) {
                drawnBottom = std::max(drawnBottom, y + glyph->height);
            }
        }
    }
    weight = fontWeight;
    return PIX_ClampToInt(vertical ? drawnRight - startX : drawnBottom - startY);
}
