#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Running the host's commands inside the test process, and the files they read and write.

struct HostRun {
    int exitCode = -1;
    std::string out;
    std::vector<std::string> errors; // one entry per error line
};

HostRun RunHostCommand(const std::vector<std::string>& args);
// The exit status, output and error lines of a run, for failure messages.
std::string Describe(const HostRun& run);
// A test failure naming part and text unless text contains part.
void ExpectContains(const std::string& text, const std::string& part);
// Runs args, each "OUT" standing for dir/out, and expects success; answers the bytes written to
// dir/out, or none after a test failure.
std::vector<uint8_t> WrittenBy(std::vector<std::string> args, const std::string& dir, const std::string& out);
// Test failures unless args fail with one error line that contains error, leaving no file at out.
void ExpectRefused(const std::vector<std::string>& args, const std::string& error, const std::string& out);

// An empty directory for the running test, named after it.
std::string TestDirectory();
// The names of the files in dir.
std::vector<std::string> FilesIn(const std::string& dir);

// Interleaved samples with their layout.
struct Audio {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples;
    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    float At(size_t frame, int channel) const {
        return samples[frame * static_cast<size_t>(channels) + channel];
    }
};

// Raw little-endian float files, written and read without the host's code.
void WriteRaw(const std::string& path, const std::vector<float>& samples);
std::vector<float> ReadRaw(const std::string& path);
#ifndef _WIN32
// WAV files through libsndfile directly; float WAV when write is asked for.
void WriteWav(const std::string& path, const Audio& audio);
Audio ReadWav(const std::string& path);
#endif

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool FileExists(const std::string& path);

// A test signal: a ramp per channel with distinct values in every sample.
std::vector<float> TestSignal(size_t frames, int channels);

// Every sample times gain; stereo samples with the channels swapped.
std::vector<float> Scaled(const std::vector<float>& samples, double gain);
std::vector<float> Swapped(const std::vector<float>& stereo);

// Renders samples (raw, interleaved) through a plug-in, the test plug-in by default, with the
// extra options; answers the raw output, or nothing after a test failure.
std::vector<float> RenderRaw(const std::string& dir, const std::vector<float>& samples, int channels,
                             const std::vector<std::string>& options, const char* plugin = TEST_PLUGIN);
