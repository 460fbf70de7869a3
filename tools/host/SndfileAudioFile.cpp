#include "tools/host/AudioFile.h"
#include "tools/host/SafeFile.h"
#include "tools/host/System.h"

#include <sndfile.h>

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
    SndfileWriter(SNDFILE* f, const std::string& t, const std::string& p) : file(f), temporary(t), path(p) {}
    ~SndfileWriter() override {
        if (file != nullptr) {
            sf_close(file);
            RemoveFile(temporary);
        }
    }

    Status Write(const float* interleaved, size_t frames) override {
        const sf_count_t n = static_cast<sf_count_t>(frames);
        if (sf_writef_float(file, interleaved, n) != n) {
            return Status::Error("cannot write " + path + ": " + sf_strerror(file));
        }
        return Status();
    }

    Status Finish() override {
        const bool closed = sf_close(file) == 0;
        file = nullptr;
        if (!closed) {
            RemoveFile(temporary);
            return Status::Error("cannot write " + path + ": the file could not be completed");
        }
        return CommitFile(temporary, path);
    }

private:
    SNDFILE* file;
    std::string temporary;
    std::string path;
};

} // namespace

bool HasSndfile() {
    return true;
}

Result<std::unique_ptr<AudioReader>> OpenSndfileReader(const std::string& path) {
    if (!IsRegularFile(path)) {
        return Status::Error(path + ": no such file");
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
    format.frames = info.frames >= 0 && info.frames < SF_COUNT_MAX ? static_cast<int64_t>(info.frames) : -1;
    return std::unique_ptr<AudioReader>(new SndfileReader(file, path, format));
}

Result<std::unique_ptr<AudioWriter>> CreateSndfileWriter(const std::string& path, int channels,
                                                         int sampleRate) {
    const std::string temporary = TemporaryPathFor(path);
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return Status::Error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    // The PEAK chunk carries a time stamp; without it equal audio gives equal files.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return std::unique_ptr<AudioWriter>(new SndfileWriter(file, temporary, path));
}

} // namespace ksphost
