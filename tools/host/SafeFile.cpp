#include "tools/host/SafeFile.h"

#include "tools/host/System.h"

#include <cstdio>

namespace ksphost {

std::string TemporaryPathFor(const std::string& target) {
    return target + ".partial-" + std::to_string(ProcessId());
}

Status CommitFile(const std::string& temporary, const std::string& target) {
    if (!RenameOver(temporary, target)) {
        RemoveFile(temporary);
        return Status::Error("cannot write " + target + ": the finished file could not be moved into place");
    }
    return Status();
}

Status WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = TemporaryPathFor(path);
    std::FILE* file = OpenFile(temporary, "wb");
    if (file == nullptr) {
        return Status::Error("cannot write " + path + ": " + LastFileError());
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        RemoveFile(temporary);
        return Status::Error("cannot write " + path + ": " + LastFileError());
    }
    return CommitFile(temporary, path);
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    if (!IsRegularFile(path)) {
        return Status::Error(path + ": no such file");
    }
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        return Status::Error("cannot read " + path + ": " + LastFileError());
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.insert(bytes.end(), block, block + n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return Status::Error("cannot read " + path + ": " + LastFileError());
    }
    return bytes;
}

} // namespace ksphost
