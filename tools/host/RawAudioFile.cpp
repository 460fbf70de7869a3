#include "tools/host/AudioFile.h"
#include "tools/host/SafeFile.h"
#include "tools/host/System.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace ksphost {

namespace {

class RawReader : public AudioReader {
public:
    RawReader(std::FILE* f, const std::string& p, const AudioFormat& f2) : file(f), path(p) { format = f2; }
    ~RawReader() override { std::fclose(file); }

    Result<size_t> Read(float* interleaved, size_t frames) override {
        const size_t frameBytes = 4 * static_cast<size_t>(format.channels);
        bytes.resize(frames * frameBytes);
        const size_t got = std::fread(bytes.data(), frameBytes, frames, file);
        if (got < frames && std::ferror(file) != 0) {
            return Status::Error("cannot read " + path + ": " + LastFileError());
        }
        for (size_t i = 0; i < got * static_cast<size_t>(format.channels); ++i) {
            const uint8_t* b = &bytes[4 * i];
            const uint32_t word = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                  (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
            std::memcpy(&interleaved[i], &word, 4);
        }
        return got;
    }

private:
    std::FILE* file;
    std::string path;
    std::vector<uint8_t> bytes;
};

class RawWriter : public AudioWriter {
public:
    RawWriter(std::FILE* f, const OutputFile& o, int c) : file(f), output(o), channels(c) {}
    ~RawWriter() override {
        if (file != nullptr) {
            std::fclose(file);
            RemoveFile(output.temporary);
        }
    }

    Status Write(const float* interleaved, size_t frames) override {
        const size_t samples = frames * static_cast<size_t>(channels);
        bytes.resize(4 * samples);
        for (size_t i = 0; i < samples; ++i) {
            uint32_t word = 0;
            std::memcpy(&word, &interleaved[i], 4);
            uint8_t* b = &bytes[4 * i];
            b[0] = static_cast<uint8_t>(word);
            b[1] = static_cast<uint8_t>(word >> 8);
            b[2] = static_cast<uint8_t>(word >> 16);
            b[3] = static_cast<uint8_t>(word >> 24);
        }
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            return Status::Error("cannot write " + output.path + ": " + LastFileError());
        }
        return Status();
    }

    Status Finish() override {
        const bool closed = std::fclose(file) == 0;
        file = nullptr;
        if (!closed) {
            RemoveFile(output.temporary);
            return Status::Error("cannot write " + output.path + ": " + LastFileError());
        }
        return CommitFile(output);
    }

private:
    std::FILE* file;
    OutputFile output;
    int channels;
    std::vector<uint8_t> bytes;
};

} // namespace

Result<std::unique_ptr<AudioReader>> OpenRawReader(const std::string& path, const RawFormat& raw) {
    const Status readable = CheckInputFile(path);
    if (!readable.Ok()) {
        return readable;
    }
    const int64_t size = FileSize(path);
    const int64_t frameBytes = 4 * static_cast<int64_t>(raw.channels);
    if (size < 0 || size % frameBytes != 0) {
        return Status::Error(path + ": the size is not a whole number of " + std::to_string(raw.channels) +
                             "-channel 32-bit float frames");
    }
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        return Status::Error("cannot read " + path + ": " + LastFileError());
    }
    AudioFormat format;
    format.channels = raw.channels;
    format.sampleRate = raw.sampleRate;
    format.frames = size / frameBytes;
    return std::unique_ptr<AudioReader>(new RawReader(file, path, format));
}

Result<std::unique_ptr<AudioWriter>> CreateRawWriter(const std::string& path, int channels,
                                                     int /*sampleRate*/) {
    const OutputFile output = PlanOutput(path);
    std::FILE* file = OpenFile(output.temporary, "wb");
    if (file == nullptr) {
        return Status::Error("cannot write " + path + ": " + LastFileError());
    }
    return std::unique_ptr<AudioWriter>(new RawWriter(file, output, channels));
}

} // namespace ksphost
