#pragma once

class PIX_IBitmap;
class PIX_IFont;

// The artwork and the fonts of every editor in the process. Each cache has its own lock, held
// for one lookup or one insertion only. Nothing runs at load: each list is made with its first
// entry and destroyed, with everything it holds, by ReleaseGraphicsCaches at unload.
class BitmapCache {
public:
    // [any] Takes the bitmap cache's lock. The bitmap under id, or none; the cache owns it.
    static PIX_IBitmap* Find(int id);
    // [any] Takes the bitmap cache's lock. Stores bitmap (which the cache then owns) under id
    // unless another thread stored one first, in which case bitmap is deleted. Answers the
    // bitmap now cached under id; none when bitmap is none or the cache cannot grow (bitmap
    // is then deleted).
    static PIX_IBitmap* Store(int id, PIX_IBitmap* bitmap);
    // [any] Takes the lock. Bitmaps held.
    static int Count();
};

// Fonts are shared by size, orientation, style and face name; quality and colour play no part.
struct FontKey {
    int size;
    int orientation;
    int style;
    const char* face; // compared exactly, up to 31 characters
};

// Every editor of the process uses the cached fonts, each on whatever thread it paints, and a
// font locks nothing itself: it holds the colours of the text in hand, fills its glyph store
// on first use and shares scratch bitmaps with every other font. So each use of a cached font
// holds the text lock (TextLock) for one whole text (setting its colours, measuring, drawing),
// and so does making one. The text lock is taken before the font cache's lock, never after.
class FontCache {
public:
    // [any] Takes the font cache's lock. The font for key, or none; the cache owns it, and it
    // is used with the text lock held.
    static PIX_IFont* Find(const FontKey& key);
    // [any] The caller holds the text lock (the font that loses a race is deleted); takes the
    // font cache's lock. Like BitmapCache::Store, for fonts.
    static PIX_IFont* Store(const FontKey& key, PIX_IFont* font);
    // [any] Takes the lock. Fonts held.
    static int Count();
};

// The process-wide text lock, held for the life of the object.
class TextLock {
public:
    // [any] Takes the text lock, waiting while another thread holds it; the calling thread
    // must not hold it already (it is not recursive).
    TextLock();
    // [any] Releases the text lock.
    ~TextLock();
    TextLock(const TextLock&) = delete;
    TextLock& operator=(const TextLock&) = delete;
};

// [any] Takes the text lock and within it the font cache's lock, then the bitmap cache's lock.
// Destroys every cached font and bitmap; the library's unload hook calls it once no editor is
// left.
void ReleaseGraphicsCaches();

// [any] No lock. Editors that exist in the process. At process exit a host may still hold
// instances (and paint them on another thread), so the unload hook releases the caches only
// when this is 0.
int LiveEditorCount();
// [any] No lock. Counts an editor made (+1) or destroyed (-1).
void CountLiveEditor(int delta);
