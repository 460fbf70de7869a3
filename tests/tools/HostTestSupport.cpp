#include "HostTestSupport.h"

#include "tools/host/Commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <sndfile.h>
#endif

namespace {

class CapturingConsole : public ksphost::Console {
public:
    explicit CapturingConsole(HostRun& r) : run(r) {}
    void Out(const std::string& text) override { run.out += text; }
    void Error(const std::string& line) override { run.errors.push_back(line); }

private:
    HostRun& run;
};

} // namespace

HostRun RunHostCommand(const std::vector<std::string>& args) {
    HostRun run;
    CapturingConsole console(run);
    run.exitCode = ksphost::RunHost(args, console);
    return run;
}

std::string Describe(const HostRun& run) {
    std::string text = "exit " + std::to_string(run.exitCode) + "\n" + run.out;
    for (const std::string& line : run.errors) {
        text += "stderr: " + line + "\n";
    }
    return text;
}

void ExpectContains(const std::string& text, const std::string& part) {
    EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part << "\nin:\n" << text;
}

std::vector<uint8_t> WrittenBy(std::vector<std::string> args, const std::string& dir,
                               const std::string& out) {
    for (std::string& arg : args) {
        arg = arg == "OUT" ? dir + "/" + out : arg;
    }
    const HostRun run = RunHostCommand(args);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    return run.exitCode == 0 ? ReadBytes(dir + "/" + out) : std::vector<uint8_t>();
}

void ExpectRefused(const std::vector<std::string>& args, const std::string& error, const std::string& out) {
    const HostRun run = RunHostCommand(args);
    EXPECT_EQ(run.exitCode, 1) << error;
    ASSERT_EQ(run.errors.size(), 1u) << Describe(run);
    ExpectContains(run.errors[0], error);
    EXPECT_FALSE(FileExists(out)) << error;
}

std::string TestDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    const std::filesystem::path dir = std::filesystem::u8path(std::string(TEST_WORK_DIR) + "/" + name);
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    std::filesystem::create_directories(dir, error);
    return std::string(TEST_WORK_DIR) + "/" + name;
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(dir), error)) {
        names.push_back(entry.path().filename().u8string());
    }
    return names;
}

void WriteRaw(const std::string& path, const std::vector<float>& samples) {
    std::vector<uint8_t> bytes(samples.size() * 4);
    for (size_t i = 0; i < samples.size(); ++i) {
        uint32_t word = 0;
        std::memcpy(&word, &samples[i], 4);
        for (int b = 0; b < 4; ++b) {
            bytes[4 * i + static_cast<size_t>(b)] = static_cast<uint8_t>(word >> (8 * b));
        }
    }
    WriteBytes(path, bytes);
}

std::vector<float> ReadRaw(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::vector<float> samples(bytes.size() / 4);
    for (size_t i = 0; i < samples.size(); ++i) {
        uint32_t word = 0;
        for (int b = 0; b < 4; ++b) {
            word |= static_cast<uint32_t>(bytes[4 * i + static_cast<size_t>(b)]) << (8 * b);
        }
        std::memcpy(&samples[i], &word, 4);
    }
    return samples;
}

#ifndef _WIN32
void WriteWav(const std::string& path, const Audio& audio) {
    SF_INFO info{};
    info.channels = audio.channels;
    info.samplerate = audio.sampleRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path;
    sf_writef_float(file, audio.samples.data(), static_cast<sf_count_t>(audio.Frames()));
    sf_close(file);
}

Audio ReadWav(const std::string& path) {
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        ADD_FAILURE() << "cannot read " << path;
        return audio;
    }
    audio.channels = info.channels;
    audio.sampleRate = info.samplerate;
    audio.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}
#endif

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot read " << path;
        return bytes;
    }
    uint8_t block[4096];
    size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.insert(bytes.end(), block, block + n);
    }
    std::fclose(file);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(path), error);
}

std::vector<float> TestSignal(size_t frames, int channels) {
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            // Exact in float: multiples of 2^-16 below 1.
            samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                static_cast<float>((i % 20000) + 1) / 65536.0f * (c == 0 ? 1.0f : -0.5f);
        }
    }
    return samples;
}

std::vector<float> RenderRaw(const std::string& dir, const std::vector<float>& samples, int channels,
                             const std::vector<std::string>& options, const char* plugin) {
    const std::string in = dir + "/in.f32";
    const std::string out = dir + "/out.f32";
    WriteRaw(in, samples);
    std::vector<std::string> args = {"render", plugin, in, out, "--channels", std::to_string(channels)};
    args.insert(args.end(), options.begin(), options.end());
    const HostRun run = RunHostCommand(args);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    return run.exitCode == 0 ? ReadRaw(out) : std::vector<float>();
}

std::vector<float> Scaled(const std::vector<float>& samples, double gain) {
    std::vector<float> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        out[i] = static_cast<float>(static_cast<double>(samples[i]) * gain);
    }
    return out;
}

std::vector<float> Swapped(const std::vector<float>& stereo) {
    std::vector<float> out(stereo.size());
    for (size_t i = 0; i + 1 < stereo.size(); i += 2) {
        out[i] = stereo[i + 1];
        out[i + 1] = stereo[i];
    }
    return out;
}
