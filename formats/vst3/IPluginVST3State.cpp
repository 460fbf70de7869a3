// The VST 3 binding's state: the VST 2.4 program chunk, so that a host replacing a saved VST 2.4
// instance with this one, or a user loading a .fxp/.fxb file, keeps the settings.
#include "formats/vst3/IPluginVST3.h"

#include "core/FourCharCode.h"

#include <cstring>

namespace {

// A bypassed instance's state ends in these eight bytes after the chunk; an active one's is the
// chunk alone.
constexpr int32_t kBypassMark = FourCharCode('K', 'B', 'y', 'p');
constexpr int32_t kBypassMarkSize = 8;
// No state of this plug-in comes near this size; a stream that does is no state of it.
constexpr int32_t kLargestState = 16 * 1024 * 1024;

// The preset files' fields are big-endian 32-bit words.
int32_t BigEndianAt(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) << 24 |
                                static_cast<uint32_t>(bytes[1]) << 16 | static_cast<uint32_t>(bytes[2]) << 8 |
                                bytes[3]);
}

bool WriteAll(vst3::IBStream* stream, const void* data, int32_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        vst3::int32 written = 0;
        if (stream->write(const_cast<uint8_t*>(bytes), size, &written) != vst3::kResultOk || written <= 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

} // namespace

bool IPluginVST3::ReadStream(vst3::IBStream* stream, IByteBuffer& buffer) {
    uint8_t piece[4096];
    for (;;) {
        vst3::int32 read = 0;
        if (stream->read(piece, sizeof piece, &read) != vst3::kResultOk || read < 0) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        const int32_t before = buffer.Size();
        if (before + read > kLargestState || buffer.PutBytes(piece, read) != before + read) {
            return false;
        }
    }
}

bool IPluginVST3::LoadStateBytes(const IByteBuffer& bytes) {
    const uint8_t* data = bytes.Data();
    int32_t size = bytes.Size();
    bool bypassed = false;
    int32_t mark = 0;
    if (size > kBypassMarkSize && bytes.GetInt32(size - kBypassMarkSize, mark) > 0 && mark == kBypassMark) {
        int32_t flag = 0;
        bytes.GetInt32(size - 4, flag);
        bypassed = flag != 0;
        size -= kBypassMarkSize;
    }
    // A .fxp or .fxb file: its header, then the program or bank chunk this plug-in wrote.
    if (size >= 60 && BigEndianAt(data) == FourCharCode('C', 'c', 'n', 'K')) {
        const int32_t kind = BigEndianAt(data + 8);
        if (BigEndianAt(data + 16) != plugin->UniqueId()) {
            return false;
        }
        const int32_t chunkAt = kind == FourCharCode('F', 'P', 'C', 'h')   ? 56
                                : kind == FourCharCode('F', 'B', 'C', 'h') ? 156
                                                                           : -1;
        const int32_t chunkSize = chunkAt >= 0 && size >= chunkAt + 4 ? BigEndianAt(data + chunkAt) : -1;
        if (chunkSize < 0 || chunkSize > size - chunkAt - 4) {
            return false;
        }
        data += chunkAt + 4;
        size = chunkSize;
    }
    if (!plugin->LoadChunk(data, size)) {
        return false;
    }
    plugin->SetBypass(bypassed, active);
    return true;
}

vst3::tresult VST3_CALL IPluginVST3::setState(vst3::IBStream* state) {
    IByteBuffer bytes;
    if (state == nullptr || !ReadStream(state, bytes)) {
        return vst3::kResultFalse;
    }
    LockGuard guard(plugin->Lock());
    if (!LoadStateBytes(bytes)) {
        return vst3::kResultFalse;
    }
    FollowPlugin(false);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getState(vst3::IBStream* state) {
    if (state == nullptr) {
        return vst3::kInvalidArgument;
    }
    LockGuard guard(plugin->Lock());
    void* chunk = nullptr;
    const int32_t size = plugin->GetChunk(&chunk, false);
    if (size <= 0 || !WriteAll(state, chunk, size)) {
        return vst3::kResultFalse;
    }
    if (plugin->Bypassed()) {
        IByteBuffer mark(kBypassMarkSize);
        mark.PutInt32(kBypassMark);
        mark.PutInt32(1);
        if (!WriteAll(state, mark.Data(), mark.Size())) {
            return vst3::kResultFalse;
        }
    }
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::setComponentState(vst3::IBStream* /*state*/) {
    // One object: the component's state is already the plug-in's.
    LockGuard guard(plugin->Lock());
    FollowPlugin(false);
    return vst3::kResultOk;
}
