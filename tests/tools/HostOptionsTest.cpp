// What makes the host usable with any plug-in: mono plug-ins with stereo files, tails, latency
// compensation, parameter-list presets and how info reports versions and missing programs.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr size_t kDelay = 100; // the latency test plug-in's delay in frames

// The frames of out from first on, each channel, against in from inFirst on (zeros past its end).
void ExpectFrames(const std::vector<float>& out, size_t first, size_t count, const std::vector<float>& in,
                  long inFirst) {
    for (size_t i = first; i < first + count; ++i) {
        for (size_t c = 0; c < 2; ++c) {
            const long source = static_cast<long>(i - first) + inFirst;
            const bool inside = source >= 0 && static_cast<size_t>(source) < in.size() / 2;
            const float expected = inside ? in[2 * static_cast<size_t>(source) + c] : 0.0f;
            ASSERT_EQ(out[2 * i + c], expected) << "frame " << i << ", channel " << c;
        }
    }
}

// Saves a preset of the parameter-list plug-in made with the preset command's options; answers
// its bytes.
std::vector<uint8_t> SavePreset(const std::vector<std::string>& options, const std::string& path) {
    std::vector<std::string> command = {"preset", TEST_PLUGIN_PARAMS};
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {"--save-preset", path});
    const HostRun saved = RunHostCommand(command);
    EXPECT_EQ(saved.exitCode, 0) << Describe(saved);
    return saved.exitCode == 0 ? ReadBytes(path) : std::vector<uint8_t>();
}

TEST(HostRender, MonoPluginTakesAStereoFileMixedOrLeft) {
    const std::string dir = TestDirectory();
    const std::vector<float> stereo = TestSignal(1000, 2);
    const std::vector<float> mixed = RenderRaw(dir, stereo, 2, {"--mono", "mix"}, TEST_PLUGIN_MONO);
    const std::vector<float> left = RenderRaw(dir, stereo, 2, {"--mono", "left"}, TEST_PLUGIN_MONO);
    ASSERT_EQ(mixed.size(), 1000u);
    ASSERT_EQ(left.size(), 1000u);
    for (size_t i = 0; i < 1000; ++i) {
        const double l = stereo[2 * i];
        const double r = stereo[2 * i + 1];
        ASSERT_EQ(mixed[i], static_cast<float>((l + r) / 2.0)) << i;
        ASSERT_EQ(left[i], stereo[2 * i]) << i;
    }
    // A stereo plug-in is fed as before.
    EXPECT_EQ(RenderRaw(dir, stereo, 2, {"--mono", "mix"}), stereo);
}

TEST(HostRender, TailAndLatencyCompensation) {
    const std::string dir = TestDirectory();
    const std::vector<float> in = TestSignal(1000, 2);
    const size_t tail = 441; // 0.01 s at 44.1 kHz
    const struct {
        std::vector<std::string> options;
        size_t frames;
        long shift; // output frame i holds input frame i + shift
    } cases[] = {
        {{}, 1000, -static_cast<long>(kDelay)},
        {{"--tail", "0.01"}, 1000 + tail, -static_cast<long>(kDelay)},
        {{"--compensate-latency"}, 1000, 0},
        {{"--compensate-latency", "--tail", "0.01"}, 1000 + tail, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "plain" : c.options.back() + " " + c.options.front());
        for (const char* block : {"64", "4096"}) {
            std::vector<std::string> options = c.options;
            options.insert(options.end(), {"--block", block});
            const std::vector<float> out = RenderRaw(dir, in, 2, options, TEST_PLUGIN_LATENCY);
            ASSERT_EQ(out.size(), 2 * c.frames);
            ExpectFrames(out, 0, c.frames, in, c.shift);
        }
    }
    // A plug-in without latency is not shifted.
    EXPECT_EQ(RenderRaw(dir, in, 2, {"--compensate-latency"}), in);
}

TEST(HostPresets, ParameterListProgramRoundTrip) {
    const std::string dir = TestDirectory();
    const std::string fxp = dir + "/half.fxp";
    const std::vector<uint8_t> bytes = SavePreset({"--program", "Half Gain", "--set", "Swap=on"}, fxp);
    ASSERT_EQ(bytes.size(), 56u + 3 * 4);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FxCk");

    const std::vector<float> in = TestSignal(200, 2);
    EXPECT_EQ(RenderRaw(dir, in, 2, {"--load-preset", fxp}, TEST_PLUGIN_PARAMS), Swapped(Scaled(in, 0.5)));
    // A plug-in with chunks takes parameter lists too.
    EXPECT_EQ(RenderRaw(dir, in, 2, {"--load-preset", fxp}), Swapped(Scaled(in, 0.5)));

    // A list of another length belongs to another plug-in's layout.
    std::vector<uint8_t> shorter(bytes.begin(), bytes.end() - 4);
    shorter[27] = 2;
    WriteBytes(fxp, shorter);
    const HostRun refused = RunHostCommand({"info", TEST_PLUGIN_PARAMS, "--load-preset", fxp});
    EXPECT_EQ(refused.exitCode, 1);
    ASSERT_EQ(refused.errors.size(), 1u);
    ExpectContains(refused.errors[0], "holds 2 parameter values but the plug-in has 3 parameters");
}

TEST(HostPresets, ParameterListBankRoundTrip) {
    const std::string dir = TestDirectory();
    const std::string fxb = dir + "/bank.fxb";
    const std::vector<uint8_t> bytes = SavePreset({"--program", "Swapped", "--set", "Gain=2"}, fxb);
    ASSERT_EQ(bytes.size(), 156 + 3 * (56 + 3 * 4));
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FxBk");
    EXPECT_EQ(bytes[31], 1); // current program

    // Into a fresh instance that starts at program 0.
    const HostRun loaded = RunHostCommand({"info", TEST_PLUGIN_PARAMS, "--load-preset", fxb});
    ASSERT_EQ(loaded.exitCode, 0) << Describe(loaded);
    ExpectContains(loaded.out, "Programs (3, current 1: Swapped)");
    ExpectContains(loaded.out, "  0   Gain                 1.000000   2.00 x\n");
    const HostRun other =
        RunHostCommand({"info", TEST_PLUGIN_PARAMS, "--load-preset", fxb, "--program", "2"});
    ExpectContains(other.out, "  0   Gain                 0.250000   0.50 x\n");
    // A bank of a plug-in without programs cannot be made.
    const HostRun none = RunHostCommand({"preset", TEST_PLUGIN_LATENCY, "--save-preset", fxb});
    EXPECT_EQ(none.exitCode, 1);
    ASSERT_EQ(none.errors.size(), 1u);
    ExpectContains(none.errors[0], "the plug-in has no programs to save as a bank");
}

TEST(HostInfo, VersionsAsThePluginMeansThemAndNoPrograms) {
    const HostRun latency = RunHostCommand({"info", TEST_PLUGIN_LATENCY});
    ASSERT_EQ(latency.exitCode, 0) << Describe(latency);
    ExpectContains(latency.out, "Version          66051 (0x00010203: 1.2.3)\n");
    ExpectContains(latency.out, "Initial delay    100 samples\n");
    ExpectContains(latency.out, "\nPrograms: none\n");
    const HostRun plain = RunHostCommand({"info", TEST_PLUGIN});
    ExpectContains(plain.out, "Version          1234\n");
    ExpectContains(plain.out, "Vendor version   1234\n");
}

} // namespace
