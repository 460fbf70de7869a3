#pragma once

#include <cstdint>

// The one growable storage above raster: chunk bytes, program states, growable texts and owned
// pointer lists (raster keeps its glyph tables in PIX_ByteStore). Growth is rounded by a
// granularity fixed at creation. Failures are reported by results: a failed growth leaves the
// buffer exactly as it was.
// Multi-byte values are little-endian; positions are int32 byte offsets, -1 marks a failed read.
class IByteBuffer {
public:
    explicit IByteBuffer(int32_t granularity = 4096);
    ~IByteBuffer();
    IByteBuffer(const IByteBuffer&) = delete;
    IByteBuffer& operator=(const IByteBuffer&) = delete;

    int32_t Size() const { return size; }
    int64_t Capacity() const { return capacity; }
    int32_t Granularity() const { return granularity; }
    uint8_t* Data() { return size > 0 ? storage : nullptr; }
    const uint8_t* Data() const { return size > 0 ? storage : nullptr; }

    // Sets the size to n (negative counts as 0); bytes gained are not cleared.
    uint8_t* Resize(int32_t n, bool allowShrink);
    // Resize(n, true) and clears the bytes gained; answers the old size.
    int32_t ResizeZeroFill(int32_t n);
    void Clear() { Resize(0, true); }

    // Appends at the end; each answers the new size (unchanged when growth failed).
    int32_t PutBytes(const void* data, int32_t n);
    int32_t PutByte(uint8_t b);
    int32_t PutInt32(int32_t v);
    int32_t PutDouble(double v);
    // int32 length without terminator, then the text's bytes.
    int32_t PutString(const char* text);

    // Growable texts. PutText appends length bytes of text (negative: up to its terminator; none
    // counts as empty) and a terminator, all or nothing; answers the new size. SetText replaces
    // the contents with text and its terminator; false (contents unchanged) when it cannot grow.
    // Text answers the contents as a text: the empty text while the buffer is empty.
    int32_t PutText(const char* text, int32_t length = -1);
    bool SetText(const char* text);
    const char* Text() const { return size > 0 ? reinterpret_cast<const char*>(storage) : ""; }

    // Reads answer the position after the value, or -1 when pos is negative or the value
    // does not fit in the remaining bytes (out is then unchanged).
    int32_t GetBytes(int32_t pos, void* out, int32_t n) const;
    int32_t GetByte(int32_t pos, uint8_t& out) const;
    int32_t GetInt32(int32_t pos, int32_t& out) const;
    int32_t GetDouble(int32_t pos, double& out) const;
    // Reads an int32 length n and, if the n bytes fit, copies them into out (cut to capacity
    // with the terminator; an embedded zero ends the text early). Answers pos + 4 + n even when
    // the bytes do not fit, so the next read fails; -1 when the length itself cannot be read,
    // is negative, or would carry the position past the int32 range.
    int32_t GetString(int32_t pos, char* out, int32_t outCapacity) const;

    // True when n bytes can be read at pos.
    bool Available(int32_t pos, int32_t n) const;

private:
    uint8_t* storage = nullptr;
    int64_t capacity = 0;
    int32_t size = 0;
    int32_t granularity;
};
