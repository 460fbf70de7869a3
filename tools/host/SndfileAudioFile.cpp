#include "tools/host/AudioFile.h"
#include "tools/host/SafeFile.h"
#include "tools/host/System.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace ksphost {

namespace {

class SndfileReader : public AudioReader {
public:
    SndfileReader(SNDFILE* f, const std::string& p, const AudioFormat& f2) : file(f), path(p) { format = f2; }
    ~SndfileReader() override { sf_close(file); }

    Result<size_t> Read(float* interleaved, size_t frames) override {
        const sf_count_t got = sf_readf_float(file, interleaved, static_cast<sf_count_t>(frames));
        if (got < 0 || (got == 0 && sf_error(file) != SF_ERR_NO_ERROR)) {
            return Status::Error("cannot read " + path + ": " + sf_strerror(file));
        }
        return static_cast<size_t>(got);
    }

private:
    SNDFILE* file;
    std::string path;
};

class SndfileWriter : public AudioWriter {
public:
    SndfileWriter(SNDFILE* f, const OutputFile& o) : file(f), output(o) {}
    ~SndfileWriter() override {
        if (file != nullptr) {
            sf_close(file);
            RemoveFile(output.temporary);
        }
    }

    Status Write(const float* interleaved, size_t frames) override {
        const sf_count_t n = static_cast<sf_count_t>(frames);
        if (sf_writef_float(file, interleaved, n) != n) {
            return Status::Error("cannot write " + output.path + ": " + sf_strerror(file));
        }
        return Status();
    }

    Status Finish() override {
        const bool closed = sf_close(file) == 0;
        file = nullptr;
        if (!closed) {
            RemoveFile(output.temporary);
            return Status::Error("cannot write " + output.path + ": the file could not be completed");
        }
        return CommitFile(output);
    }

private:
    SNDFILE* file;
    OutputFile output;
};

// Bytes per sample of the uncompressed sample formats, 0 for the others.
int64_t SampleBytes(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 1;
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    case SF_FORMAT_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

// The frames the file's header promises. libsndfile shortens the length of a WAV or AIFF file
// that was cut off to what it holds, and notes the header's own size of the sample data in its
// log as "data : 8000 (should be 4912)" (AIFF: "SSND", which counts 8 more bytes).
int64_t PromisedFrames(SNDFILE* file, const SF_INFO& info) {
    const int64_t frames =
        info.frames >= 0 && info.frames < SF_COUNT_MAX ? static_cast<int64_t>(info.frames) : -1;
    const int64_t frameBytes = SampleBytes(info.format) * info.channels;
    std::vector<char> log(16384, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size() - 1));
    const std::string text(log.data());
    for (const auto& chunk : {std::make_pair("\ndata : ", 0), std::make_pair("\n SSND : ", 8)}) {
        const size_t at = text.find(chunk.first);
        const size_t end = text.find('\n', at + 1);
        if (at == std::string::npos || frameBytes == 0 ||
            text.substr(at, end - at).find("(should be") == std::string::npos) {
            continue;
        }
        const long long bytes = std::strtoll(text.c_str() + at + std::strlen(chunk.first), nullptr, 10);
        return std::max<int64_t>(frames, (bytes - chunk.second) / frameBytes);
    }
    return frames;
}

} // namespace

bool HasSndfile() {
    return true;
}

Result<std::unique_ptr<AudioReader>> OpenSndfileReader(const std::string& path) {
    const Status readable = CheckInputFile(path);
    if (!readable.Ok()) {
        return readable;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return Status::Error("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        return Status::Error("cannot read " + path + ": no audio channels or no sample rate");
    }
    AudioFormat format;
    format.channels = info.channels;
    format.sampleRate = info.samplerate;
    format.frames = PromisedFrames(file, info);
    return std::unique_ptr<AudioReader>(new SndfileReader(file, path, format));
}

Result<std::unique_ptr<AudioWriter>> CreateSndfileWriter(const std::string& path, int channels,
                                                         int sampleRate) {
    const OutputFile output = PlanOutput(path);
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(output.temporary.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return Status::Error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    // The PEAK chunk carries a time stamp; without it equal audio gives equal files.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return std::unique_ptr<AudioWriter>(new SndfileWriter(file, output));
}

} // namespace ksphost
