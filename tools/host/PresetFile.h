#pragma once

#include "tools/host/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ksphost {

// The standard VST 2.4 preset files in their opaque-chunk form, header fields big-endian:
// .fxp (one program):  'CcnK', byteSize, 'FPCh', version 1, fxID, fxVersion, numParams,
//                      prgName[28], chunkSize, chunk
// .fxb (bank):         'CcnK', byteSize, 'FBCh', version 2, fxID, fxVersion, numPrograms,
//                      currentProgram, future[124], chunkSize, chunk
// byteSize counts the bytes after itself.
struct PresetFile {
    bool bank = false;
    int32_t fxId = 0;
    int32_t fxVersion = 0;
    int32_t count = 0;          // parameters (program file) or programs (bank file)
    int32_t currentProgram = 0; // bank files only
    std::string programName;    // program files only, at most 27 bytes are kept
    std::vector<uint8_t> chunk;
};

std::vector<uint8_t> EncodePresetFile(const PresetFile& preset);
// what names the data in error messages (usually the file's path).
Result<PresetFile> DecodePresetFile(const std::vector<uint8_t>& bytes, const std::string& what);

// Four-character code as text, e.g. 'ksph'; unprintable bytes as a hexadecimal number.
std::string FourCharText(int32_t code);

} // namespace ksphost
