#pragma once

#include "tools/host/Status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ksphost {

// Audio files as interleaved 32-bit float samples. Files named *.f32 or *.raw hold raw
// little-endian floats without a header; their rate and channel count come from the caller.
// Every other name is read through libsndfile (WAV, FLAC, AIFF, ...) and written as 32-bit
// float WAV; builds without libsndfile know only the raw format.

struct AudioFormat {
    int channels = 0;
    int sampleRate = 0;
    int64_t frames = -1; // as the header promises; -1 when the length is not known in advance
};

class AudioReader {
public:
    virtual ~AudioReader() = default;
    const AudioFormat& Format() const { return format; }
    // Reads up to frames frames; answers how many were read, 0 at the end.
    virtual Result<size_t> Read(float* interleaved, size_t frames) = 0;

protected:
    AudioFormat format;
};

// Writes into a temporary file next to the target; Finish() moves it into place. A writer
// destroyed without a successful Finish() removes what it wrote.
class AudioWriter {
public:
    virtual ~AudioWriter() = default;
    virtual Status Write(const float* interleaved, size_t frames) = 0;
    virtual Status Finish() = 0;
};

// Rate and channel count of raw input.
struct RawFormat {
    int sampleRate = 44100;
    int channels = 2;
};

bool IsRawAudioPath(const std::string& path);
// Whether this build can write path (its extension decides the format).
Status CheckAudioOutputPath(const std::string& path);
Result<std::unique_ptr<AudioReader>> OpenAudioReader(const std::string& path, const RawFormat& raw);
Result<std::unique_ptr<AudioWriter>> CreateAudioWriter(const std::string& path, int channels, int sampleRate);

// The implementations behind the functions above.
Result<std::unique_ptr<AudioReader>> OpenRawReader(const std::string& path, const RawFormat& raw);
Result<std::unique_ptr<AudioWriter>> CreateRawWriter(const std::string& path, int channels, int sampleRate);
Result<std::unique_ptr<AudioReader>> OpenSndfileReader(const std::string& path);
Result<std::unique_ptr<AudioWriter>> CreateSndfileWriter(const std::string& path, int channels,
                                                         int sampleRate);
bool HasSndfile();

} // namespace ksphost
