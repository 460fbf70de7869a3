// The VST 3 binding's state: the core's host state, the VST 2.4 program chunk, so that a host
// replacing a saved VST 2.4 instance with this one, or a user loading a .fxp/.fxb file, keeps
// the settings.
#include "formats/vst3/IPluginVST3.h"

namespace {

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
        if (before + read > kLargestHostState || buffer.PutBytes(piece, read) != before + read) {
            return false;
        }
    }
}

vst3::tresult VST3_CALL IPluginVST3::setState(vst3::IBStream* state) {
    IByteBuffer bytes;
    if (state == nullptr || !ReadStream(state, bytes)) {
        return vst3::kResultFalse;
    }
    LockGuard guard(plugin->Lock());
    if (!plugin->LoadHostState(bytes, active)) {
        return vst3::kResultFalse;
    }
    FollowPlugin(false);
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::getState(vst3::IBStream* state) {
    if (state == nullptr) {
        return vst3::kInvalidArgument;
    }
    IByteBuffer bytes;
    LockGuard guard(plugin->Lock());
    if (!plugin->SaveHostState(bytes) || !WriteAll(state, bytes.Data(), bytes.Size())) {
        return vst3::kResultFalse;
    }
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::setComponentState(vst3::IBStream* /*state*/) {
    // One object: the component's state is already the plug-in's.
    LockGuard guard(plugin->Lock());
    FollowPlugin(false);
    return vst3::kResultOk;
}
