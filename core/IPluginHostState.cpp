// The state a format's host stores: the program chunk, which VST 2.4 hosts store too, so that a
// session moved from one format to another keeps its settings.
#include "core/FourCharCode.h"
#include "core/IPluginBase.h"

namespace {

// A bypassed instance's state ends in these eight bytes after the chunk; an active one's is the
// chunk alone.
constexpr int32_t kBypassMark = FourCharCode('K', 'B', 'y', 'p');
constexpr int32_t kBypassMarkSize = 8;

// The preset files' fields are big-endian 32-bit words.
int32_t BigEndianAt(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) << 24 |
                                static_cast<uint32_t>(bytes[1]) << 16 | static_cast<uint32_t>(bytes[2]) << 8 |
                                bytes[3]);
}

} // namespace

bool IPluginBase::SaveHostState(IByteBuffer& out) {
    void* chunk = nullptr;
    const int32_t size = GetChunk(&chunk, false);
    const int32_t before = out.Size();
    if (size <= 0 || out.PutBytes(chunk, size) != before + size) {
        return false;
    }
    return !bypassTarget || (out.PutInt32(kBypassMark) == before + size + 4 &&
                             out.PutInt32(1) == before + size + kBypassMarkSize);
}

bool IPluginBase::LoadHostState(const IByteBuffer& in, bool fade) {
    const uint8_t* data = in.Data();
    int32_t size = in.Size();
    bool bypassed = false;
    int32_t mark = 0;
    if (size > kBypassMarkSize && in.GetInt32(size - kBypassMarkSize, mark) > 0 && mark == kBypassMark) {
        int32_t flag = 0;
        in.GetInt32(size - 4, flag);
        bypassed = flag != 0;
        size -= kBypassMarkSize;
    }
    // A .fxp or .fxb file of this plug-in: its header, then the program or bank chunk.
    if (size >= 60 && BigEndianAt(data) == FourCharCode('C', 'c', 'n', 'K')) {
        const int32_t kind = BigEndianAt(data + 8);
        const int32_t chunkAt = kind == FourCharCode('F', 'P', 'C', 'h')   ? 56
                                : kind == FourCharCode('F', 'B', 'C', 'h') ? 156
                                                                           : -1;
        const int32_t chunkSize = chunkAt >= 0 && size >= chunkAt + 4 ? BigEndianAt(data + chunkAt) : -1;
        if (BigEndianAt(data + 16) != uniqueId || chunkSize < 0 || chunkSize > size - chunkAt - 4) {
            return false;
        }
        data += chunkAt + 4;
        size = chunkSize;
    }
    if (!LoadChunk(data, size)) {
        return false;
    }
    SetBypass(bypassed, fade);
    return true;
}
