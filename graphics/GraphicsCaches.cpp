#include "graphics/GraphicsCaches.h"

#include "core/IOwnedList.h"
#include "core/TextCopy.h"
#include "platform/RecursiveLock.h"
#include "raster/PIX_IBitmap.h"
#include "raster/PIX_IFont.h"

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

// A list of entries under its own lock. Made on first use; destroyed, with every entry and
// the object it holds, when the library is unloaded.
template <typename Entry>
class SharedList {
public:
    static SharedList& Instance() {
        static SharedList list;
        return list;
    }

    typename Entry::Object* Find(const typename Entry::Key& key) {
        LockGuard guard(lock);
        const Entry* entry = FindEntry(key);
        return entry != nullptr ? entry->object : nullptr;
    }

    typename Entry::Object* Store(const typename Entry::Key& key, typename Entry::Object* object) {
        if (object == nullptr) {
            return nullptr;
        }
        LockGuard guard(lock);
        if (const Entry* existing = FindEntry(key)) {
            delete object;
            return existing->object;
        }
        auto* entry = new (std::nothrow) Entry(key, object);
        if (entry == nullptr) {
            delete object;
            return nullptr;
        }
        if (!entries.Append(entry)) {
            delete entry;
            return nullptr;
        }
        return object;
    }

    int Count() {
        LockGuard guard(lock);
        return entries.Count();
    }

private:
    SharedList() = default;

    const Entry* FindEntry(const typename Entry::Key& key) const {
        for (int i = 0; i < entries.Count(); ++i) {
            if (entries.At(i)->Matches(key)) {
                return entries.At(i);
            }
        }
        return nullptr;
    }

    RecursiveLock lock;
    IOwnedList<Entry> entries;
};

} // namespace

PIX_IBitmap* BitmapCache::Find(int id) {
    return SharedList<BitmapEntry>::Instance().Find(id);
}

PIX_IBitmap* BitmapCache::Store(int id, PIX_IBitmap* bitmap) {
    return SharedList<BitmapEntry>::Instance().Store(id, bitmap);
}

int BitmapCache::Count() {
    return SharedList<BitmapEntry>::Instance().Count();
}

PIX_IFont* FontCache::Find(const FontKey& key) {
    return SharedList<FontEntry>::Instance().Find(key);
}

PIX_IFont* FontCache::Store(const FontKey& key, PIX_IFont* font) {
    return SharedList<FontEntry>::Instance().Store(key, font);
}

int FontCache::Count() {
    return SharedList<FontEntry>::Instance().Count();
}
