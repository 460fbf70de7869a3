#pragma once

#include <chrono>
#include <cstdint>

namespace ksphost {

// A progress line on stderr for renders that take a while; silent unless enabled (stderr is a
// terminal). It appears after half a second and is erased at the end.
class ProgressMeter {
public:
    ProgressMeter(int64_t totalFrames, int sampleRate, bool enabled);
    ~ProgressMeter() { Finish(); }
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;
    void Update(int64_t frames);
    // Erases the line, if one was shown.
    void Finish();

private:
    int64_t total;
    double rate;
    bool enabled;
    bool shown = false;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastShown;
};

} // namespace ksphost
