#include "tools/host/AudioFile.h"

// Builds without libsndfile: only the raw format is available.

namespace ksphost {

bool HasSndfile() {
    return false;
}

Result<std::unique_ptr<AudioReader>> OpenSndfileReader(const std::string& path) {
    return Status::Error(path + ": this build reads raw 32-bit float files only (name them *.f32 or *.raw)");
}

Result<std::unique_ptr<AudioWriter>> CreateSndfileWriter(const std::string& path, int /*channels*/,
                                                         int /*sampleRate*/) {
    return Status::Error(path + ": this build writes raw 32-bit float files only");
}

} // namespace ksphost
