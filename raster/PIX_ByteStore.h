#pragma once

#include <cstdint>

// A font's growable run of bytes (its glyph table, its coverage maps). Growth is by at least the
// granularity fixed at creation; a failed growth is answered as a result and changes nothing.
class PIX_ByteStore {
public:
    explicit PIX_ByteStore(int32_t granularity) : granularity(granularity > 0 ? granularity : 1) {}
    ~PIX_ByteStore();
    PIX_ByteStore(const PIX_ByteStore&) = delete;
    PIX_ByteStore& operator=(const PIX_ByteStore&) = delete;

    int32_t Size() const { return size; }
    // The bytes, none while the store is empty.
    uint8_t* Data() { return size > 0 ? storage : nullptr; }
    const uint8_t* Data() const { return size > 0 ? storage : nullptr; }

    // Sets the size to n bytes; bytes gained are not cleared and shrinking keeps the memory.
    // False, with nothing changed, when n is negative or the store cannot grow to n.
    bool Resize(int32_t n);
    // Empties the store and frees its memory.
    void Clear();

private:
    uint8_t* storage = nullptr;
    int32_t capacity = 0;
    int32_t size = 0;
    int32_t granularity;
};
