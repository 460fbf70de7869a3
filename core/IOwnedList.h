#pragma once

#include "core/IByteBuffer.h"

#include <cstdint>
#include <cstring>

// An ordered list of owned pointers kept in a byte buffer. Destroying or clearing the list
// deletes the elements from the last to the first. A failed growth leaves the list as it was
// and reports false; the element is then still the caller's.
template <typename T>
class IOwnedList {
public:
    IOwnedList() = default;
    ~IOwnedList() { Clear(); }
    IOwnedList(const IOwnedList&) = delete;
    IOwnedList& operator=(const IOwnedList&) = delete;

    // [any] No lock: the owner serialises access.
    int Count() const { return storage.Size() / static_cast<int32_t>(sizeof(T*)); }
    T* At(int index) const { return index >= 0 && index < Count() ? Items()[index] : nullptr; }
    // Takes ownership on success.
    bool Append(T* item) { return Insert(Count(), item); }
    // Inserts before position (clamped into 0..Count()).
    bool Insert(int position, T* item) {
        const int count = Count();
        position = position < 0 ? 0 : (position > count ? count : position);
        const int32_t before = storage.Size();
        storage.Resize(before + static_cast<int32_t>(sizeof(T*)), false);
        if (storage.Size() == before) {
            return false;
        }
        T** items = Items();
        std::memmove(items + position + 1, items + position,
                     static_cast<size_t>(count - position) * sizeof(T*));
        items[position] = item;
        return true;
    }
    void Clear() {
        for (int i = Count() - 1; i >= 0; --i) {
            delete Items()[i];
        }
        storage.Clear();
    }

private:
    T** Items() const { return reinterpret_cast<T**>(const_cast<uint8_t*>(storage.Data())); }

    IByteBuffer storage{16 * static_cast<int32_t>(sizeof(T*))};
};
