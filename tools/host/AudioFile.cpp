#include "tools/host/AudioFile.h"

#include "tools/host/Text.h"

namespace ksphost {

bool IsRawAudioPath(const std::string& path) {
    const std::string extension = LowerExtension(path);
    return extension == "f32" || extension == "raw";
}

Status CheckAudioOutputPath(const std::string& path) {
    if (IsRawAudioPath(path)) {
        return Status();
    }
    if (!HasSndfile()) {
        return Status::Error(path +
                             ": this build writes raw 32-bit float files only (name them *.f32 or *.raw)");
    }
    if (LowerExtension(path) != "wav") {
        return Status::Error(path + ": output files are WAV (*.wav) or raw 32-bit float (*.f32, *.raw)");
    }
    return Status();
}

Result<std::unique_ptr<AudioReader>> OpenAudioReader(const std::string& path, const RawFormat& raw) {
    if (IsRawAudioPath(path)) {
        return OpenRawReader(path, raw);
    }
    return OpenSndfileReader(path);
}

Result<std::unique_ptr<AudioWriter>> CreateAudioWriter(const std::string& path, int channels,
                                                       int sampleRate) {
    const Status usable = CheckAudioOutputPath(path);
    if (!usable.Ok()) {
        return usable;
    }
    if (IsRawAudioPath(path)) {
        return CreateRawWriter(path, channels, sampleRate);
    }
    return CreateSndfileWriter(path, channels, sampleRate);
}

} // namespace ksphost
