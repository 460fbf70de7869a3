#include "tools/host/PresetFile.h"

#include "formats/vst2/VstInterface.h"

#include <cstdio>
#include <cstring>

namespace ksphost {

namespace {

constexpr int32_t kChunkMagic = FourCharCode('C', 'c', 'n', 'K');
constexpr int32_t kProgramChunkMagic = FourCharCode('F', 'P', 'C', 'h');
constexpr int32_t kBankChunkMagic = FourCharCode('F', 'B', 'C', 'h');
constexpr int32_t kProgramParamsMagic = FourCharCode('F', 'x', 'C', 'k');
constexpr int32_t kBankParamsMagic = FourCharCode('F', 'x', 'B', 'k');
constexpr size_t kNameBytes = 28;
constexpr size_t kFutureBytes = 124;
// Header bytes: 7 fields and the name, or 8 fields and the reserved area. The chunk forms add the
// chunk size.
constexpr size_t kProgramHeaderBytes = 7 * 4 + kNameBytes;
constexpr size_t kBankHeaderBytes = 8 * 4 + kFutureBytes;
// More parameters or programs than any plug-in has: a damaged file.
constexpr int32_t kMostEntries = 1 << 20;

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

// The fields every header starts with; byteSize is filled in by Finish.
void PutHeader(std::vector<uint8_t>& out, int32_t kind, const PresetFile& preset, int32_t count) {
    PutBig(out, kChunkMagic);
    PutBig(out, 0);
    PutBig(out, kind);
    PutBig(out, kind == kBankChunkMagic || kind == kBankParamsMagic ? 2 : 1);
    PutBig(out, preset.fxId);
    PutBig(out, preset.fxVersion);
    PutBig(out, count);
}

void PutName(std::vector<uint8_t>& out, const std::string& text) {
    const std::string name = text.substr(0, kNameBytes - 1);
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), kNameBytes - name.size(), 0);
}

std::string GetName(const std::vector<uint8_t>& in, size_t at) {
    size_t length = 0;
    while (length < kNameBytes - 1 && in[at + length] != 0) {
        ++length;
    }
    const auto begin = in.begin() + static_cast<std::ptrdiff_t>(at);
    return std::string(begin, begin + static_cast<std::ptrdiff_t>(length));
}

// Sets byteSize of the record that starts at start.
void Finish(std::vector<uint8_t>& out, size_t start) {
    std::vector<uint8_t> size;
    PutBig(size, static_cast<int32_t>(out.size() - start - 8));
    std::memcpy(&out[start + 4], size.data(), 4);
}

void PutParameterProgram(std::vector<uint8_t>& out, const PresetFile& preset, const PresetProgram& program) {
    const size_t start = out.size();
    PutHeader(out, kProgramParamsMagic, preset, static_cast<int32_t>(program.values.size()));
    PutName(out, program.name);
    for (float value : program.values) {
        uint32_t word = 0;
        std::memcpy(&word, &value, 4);
        PutBig(out, static_cast<int32_t>(word));
    }
    Finish(out, start);
}

// Reads the 'FxCk' program file at at; next is where the record after it starts.
Result<PresetProgram> DecodeParameterProgram(const std::vector<uint8_t>& bytes, size_t at,
                                             const std::string& what, size_t& next) {
    if (bytes.size() - at < kProgramHeaderBytes || GetBig(bytes, at) != kChunkMagic ||
        GetBig(bytes, at + 8) != kProgramParamsMagic) {
        return Status::Error(what + " is cut short or holds a damaged program");
    }
    const int32_t count = GetBig(bytes, at + 24);
    if (count < 0 || count > kMostEntries ||
        static_cast<size_t>(count) > (bytes.size() - at - kProgramHeaderBytes) / 4) {
        return Status::Error(what + " is cut short");
    }
    PresetProgram program;
    program.name = GetName(bytes, at + 28);
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t word =
            static_cast<uint32_t>(GetBig(bytes, at + kProgramHeaderBytes + 4 * static_cast<size_t>(i)));
        float value = 0.0f;
        std::memcpy(&value, &word, 4);
        program.values.push_back(value);
    }
    next = at + kProgramHeaderBytes + 4 * static_cast<size_t>(count);
    return program;
}

