// Fonts without GDI: faces are found through fontconfig (so "Arial" maps to a metric-compatible
// face such as Liberation Sans) and drawn with FreeType, sized and measured as GDI does it.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "raster/PIX_Blend.h"
#include "raster/PIX_FontHandle.h"
#include "raster/PIX_GlyphRasteriser.h"
#include "raster/PIX_IBitmap.h"

struct PIX_FreeTypeFont {
    FT_Face face = nullptr;
    int lineHeight = 0; // ascent + descent, GDI's tmHeight
    int ascent = 0;     // baseline's distance from the top of the cell
    FT_Int32 loadFlags = 0;
    FT_Render_Mode renderMode = FT_RENDER_MODE_NORMAL;
    bool embolden = false; // bold asked for, but the face found is not bold
    bool oblique = false;  // italic asked for, but the face found is upright
    char family[64] = {};
};

namespace {

// FreeType and the font configuration live while fonts do: set up with the first font,
// released with the last, so nothing stays behind when the library is unloaded.
FT_Library library = nullptr;
FcConfig* fontConfig = nullptr;
int liveFonts = 0;

constexpr int kDefaultCellHeight = 16;

bool AcquireLibraries() {
    if (liveFonts == 0) {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            return false;
        }
        // The system's configuration (with its metric aliases); a missing file is not
        // reported, and nothing is ever printed.
        fontConfig = FcConfigCreate();
        if (fontConfig == nullptr || !FcConfigParseAndLoad(fontConfig, nullptr, FcFalse) ||
            !FcConfigBuildFonts(fontConfig)) {
            if (fontConfig != nullptr) {
                FcConfigDestroy(fontConfig);
                fontConfig = nullptr;
            }
            FT_Done_FreeType(library);
            library = nullptr;
            return false;
        }
    }
    ++liveFonts;
    return true;
}

void ReleaseLibraries() {
    if (--liveFonts == 0) {
        FcConfigDestroy(fontConfig);
        fontConfig = nullptr;
        FT_Done_FreeType(library);
        library = nullptr;
    }
}

// The best face for the request: file, face index and what the face itself is.
struct FaceMatch {
    char file[4096];
    int index;
    int weight;
    int slant;
    char family[64];
};

bool MatchFace(const PIX_FontRequest& request, FaceMatch& match) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return false;
    }
    const char* face = request.face != nullptr && request.face[0] != 0 ? request.face : "sans-serif";
    const int weight = request.weight > 0 ? request.weight : 400;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(fontConfig, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(fontConfig, pattern, &result);
    FcPatternDestroy(pattern);
    if (found == nullptr) {
        return false;
    }
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    const size_t fileLength = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch
                                  ? std::strlen(reinterpret_cast<const char*>(file))
                                  : 0;
    const bool ok = fileLength > 0 && fileLength < sizeof(match.file);
    if (ok) {
        std::memcpy(match.file, file, fileLength + 1);
        if (FcPatternGetInteger(found, FC_INDEX, 0, &match.index) != FcResultMatch) {
            match.index = 0;
        }
        if (FcPatternGetInteger(found, FC_WEIGHT, 0, &match.weight) != FcResultMatch) {
            match.weight = FC_WEIGHT_REGULAR;
        }
        if (FcPatternGetInteger(found, FC_SLANT, 0, &match.slant) != FcResultMatch) {
            match.slant = FC_SLANT_ROMAN;
        }
        match.family[0] = 0;
        if (FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch) {
            std::strncat(match.family, reinterpret_cast<const char*>(family), sizeof(match.family) - 1);
        }
    }
    FcPatternDestroy(found);
    return ok;
}

// GDI's sizing: a positive height is the cell (the face's Windows ascent plus descent), a
// negative one the em; ascent and descent are rounded separately.
bool SizeFace(PIX_FreeTypeFont& font, int height) {
    FT_Face face = font.face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        return false;
    }
    double ascender = face->ascender;
    double descender = -face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    if (ascender + descender <= 0) {
        return false;
    }
    if (height == 0) {
        height = kDefaultCellHeight;
    }
    const double scale =
        height > 0 ? height / (ascender + descender) : -static_cast<double>(height) / face->units_per_EM;
    const double ppem = scale * face->units_per_EM;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64.0)), 72, 72) != 0) {
        return false;
    }
    font.ascent = static_cast<int>(std::lround(ascender * scale));
    font.lineHeight = font.ascent + static_cast<int>(std::lround(descender * scale));
    return true;
}

