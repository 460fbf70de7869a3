#include "core/IByteBuffer.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t kPage = 4096;
constexpr int64_t kAllocatorOverhead = 96;

// Capacity for a size of n bytes: pages minus the allocator's own bookkeeping for large
// granularities, a plain margin for small ones.
int64_t CapacityFor(int64_t n, int64_t granularity) {
    if (n == 0) {
        return 0;
    }
    int64_t g = n / 2 > granularity ? n / 2 : granularity;
    if (granularity >= kPage) {
        g = g / kPage * kPage;
        if (g < kPage) {
            g = kPage;
        } else if (g > 4194304) {
            g = 4194304;
        }
        return (n + kAllocatorOverhead + g) / kPage * kPage - kAllocatorOverhead;
    }
    return n + g;
}

void StoreLittleEndian(uint8_t* out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

uint64_t LoadLittleEndian(const uint8_t* in, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v |= static_cast<uint64_t>(in[i]) << (8 * i);
    }
    return v;
}

} // namespace

IByteBuffer::IByteBuffer(int32_t granularity) : granularity(granularity > 0 ? granularity : 1) {}

IByteBuffer::~IByteBuffer() {
    std::free(storage);
}

uint8_t* IByteBuffer::Resize(int32_t n, bool allowShrink) {
    if (n < 0) {
        n = 0;
    }
    if (n == size && !(allowShrink && n < capacity / 2)) {
        return Data();
    }
    int64_t threshold = 0;
    if (allowShrink && n < size) {
        threshold = capacity / 2 < capacity - 4 * int64_t{granularity} ? capacity / 2
                                                                       : capacity - 4 * int64_t{granularity};
        if (threshold <= 0) {
            threshold = 1;
        }
    }
    if (n > capacity || n < threshold) {
        const int64_t newCapacity = CapacityFor(n, granularity);
        if (newCapacity == 0) {
            std::free(storage);
            storage = nullptr;
            capacity = 0;
        } else if (newCapacity != capacity) {
            const size_t kept = static_cast<size_t>(n < size ? n : size);
            auto* grown = static_cast<uint8_t*>(std::realloc(storage, static_cast<size_t>(newCapacity)));
            if (grown == nullptr) {
                grown = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(newCapacity)));
                if (grown == nullptr) {
                    return Data();
                }
                if (kept > 0) {
                    std::memcpy(grown, storage, kept);
                }
                std::free(storage);
            }
            storage = grown;
            capacity = newCapacity;
        }
    }
    size = n;
    return Data();
}

int32_t IByteBuffer::ResizeZeroFill(int32_t n) {
    const int32_t old = size;
    Resize(n, true);
    if (size > old) {
        std::memset(storage + old, 0, static_cast<size_t>(size - old));
    }
    return old;
}

int32_t IByteBuffer::PutBytes(const void* data, int32_t n) {
    if (n <= 0 || static_cast<int64_t>(size) + n > INT32_MAX) {
        return size;
    }
    const int32_t old = size;
    Resize(old + n, false);
    if (size != old + n) {
        return size;
    }
    std::memcpy(storage + old, data, static_cast<size_t>(n));
    return size;
}

int32_t IByteBuffer::PutByte(uint8_t b) {
    return PutBytes(&b, 1);
}

int32_t IByteBuffer::PutInt32(int32_t v) {
    uint8_t bytes[4];
    StoreLittleEndian(bytes, static_cast<uint32_t>(v), 4);
    return PutBytes(bytes, 4);
}

int32_t IByteBuffer::PutDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    uint8_t bytes[8];
    StoreLittleEndian(bytes, bits, 8);
    return PutBytes(bytes, 8);
}

int32_t IByteBuffer::PutText(const char* text, int32_t length) {
    const char* source = text != nullptr ? text : "";
    const size_t n = length >= 0 ? static_cast<size_t>(length) : std::strlen(source);
    if (n >= static_cast<size_t>(INT32_MAX) ||
        static_cast<int64_t>(size) + static_cast<int64_t>(n) + 1 > INT32_MAX) {
        return size;
    }
    const int32_t old = size;
    Resize(old + static_cast<int32_t>(n) + 1, false);
    if (size != old + static_cast<int32_t>(n) + 1) {
        return size;
    }
    std::memcpy(storage + old, source, n);
    storage[old + static_cast<int32_t>(n)] = 0;
    return size;
}

bool IByteBuffer::SetText(const char* text) {
    const char* source = text != nullptr ? text : "";
    const size_t n = std::strlen(source);
    if (n >= static_cast<size_t>(INT32_MAX)) {
        return false;
    }
    const auto total = static_cast<int32_t>(n + 1);
    Resize(total, true);
    if (size != total) {
        return false;
    }
    std::memcpy(storage, source, n + 1);
    return true;
}

int32_t IByteBuffer::PutString(const char* text) {
    const size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(INT32_MAX - 4) || static_cast<int64_t>(size) + 4 + length > INT32_MAX) {
        return size;
    }
    const int32_t old = size;
    const auto n = static_cast<int32_t>(length);
    Resize(old + 4 + n, false);
    if (size != old + 4 + n) {
        return size;
    }
    StoreLittleEndian(storage + old, static_cast<uint32_t>(n), 4);
    if (n > 0) {
        std::memcpy(storage + old + 4, text, length);
    }
    return size;
}

bool IByteBuffer::Available(int32_t pos, int32_t n) const {
    return pos >= 0 && n >= 0 && static_cast<int64_t>(pos) + n <= size;
}

int32_t IByteBuffer::GetBytes(int32_t pos, void* out, int32_t n) const {
    if (!Available(pos, n)) {
        return -1;
    }
    if (n > 0) {
        std::memcpy(out, storage + pos, static_cast<size_t>(n));
    }
    return pos + n;
}

int32_t IByteBuffer::GetByte(int32_t pos, uint8_t& out) const {
    return GetBytes(pos, &out, 1);
}

int32_t IByteBuffer::GetInt32(int32_t pos, int32_t& out) const {
    if (!Available(pos, 4)) {
        return -1;
    }
    out = static_cast<int32_t>(static_cast<uint32_t>(LoadLittleEndian(storage + pos, 4)));
    return pos + 4;
}

int32_t IByteBuffer::GetDouble(int32_t pos, double& out) const {
    if (!Available(pos, 8)) {
        return -1;
    }
    const uint64_t bits = LoadLittleEndian(storage + pos, 8);
    std::memcpy(&out, &bits, sizeof out);
    return pos + 8;
}

int32_t IByteBuffer::GetString(int32_t pos, char* out, int32_t outCapacity) const {
    int32_t n = 0;
    const int32_t start = GetInt32(pos, n);
    if (start < 0 || n < 0 || static_cast<int64_t>(start) + n > INT32_MAX) {
        return -1;
    }
    if (Available(start, n) && out != nullptr && outCapacity > 0) {
        int32_t copied = 0;
        while (copied < n && copied < outCapacity - 1 && storage[start + copied] != 0) {
            out[copied] = static_cast<char>(storage[start + copied]);
            ++copied;
        }
        out[copied] = '\0';
    }
    return start + n;
}
