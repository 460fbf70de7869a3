#include "tools/host/SafeFile.h"

#include "tools/host/System.h"

#include <cstdio>

namespace ksphost {

OutputFile PlanOutput(const std::string& path) {
    OutputFile file;
    file.path = path;
    file.target = ResolveLinks(path);
    file.temporary = file.target + ".partial-" + std::to_string(ProcessId());
    return file;
}

Status CommitFile(const OutputFile& file) {
    if (!RenameOver(file.temporary, file.target)) {
        RemoveFile(file.temporary);
        return Status::Error("cannot write " + file.path +
                             ": the finished file could not be moved into place");
    }
    return Status();
}

Status WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const OutputFile output = PlanOutput(path);
    std::FILE* file = OpenFile(output.temporary, "wb");
    if (file == nullptr) {
        return Status::Error("cannot write " + path + ": " + LastFileError());
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        RemoveFile(output.temporary);
        return Status::Error("cannot write " + path + ": " + LastFileError());
    }
    return CommitFile(output);
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    const Status readable = CheckInputFile(path);
    if (!readable.Ok()) {
        return readable;
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

Status CheckInputFile(const std::string& path) {
    switch (KindOfPath(path)) {
    case PathKind::Missing:
        return Status::Error(path + ": no such file");
    case PathKind::Directory:
        return Status::Error(path + " is a directory, not a file");
    default:
        return Status();
    }
}

Status CheckOutputFile(const std::string& path) {
    if (KindOfPath(ResolveLinks(path)) == PathKind::Directory) {
        return Status::Error(path + " is a directory; name the file to write");
    }
    return Status();
}

} // namespace ksphost
