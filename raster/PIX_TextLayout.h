#pragma once

#include "raster/PIX_IBitmap.h"

// Arithmetic shared by the text paths, kept apart so that it can be checked on its own.

// Whether text goes to GDI rather than through the glyph cache: when the font prefers it,
// has a system font, the process is not under Wine, neither the text (foreground alpha) nor
// the font (FontCacheOnlyFlags) needs the cache and the lines need no extra spacing; and
// always for lines of 256 pixels or more. underWine is asked only when it matters.
bool PIX_DrawsThroughGdi(int fontFlags, bool hasFont, int textFlags, int lineSpacing, int lineHeight,
                         bool (*underWine)());

// Pen start of cached text of mw x mh pixels in rect: DT_CENTER (else DT_RIGHT) moves it
// across, DT_VCENTER (else DT_BOTTOM) down; halves truncate toward zero.
void PIX_AlignCachedText(const PIX_Rect& rect, int flags, int mw, int mh, int& x, int& y);

// Top-left corner of a GDI-drawn text box of tw x th pixels in rect: DT_RIGHT (else
// DT_CENTER) across, DT_BOTTOM (else DT_VCENTER) down.
void PIX_PlaceTextBox(const PIX_Rect& rect, int flags, int tw, int th, int& x, int& y);

// Space left and right of a character while it is drawn for the cache, for a line height.
int PIX_GlyphPadding(int lineHeight);

// A 64-bit result limited to the int range.
int PIX_ClampToInt(int64_t v);
