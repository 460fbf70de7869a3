#pragma once

#include <chrono>
#include <cstdint>

namespace ksphost {

// A progress line on stderr for renders that take a while; silent unless enabled (stderr is a
// terminal). It appears after half a second and is erased at the end.
class ProgressMeter {
public:
    ProgressMeter(int64_t totalFrames, int sampleRate, bool enabled);
    ~ProgressMeter();
    void Update(int64_t frames);

private:
    int64_t total;
    double rate;
    bool enabled;
    bool shown = false;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastShown;
};

} // namespace ksphost