// Copies the rendered glyph into the box (0, 0, boxWidth, boxHeight) as grey levels, its
// top-left corner at (left, top); what falls outside the box is dropped.
void BlitGlyph(const FT_Bitmap& glyph, int left, int top, PIX_IBitmap* scratch, int boxWidth, int boxHeight) {
    const bool mono = glyph.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!mono && glyph.pixel_mode != FT_PIXEL_MODE_GRAY) {
        return;
    }
    const auto rows = static_cast<int>(glyph.rows);
    const auto columns = static_cast<int>(glyph.width);
    for (int gy = 0; gy < rows; ++gy) {
        const int y = top + gy;
        if (y < 0 || y >= boxHeight) {
            continue;
        }
        const unsigned char* in = glyph.buffer + static_cast<intptr_t>(gy) * glyph.pitch;
        PIX_Pixel32* out = PIX_RowAddress(*scratch, y);
        for (int gx = 0; gx < columns; ++gx) {
            const int x = left + gx;
            if (x < 0 || x >= boxWidth) {
                continue;
            }
            const PIX_Pixel32 c = mono ? ((in[gx >> 3] >> (7 - (gx & 7))) & 1u) * 255u : in[gx];
            out[x] = c * 0x010101u;
        }
    }
}

} // namespace

PIX_FontHandle PIX_CreateFont(const PIX_FontRequest& request) {
    if (!AcquireLibraries()) {
        return nullptr;
    }
    FaceMatch match;
    auto* font = new (std::nothrow) PIX_FreeTypeFont;
    if (font == nullptr || !MatchFace(request, match) ||
        FT_New_Face(library, match.file, match.index, &font->face) != 0) {
        delete font;
        ReleaseLibraries();
        return nullptr;
    }
    if (!SizeFace(*font, request.height)) {
        PIX_DeleteFont(font);
        return nullptr;
    }
    std::memcpy(font->family, match.family, sizeof(font->family));
    font->embolden = request.weight >= 600 && match.weight < FC_WEIGHT_DEMIBOLD;
    font->oblique = request.italic && match.slant == FC_SLANT_ROMAN;
    if (request.quality == PIX_QualityNonAntialiased) {
        font->loadFlags = FT_LOAD_TARGET_MONO;
        font->renderMode = FT_RENDER_MODE_MONO;
    } else {
        font->loadFlags = FT_LOAD_TARGET_LIGHT;
        font->renderMode = FT_RENDER_MODE_NORMAL;
    }
    return font;
}

void PIX_DeleteFont(PIX_FontHandle font) {
    if (font == nullptr) {
        return;
    }
    FT_Done_Face(font->face);
    delete font;
    ReleaseLibraries();
}

const char* PIX_FontFaceName(PIX_FontHandle font, char* out, int capacity) {
    if (out == nullptr || capacity <= 0) {
        return out;
    }
    out[0] = 0;
    if (font != nullptr) {
        std::strncat(out, font->family, static_cast<size_t>(capacity) - 1);
    }
    return out;
}

void PIX_PrepareGlyphScratch(PIX_IBitmap*) {}

int PIX_MeasureLineHeight(PIX_FontHandle font, PIX_IBitmap*) {
    return font != nullptr ? font->lineHeight : 0;
}

void PIX_RasteriseGlyph(PIX_FontHandle font, PIX_IBitmap* scratch, uint16_t ch, int padding, int& width,
                        int& height) {
    width = 0;
    height = 0;
    if (font == nullptr) {
        return;
    }
    FT_Face face = font->face;
    FT_GlyphSlot slot = face->glyph;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, ch), font->loadFlags) != 0) {
        return;
    }
    if (font->embolden) {
        FT_GlyphSlot_Embolden(slot);
    }
    if (font->oblique) {
        FT_GlyphSlot_Oblique(slot);
    }
    width = static_cast<int>((slot->advance.x + 32) >> 6);
    height = font->lineHeight;
    const int boxWidth = width + 2 * padding;
    PIX_FillArea(scratch, 0, 0, boxWidth, height, 0, 1.0f, BlendCopy);
    if (scratch->GetPixels() == nullptr || FT_Render_Glyph(slot, font->renderMode) != 0) {
        return;
    }
    const int boxRight = boxWidth < scratch->GetWidth() ? boxWidth : scratch->GetWidth();
    const int boxBottom = height < scratch->GetHeight() ? height : scratch->GetHeight();
    BlitGlyph(slot->bitmap, padding + slot->bitmap_left, font->ascent - slot->bitmap_top, scratch, boxRight,
              boxBottom);
}
