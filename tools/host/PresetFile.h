#pragma once

#include "tools/host/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ksphost {

// The standard VST 2.4 preset files, header fields big-endian; byteSize counts the bytes after
// itself. A plug-in that keeps its state as an opaque chunk is saved in the chunk forms:
// .fxp (one program):  'CcnK', byteSize, 'FPCh', version 1, fxID, fxVersion, numParams,
//                      prgName[28], chunkSize, chunk
// .fxb (bank):         'CcnK', byteSize, 'FBCh', version 2, fxID, fxVersion, numPrograms,
//                      currentProgram, future[124], chunkSize, chunk
// Any other plug-in in the parameter-list forms:
// .fxp:                'CcnK', byteSize, 'FxCk', version 1, fxID, fxVersion, numParams,
//                      prgName[28], numParams normalised values (32-bit floats)
// .fxb:                'CcnK', byteSize, 'FxBk', version 2, fxID, fxVersion, numPrograms,
//                      currentProgram, future[124], numPrograms whole 'FxCk' program files
// Version 1 banks have no currentProgram; their reserved area starts there.

// One program of a parameter-list preset.
struct PresetProgram {
    std::string name; // at most 27 bytes are kept
    std::vector<float> values;
};

struct PresetFile {
    bool bank = false;
    bool opaque = true; // the plug-in's chunk, else parameter lists
    int32_t fxId = 0;
    int32_t fxVersion = 0;
    int32_t count = 0;          // chunk forms: parameters (program file) or programs (bank file)
    int32_t currentProgram = 0; // bank files only
    std::string programName;    // chunk program files only, at most 27 bytes are kept
    std::vector<uint8_t> chunk;
    std::vector<PresetProgram> programs; // parameter lists: the program, or every program of a bank
};

// The file's bytes, owned by the caller.
std::vector<uint8_t> EncodePresetFile(const PresetFile& preset);
// what names the data in error messages (usually the file's path).
Result<PresetFile> DecodePresetFile(const std::vector<uint8_t>& bytes, const std::string& what);

// Four-character code as text, e.g. 'ksph'; unprintable bytes as a hexadecimal number.
std::string FourCharText(int32_t code);

} // namespace ksphost
