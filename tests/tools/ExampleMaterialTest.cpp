#include "tools/host/ExampleMaterial.h"

#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using ksphost::MakeExampleMaterial;

uint64_t Fnv1a(const std::vector<float>& samples) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (float sample : samples) {
        uint32_t word = 0;
        std::memcpy(&word, &sample, 4);
        for (int b = 0; b < 4; ++b) {
            hash ^= (word >> (8 * b)) & 0xFF;
            hash *= 0x100000001b3ull;
        }
    }
    return hash;
}

double Rms(const std::vector<float>& samples, size_t firstFrame, size_t frames, int channel) {
    double sum = 0.0;
    for (size_t i = firstFrame; i < firstFrame + frames; ++i) {
        const double x = samples[2 * i + static_cast<size_t>(channel)];
        sum += x * x;
    }
    return std::sqrt(sum / static_cast<double>(frames));
}

TEST(ExampleMaterial, IsStereoMusicPeakingAtMinus14Decibels) {
    const std::vector<float> samples = MakeExampleMaterial(8 * 44100);
    ASSERT_EQ(samples.size(), 2u * 8 * 44100);
    float peak = 0.0f;
    bool channelsDiffer = false;
    for (size_t i = 0; i < samples.size(); i += 2) {
        ASSERT_TRUE(std::isfinite(samples[i]) && std::isfinite(samples[i + 1]));
        peak = std::max(peak, std::max(std::fabs(samples[i]), std::fabs(samples[i + 1])));
        channelsDiffer = channelsDiffer || samples[i] != samples[i + 1];
    }
    EXPECT_NEAR(peak, 0.1995f, 0.0001f);
    EXPECT_TRUE(channelsDiffer);
    // Every eighth note of every bar carries sound (chords, bass and drums never all rest).
    for (size_t eighth = 0; eighth < 32; ++eighth) {
        EXPECT_GT(Rms(samples, eighth * 11025, 11025, 0), 0.006) << eighth;
        EXPECT_GT(Rms(samples, eighth * 11025, 11025, 1), 0.006) << eighth;
    }
    // The end fades to silence, so rendering it does not click.
    EXPECT_LT(std::fabs(samples[samples.size() - 2]), 1e-4f);
}

TEST(ExampleMaterial, IsTheSameOnEveryRunAndEveryBuild) {
    const std::vector<float> first = MakeExampleMaterial(3 * 44100);
    EXPECT_EQ(first, MakeExampleMaterial(3 * 44100));
    EXPECT_EQ(MakeExampleMaterial(0).size(), 0u);
    // Exact arithmetic only, so Linux and Windows builds make identical samples.
    EXPECT_EQ(Fnv1a(MakeExampleMaterial(8 * 44100)), 0x998bfbcbce4de034ull);
}

TEST(ExampleMaterial, CommandWritesTheRequestedLength) {
    const std::string dir = TestDirectory();
#ifdef _WIN32
    const std::string path = dir + "/example.f32";
#else
    const std::string path = dir + "/example.wav";
#endif
    const HostRun run = RunHostCommand({"example", path, "--seconds", "1.5"});
    ASSERT_EQ(run.exitCode, 0) << (run.errors.empty() ? "" : run.errors[0]);
#ifdef _WIN32
    EXPECT_EQ(ReadRaw(path).size(), 2u * 66150);
#else
    const Audio audio = ReadWav(path);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.Frames(), 66150u);
    // Deterministic files: the same command gives the same bytes.
    const std::string again = dir + "/again.wav";
    ASSERT_EQ(RunHostCommand({"example", again, "--seconds", "1.5"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(path), ReadBytes(again));
#endif
}

} // namespace
