#include "tools/host/PresetFile.h"

#include "vst/VstInterface.h"

#include <cstdio>

namespace ksphost {

namespace {

constexpr int32_t kChunkMagic = FourCharCode('C', 'c', 'n', 'K');
constexpr int32_t kProgramChunkMagic = FourCharCode('F', 'P', 'C', 'h');
constexpr int32_t kBankChunkMagic = FourCharCode('F', 'B', 'C', 'h');
constexpr int32_t kProgramParamsMagic = FourCharCode('F', 'x', 'C', 'k');
constexpr int32_t kBankParamsMagic = FourCharCode('F', 'x', 'B', 'k');
constexpr size_t kNameBytes = 28;
constexpr size_t kFutureBytes = 124;
// Header bytes before the chunk: 7 fields and the name, or 8 fields and the reserved area; then
// the chunk size.
constexpr size_t kProgramHeaderBytes = 7 * 4 + kNameBytes + 4;
constexpr size_t kBankHeaderBytes = 8 * 4 + kFutureBytes + 4;

void PutBig(std::vector<uint8_t>& out, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

int32_t GetBig(const std::vector<uint8_t>& in, size_t at) {
    return static_cast<int32_t>((static_cast<uint32_t>(in[at]) << 24) |
                                (static_cast<uint32_t>(in[at + 1]) << 16) |
                                (static_cast<uint32_t>(in[at + 2]) << 8) | static_cast<uint32_t>(in[at + 3]));
}

} // namespace

std::string FourCharText(int32_t code) {
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<uint32_t>(code) >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
            return hex;
        }
        text += c;
    }
    return text + "'";
}

std::vector<uint8_t> EncodePresetFile(const PresetFile& preset) {
    std::vector<uint8_t> out;
    PutBig(out, kChunkMagic);
    const size_t header = preset.bank ? kBankHeaderBytes : kProgramHeaderBytes;
    PutBig(out, static_cast<int32_t>(header + preset.chunk.size() - 8));
    PutBig(out, preset.bank ? kBankChunkMagic : kProgramChunkMagic);
    PutBig(out, preset.bank ? 2 : 1);
    PutBig(out, preset.fxId);
    PutBig(out, preset.fxVersion);
    PutBig(out, preset.count);
    if (preset.bank) {
        PutBig(out, preset.currentProgram);
        out.insert(out.end(), kFutureBytes, 0);
    } else {
        const std::string name = preset.programName.substr(0, kNameBytes - 1);
        out.insert(out.end(), name.begin(), name.end());
        out.insert(out.end(), kNameBytes - name.size(), 0);
    }
    PutBig(out, static_cast<int32_t>(preset.chunk.size()));
    out.insert(out.end(), preset.chunk.begin(), preset.chunk.end());
    return out;
}

Result<PresetFile> DecodePresetFile(const std::vector<uint8_t>& bytes, const std::string& what) {
    if (bytes.size() < 16 || GetBig(bytes, 0) != kChunkMagic) {
        return Status::Error(what + " is not a VST preset file");
    }
    const int32_t kind = GetBig(bytes, 8);
    if (kind == kProgramParamsMagic || kind == kBankParamsMagic) {
        return Status::Error(what + " holds a list of parameter values; only presets that hold the plug-in's "
                                    "state as a chunk are supported");
    }
    if (kind != kProgramChunkMagic && kind != kBankChunkMagic) {
        return Status::Error(what + " is not a VST preset file");
    }
    PresetFile preset;
    preset.bank = kind == kBankChunkMagic;
    const size_t header = preset.bank ? kBankHeaderBytes : kProgramHeaderBytes;
    if (bytes.size() < header) {
        return Status::Error(what + " is cut short");
    }
    preset.fxId = GetBig(bytes, 16);
    preset.fxVersion = GetBig(bytes, 20);
    preset.count = GetBig(bytes, 24);
    if (preset.bank) {
        preset.currentProgram = GetBig(bytes, 12) >= 2 ? GetBig(bytes, 28) : 0;
    } else {
        size_t length = 0;
        while (length < kNameBytes - 1 && bytes[28 + length] != 0) {
            ++length;
        }
        preset.programName.assign(bytes.begin() + 28,
                                  bytes.begin() + 28 + static_cast<std::ptrdiff_t>(length));
    }
    const int32_t chunkSize = GetBig(bytes, header - 4);
    if (chunkSize < 0 || static_cast<size_t>(chunkSize) > bytes.size() - header) {
        return Status::Error(what + " is cut short");
    }
    preset.chunk.assign(bytes.begin() + static_cast<std::ptrdiff_t>(header),
                        bytes.begin() + static_cast<std::ptrdiff_t>(header) + chunkSize);
    return preset;
}

} // namespace ksphost