Result<PresetFile> DecodeParameterBank(const std::vector<uint8_t>& bytes, PresetFile preset,
                                       const std::string& what) {
    const int32_t count = GetBig(bytes, 24);
    if (count < 0 || count > kMostEntries) {
        return Status::Error(what + " is cut short");
    }
    size_t at = kBankHeaderBytes;
    for (int32_t i = 0; i < count; ++i) {
        auto program = DecodeParameterProgram(bytes, at, what, at);
        if (!program.Ok()) {
            return program.Error();
        }
        preset.programs.push_back(std::move(program.Value()));
    }
    return preset;
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
    if (!preset.opaque && !preset.bank) {
        PutParameterProgram(out, preset, preset.programs.empty() ? PresetProgram() : preset.programs.front());
        return out;
    }
    if (preset.bank) {
        PutHeader(out, preset.opaque ? kBankChunkMagic : kBankParamsMagic, preset,
                  preset.opaque ? preset.count : static_cast<int32_t>(preset.programs.size()));
        PutBig(out, preset.currentProgram);
        out.insert(out.end(), kFutureBytes, 0);
    } else {
        PutHeader(out, kProgramChunkMagic, preset, preset.count);
        PutName(out, preset.programName);
    }
    if (preset.opaque) {
        PutBig(out, static_cast<int32_t>(preset.chunk.size()));
        out.insert(out.end(), preset.chunk.begin(), preset.chunk.end());
    } else {
        for (const PresetProgram& program : preset.programs) {
            PutParameterProgram(out, preset, program);
        }
    }
    Finish(out, 0);
    return out;
}

Result<PresetFile> DecodePresetFile(const std::vector<uint8_t>& bytes, const std::string& what) {
    if (bytes.size() < 16 || GetBig(bytes, 0) != kChunkMagic) {
        return Status::Error(what + " is not a VST preset file");
    }
    const int32_t kind = GetBig(bytes, 8);
    if (kind != kProgramChunkMagic && kind != kBankChunkMagic && kind != kProgramParamsMagic &&
        kind != kBankParamsMagic) {
        return Status::Error(what + " is not a VST preset file");
    }
    PresetFile preset;
    preset.bank = kind == kBankChunkMagic || kind == kBankParamsMagic;
    preset.opaque = kind == kProgramChunkMagic || kind == kBankChunkMagic;
    const size_t header = preset.bank ? kBankHeaderBytes : kProgramHeaderBytes;
    if (bytes.size() < header) {
        return Status::Error(what + " is cut short");
    }
    preset.fxId = GetBig(bytes, 16);
    preset.fxVersion = GetBig(bytes, 20);
    preset.count = GetBig(bytes, 24);
    if (preset.bank) {
        preset.currentProgram = GetBig(bytes, 12) >= 2 ? GetBig(bytes, 28) : 0;
    }
    if (!preset.opaque) {
        size_t next = 0;
        if (preset.bank) {
            return DecodeParameterBank(bytes, preset, what);
        }
        auto program = DecodeParameterProgram(bytes, 0, what, next);
        if (!program.Ok()) {
            return program.Error();
        }
        preset.programs.push_back(std::move(program.Value()));
        return preset;
    }
    if (!preset.bank) {
        preset.programName = GetName(bytes, 28);
    }
    if (bytes.size() < header + 4) {
        return Status::Error(what + " is cut short");
    }
    const int32_t chunkSize = GetBig(bytes, header);
    if (chunkSize < 0 || static_cast<size_t>(chunkSize) > bytes.size() - header - 4) {
        return Status::Error(what + " is cut short");
    }
    const auto chunk = bytes.begin() + static_cast<std::ptrdiff_t>(header + 4);
    preset.chunk.assign(chunk, chunk + chunkSize);
    return preset;
}

} // namespace ksphost
