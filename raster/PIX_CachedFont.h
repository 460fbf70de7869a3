#pragma once

#include <cstdint>

#include "raster/PIX_ByteStore.h"
#include "raster/PIX_IFont.h"

class PIX_SysBitmap;

// One cached character. All fields are 32-bit signed.
struct GlyphRecord {
    int32_t offset; // 1 + byte offset of the coverage map in the store; 0 not yet rasterised,
                    // -1 rasterised with nothing to draw
    int32_t width;  // coverage map, pixels
    int32_t height;
    int32_t advance;   // distance to the next character's pen
    int32_t character; // 0..65535
    int32_t xOffset;   // how far the map's left edge lies left of the pen (0 or more)
};
static_assert(sizeof(GlyphRecord) == 24, "glyph records are six 32-bit fields");

// A system font whose characters are rasterised once into coverage maps and then composited
// in software with the blend operators; where nothing of that is needed it can leave the
// drawing to GDI. Characters below 128 live in a fixed table, the others in a table kept
// sorted by character code; the maps lie back to back in one store.
//
// Nothing here is locked. A font (its colours, blend and glyph store), the scratch bitmaps all
// fonts share and the live-font count are used by one thread at a time: callers that share
// fonts across threads hold one process-wide text lock for each whole text (setting colours,
// measuring, drawing) and while they make or destroy a font.
class PIX_CachedFont : public PIX_IFont {
public:
    PIX_CachedFont();
    ~PIX_CachedFont() override;
    PIX_CachedFont(const PIX_CachedFont&) = delete;
    PIX_CachedFont& operator=(const PIX_CachedFont&) = delete;

    void AttachFont(PIX_FontHandle font, int flags) override;
    PIX_Pixel32 SetForeground(PIX_Pixel32 colour) override;
    PIX_Pixel32 SetBackground(PIX_Pixel32 colour) override;
    PIX_Pixel32 SetEffectColour(PIX_Pixel32 colour) override;
    int SetBackgroundMode(int mode) override;
    void SetBlend(int mode, float weight) override;
    int RenderText(PIX_IBitmap* bitmap, const char* text, int length, PIX_Rect& rect, int flags) override;
    PIX_Pixel32 GetForeground() const override { return foreground; }
    PIX_FontHandle GetFontHandle() const override { return font; }
    int GetLineHeight() const override { return lineHeight; }
    // Draws one cached character with its pen at (x, y), within clip and the bitmap. False
    // when the character is not cached or lies wholly outside.
    virtual bool PaintGlyph(PIX_IBitmap* bitmap, uint16_t ch, int x, int y, const PIX_Rect& clip);

    // The record of a character: below 128 always (perhaps not yet rasterised), above only
    // once cached; none otherwise.
    const GlyphRecord* FindGlyph(uint16_t ch) const;
    // Rasterises a character into the cache, appending a record for characters of 128 and
    // above. False when it cannot be cached (line height of 1024 or more, no system font,
    // FontFixedCache with a character of 128 or above, no memory).
    bool CacheGlyph(uint16_t ch);

    float GetWeight() const { return weight; }
    int GetExtendedGlyphCount() const;
    const GlyphRecord* GetExtendedGlyphs() const;
    int GetCoverageSize() const { return coverage.Size(); }
    // Characters rasterised since the system font was attached.
    int GetRasterisedCount() const { return rasterised; }

    // Shared by all fonts of the process: the number alive and the scratch bitmaps (glyphs
    // are drawn on one; on Windows GDI text for bitmaps without a device context on the
    // other). The scratch bitmaps go with the last font.
    static int GetLiveFontCount() { return liveFonts; }
    static PIX_SysBitmap* GetGlyphScratch() { return glyphScratch; }
#ifdef _WIN32
    static PIX_SysBitmap* GetTextScratch() {
        return textScratch;
    }
#endif

private:
    GlyphRecord* FindRecord(uint16_t ch);
    // The record to draw a character with, rasterised on first use; none when there is
    // nothing to draw.
    const GlyphRecord* GlyphToDraw(uint16_t ch);
    // The coverage map of a record, none when it lies outside the store.
    const uint8_t* CoverageOf(const GlyphRecord& glyph) const;
    // Turns the character drawn on the glyph scratch into the glyph's coverage map; the record
    // stays as it is when the store cannot grow.
    void StoreCoverage(GlyphRecord& glyph, int padding, int width, int boxWidth, int height);
    int MeasureCached(const char* text, int length, PIX_Rect& rect, int flags);
    int DrawCached(PIX_IBitmap* bitmap, const char* text, int length, const PIX_Rect& rect, int flags);
#ifdef _WIN32
    int RenderThroughGdi(PIX_IBitmap* bitmap, const char* text, int length, PIX_Rect& rect, int flags);
#endif

    PIX_Pixel32 foreground = 0;
    PIX_Pixel32 background = 0xFFFFFFFF;
    PIX_Pixel32 effectColour = 0xFFFFFFFF;
    int backgroundMode = BackgroundTransparent;
    int blendMode = 0;
    float weight = 1.0f;
    int flags = 0;
    int lineHeight = 0;
    int lineSpacing = 0;
    GlyphRecord ascii[128] = {};
    PIX_ByteStore extended{4096};
    PIX_ByteStore coverage{65536};
    PIX_FontHandle font = nullptr;
    int rasterised = 0;

    static PIX_SysBitmap* glyphScratch;
    static int liveFonts;
#ifdef _WIN32
    static PIX_SysBitmap* textScratch;
#endif
};
