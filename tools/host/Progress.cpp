#include "tools/host/Progress.h"

#include <cstdio>

namespace ksphost {

ProgressMeter::ProgressMeter(int64_t totalFrames, int sampleRate, bool on)
    : total(totalFrames), rate(sampleRate), enabled(on), start(std::chrono::steady_clock::now()),
      lastShown(start) {}

void ProgressMeter::Finish() {
    if (shown) {
        std::fprintf(stderr, "\r%60s\r", "");
        std::fflush(stderr);
        shown = false;
    }
}

void ProgressMeter::Update(int64_t frames) {
    if (!enabled) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - start < std::chrono::milliseconds(500) || now - lastShown < std::chrono::milliseconds(100)) {
        return;
    }
    lastShown = now;
    shown = true;
    const double seconds = static_cast<double>(frames) / rate;
    if (total > 0) {
        std::fprintf(stderr, "\rRendering: %3d%% (%.1f s of %.1f s)", static_cast<int>(100 * frames / total),
                     seconds, static_cast<double>(total) / rate);
    } else {
        std::fprintf(stderr, "\rRendering: %.1f s", seconds);
    }
    std::fflush(stderr);
}

} // namespace ksphost
