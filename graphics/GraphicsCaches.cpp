#include "graphics/GraphicsCaches.h"

#include "core/IOwnedList.h"
#include "core/StaticLock.h"
#include "core/TextCopy.h"
#include "raster/PIX_IBitmap.h"
#include "raster/PIX_IFont.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

constexpr int kFaceCapacity = 32;

struct BitmapEntry {
    using Key = int;
    using Object = PIX_IBitmap;

    BitmapEntry(int id, PIX_IBitmap* object) : id(id), object(object) {}
    ~BitmapEntry() { delete object; }
    BitmapEntry(const BitmapEntry&) = delete;
    BitmapEntry& operator=(const BitmapEntry&) = delete;

    bool Matches(int key) const { return id == key; }

    int id;
    PIX_IBitmap* object;
};

struct FontEntry {
    using Key = FontKey;
    using Object = PIX_IFont;

    FontEntry(const FontKey& key, PIX_IFont* object)
        : size(key.size), orientation(key.orientation), style(key.style), object(object) {
        CopyText(face, key.face, sizeof face);
    }
    ~FontEntry() { delete object; }
    FontEntry(const FontEntry&) = delete;
    FontEntry& operator=(const FontEntry&) = delete;

    bool Matches(const FontKey& key) const {
        char wanted[kFaceCapacity];
        CopyText(wanted, key.face, sizeof wanted);
        return size == key.size && orientation == key.orientation && style == key.style &&
               std::strcmp(face, wanted) == 0;
    }

    int size;
    int orientation;
    int style;
    char face[kFaceCapacity];
    PIX_IFont* object;
};

// A list of entries under its own lock. Initialised at compile time, so nothing runs at load;
// the list is made with the first entry and destroyed by Release at unload.
template <typename Entry>
class SharedList {
public:
    constexpr SharedList() = default;

    typename Entry::Object* Find(const typename Entry::Key& key) {
        lock.Lock();
        const Entry* entry = FindEntry(key);
        lock.Unlock();
        return entry != nullptr ? entry->object : nullptr;
    }

    typename Entry::Object* Store(const typename Entry::Key& key, typename Entry::Object* object) {
        if (object == nullptr) {
            return nullptr;
        }
        lock.Lock();
        typename Entry::Object* stored = Insert(key, object);
        lock.Unlock();
        return stored;
    }

    int Count() {
        lock.Lock();
        const int count = entries != nullptr ? entries->Count() : 0;
        lock.Unlock();
        return count;
    }

    void Release() {
        lock.Lock();
        delete entries;
        entries = nullptr;
        lock.Unlock();
    }

private:
    const Entry* FindEntry(const typename Entry::Key& key) const {
        for (int i = 0; entries != nullptr && i < entries->Count(); ++i) {
            if (entries->At(i)->Matches(key)) {
                return entries->At(i);
            }
        }
        return nullptr;
    }

    // With the lock held: the object stored first under key wins; the other is deleted.
    typename Entry::Object* Insert(const typename Entry::Key& key, typename Entry::Object* object) {
        if (const Entry* existing = FindEntry(key)) {
            delete object;
            return existing->object;
        }
        if (entries == nullptr) {
            entries = new (std::nothrow) IOwnedList<Entry>();
        }
        auto* entry = entries != nullptr ? new (std::nothrow) Entry(key, object) : nullptr;
        if (entry == nullptr) {
            delete object;
            return nullptr;
        }
        if (!entries->Append(entry)) {
            delete entry;
            return nullptr;
        }
        return object;
    }

    StaticLock lock;
    IOwnedList<Entry>* entries = nullptr;
};

SharedList<BitmapEntry> bitmapCache;
std::atomic<int> liveEditors{0};
SharedList<FontEntry> fontCache;
StaticLock textLock;

} // namespace

PIX_IBitmap* BitmapCache::Find(int id) {
    return bitmapCache.Find(id);
}

PIX_IBitmap* BitmapCache::Store(int id, PIX_IBitmap* bitmap) {
    return bitmapCache.Store(id, bitmap);
}

int BitmapCache::Count() {
    return bitmapCache.Count();
}

PIX_IFont* FontCache::Find(const FontKey& key) {
    return fontCache.Find(key);
}

PIX_IFont* FontCache::Store(const FontKey& key, PIX_IFont* font) {
    return fontCache.Store(key, font);
}

int FontCache::Count() {
    return fontCache.Count();
}

TextLock::TextLock() {
    textLock.Lock();
}

TextLock::~TextLock() {
    textLock.Unlock();
}

int LiveEditorCount() {
    return liveEditors.load(std::memory_order_relaxed);
}

void CountLiveEditor(int delta) {
    liveEditors.fetch_add(delta, std::memory_order_relaxed);
}

void ReleaseGraphicsCaches() {
    {
        // Fonts share their scratch bitmaps and the system's font libraries.
        const TextLock text;
        fontCache.Release();
    }
    bitmapCache.Release();
}
