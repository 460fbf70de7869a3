#include "raster/PIX_ByteStore.h"

#include <algorithm>
#include <cstdlib>

PIX_ByteStore::~PIX_ByteStore() {
    std::free(storage);
}

bool PIX_ByteStore::Resize(int32_t n) {
    if (n < 0) {
        return false;
    }
    if (n > capacity) {
        // Half as much again, so that a store filled a glyph at a time is copied only a few times.
        const int64_t step = std::max<int64_t>(capacity / 2, granularity);
        const auto wanted = static_cast<int32_t>(std::min<int64_t>(int64_t{capacity} + step, INT32_MAX));
        const int32_t newCapacity = std::max(n, wanted);
        auto* grown = static_cast<uint8_t*>(std::realloc(storage, static_cast<size_t>(newCapacity)));
        if (grown == nullptr) {
            return false;
        }
        storage = grown;
        capacity = newCapacity;
    }
    size = n;
    return true;
}

void PIX_ByteStore::Clear() {
    std::free(storage);
    storage = nullptr;
    capacity = 0;
    size = 0;
}
