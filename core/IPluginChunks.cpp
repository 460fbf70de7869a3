#include "core/IPluginBase.h"

#include "core/Trace.h"

#include <cstring>

namespace {

// Copies size bytes into buffer; false, copying nothing, when it cannot hold them.
// The source may lie inside the buffer: a host may hand back the bytes it was given.
bool CopyInto(IByteBuffer& buffer, const void* data, int64_t size) {
    if (size < 0 || size > INT32_MAX) {
        return false;
    }
    const auto n = static_cast<int32_t>(size);
    buffer.Resize(n, false);
    if (buffer.Size() != n) {
        return false;
    }
    if (n > 0) {
        std::memmove(buffer.Data(), data, static_cast<size_t>(n));
    }
    return true;
}

} // namespace

void IPluginBase::PutChunkHeader(IByteBuffer& buffer) {
    buffer.Clear();
    buffer.PutInt32(kChunkMagic);
    buffer.PutInt32(kChunkVersion);
}

int32_t IPluginBase::ReadChunkHeader(const IByteBuffer& buffer, int& pos) {
    int32_t magic = 0;
    if (buffer.GetInt32(pos, magic) < 0 || magic != kChunkMagic) {
        return 0;
    }
    int32_t version = 0;
    const int next = buffer.GetInt32(pos + 4, version);
    if (next < 0) {
        pos = -1;
        return 0;
    }
    pos = next;
    return version;
}

bool IPluginBase::SerializeParams(IByteBuffer& buffer) {
    LockGuard guard(pluginLock);
    bool ok = true;
    for (int i = 0; i < parameterCount && ok; ++i) {
        KSP_TRACE("IPluginBase::SerializeParams", "%d %s %f", i, parameters[i].Name(), parameters[i].Value());
        const int32_t before = buffer.Size();
        ok = buffer.PutDouble(parameters[i].Value()) == before + 8;
    }
    return ok;
}

int IPluginBase::UnserializeParams(const IByteBuffer& buffer, int pos) {
    LockGuard guard(pluginLock);
    for (int i = 0; i < parameterCount && pos >= 0; ++i) {
        double v = 0.0;
        pos = buffer.GetDouble(pos, v);
        parameters[i].SetFromPlain(v);
        KSP_TRACE("IPluginBase::UnserializeParams", "%d %s %f", i, parameters[i].Name(),
                  parameters[i].Value());
    }
    NotifyAllParameters();
    return pos;
}

bool IPluginBase::SerializePresets(IByteBuffer& buffer) {
    for (int i = 0; i < presetCount; ++i) {
        const IPresetSlot& slot = presets[i];
        KSP_TRACE("IPluginBase::SerializePresets", "%d %s", i, slot.name);
        const int64_t expected = int64_t{buffer.Size()} + 4 + static_cast<int64_t>(std::strlen(slot.name)) +
                                 1 + (slot.initialised ? slot.state.Size() : 0);
        buffer.PutString(slot.name);
        buffer.PutByte(slot.initialised ? 1 : 0);
        if (slot.initialised) {
            buffer.PutBytes(slot.state.Data(), slot.state.Size());
        }
        if (buffer.Size() != expected) {
            return false;
        }
    }
    return true;
}

int IPluginBase::UnserializePresets(const IByteBuffer& buffer, int pos) {
    for (int i = 0; i < presetCount && pos >= 0; ++i) {
        IPresetSlot& slot = presets[i];
        char name[kPresetNameCapacity] = {};
        const int next = buffer.GetString(pos, name, sizeof name);
        if (next >= 0 && next <= buffer.Size()) {
            std::memcpy(slot.name, name, sizeof name);
            KSP_TRACE("IPluginBase::UnserializePresets", "%d %s", i, slot.name);
        }
        uint8_t flag = 0;
        pos = next >= 0 ? buffer.GetByte(next, flag) : -1;
        if (pos < 0) {
            break;
        }
        slot.initialised = flag != 0;
        if (slot.initialised) {
            pos = LoadState(buffer, pos);
            if (pos > 0) {
                slot.state.Clear();
                SaveState(slot.state);
            }
        }
    }
    LoadPreset(currentPreset);
    return pos;
}

int32_t IPluginBase::GetChunk(void** data, bool isBank) {
    if (data == nullptr) {
        return 0;
    }
    IByteBuffer& target = isBank ? bankChunk : programChunk;
    PutChunkHeader(target);
    bool ok;
    if (isBank) {
        ModifyCurrentPreset(nullptr);
        ok = SerializePresets(target);
    } else {
        const char* name = PresetName(currentPreset);
        ok = SaveState(target);
        const int64_t expected = int64_t{target.Size()} + 4 + static_cast<int64_t>(std::strlen(name));
        ok = ok && target.PutString(name) == expected;
    }
    if (!ok || target.Size() == 0) {
        return 0;
    }
    *data = target.Data();
    return target.Size();
}

int32_t IPluginBase::SetChunk(const void* data, int64_t size, bool isBank, bool quirkHost) {
    IByteBuffer& target = isBank ? bankChunk : programChunk;
    if (data == nullptr || !CopyInto(target, data, size)) {
        return 0;
    }
    const auto n = static_cast<int32_t>(size);
    int pos = 0;
    const int32_t chunkVersion = ReadChunkHeader(target, pos);
    int result;
    if (isBank && chunkVersion >= kChunkVersion) {
        result = UnserializePresets(target, pos);
    } else {
        result = ReadProgramChunk(target, pos);
    }
    // Hosts that hand banks over as programs: bytes the program read did not take exactly are
    // read again as a bank. Without a bank header the program read's own result stands.
    if (quirkHost && result != n) {
        if (!CopyInto(bankChunk, target.Data(), n)) {
            return 0;
        }
        pos = 0;
        if (ReadChunkHeader(bankChunk, pos) >= kChunkVersion) {
            result = UnserializePresets(bankChunk, pos);
        } else if (pos < 0) {
            result = pos;
        }
    }
    if (result < 0) {
        return 0;
    }
    SendParametersToEditor();
    return 1;
}

int IPluginBase::ReadProgramChunk(const IByteBuffer& buffer, int pos) {
    int result = LoadState(buffer, pos);
    if (result < buffer.Size()) {
        char name[kPresetNameCapacity] = {};
        result = buffer.GetString(result, name, sizeof name);
        ModifyCurrentPreset(name);
    } else {
        ModifyCurrentPreset(nullptr);
    }
    return result;
}

bool IPluginBase::LoadChunk(const void* data, int64_t size) {
    IByteBuffer bytes;
    IByteBuffer saved;
    void* current = nullptr;
    const int32_t savedSize = GetChunk(&current, true);
    if (data == nullptr || !CopyInto(bytes, data, size) || savedSize <= 0 ||
        !CopyInto(saved, current, savedSize)) {
        return false;
    }
    int pos = 0;
    if (ReadChunkHeader(bytes, pos) < kChunkVersion) {
        return false;
    }
    const int start = pos;
    // Whichever reading takes every byte, the program's first: a bank read as a program, or a
    // program as a bank, stops short or runs out.
    bool whole = ReadProgramChunk(bytes, start) == bytes.Size();
    if (!whole) {
        Restore(saved);
        whole = UnserializePresets(bytes, start) == bytes.Size();
    }
    if (!whole) {
        Restore(saved);
        return false;
    }
    SendParametersToEditor();
    return true;
}

void IPluginBase::Restore(const IByteBuffer& bank) {
    int pos = 0;
    ReadChunkHeader(bank, pos);
    UnserializePresets(bank, pos);
    SendParametersToEditor();
}
