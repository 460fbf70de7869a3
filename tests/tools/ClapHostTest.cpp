// The host with the tests' own CLAP module (TestClapPlugin.cpp): out = in * Gain + Offset.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Values go by id, texts through the plug-in's text_to_value, normalised values onto the range,
// whole for a stepped parameter.
TEST(ClapHost, SetsValuesAsThePluginTakesThem) {
    const std::string dir = TestDirectory();
    const std::vector<float> in = TestSignal(1500, 1);
    const struct {
        std::vector<std::string> options;
        float gain;
        float offset;
    } cases[] = {
        {{}, 1.0f, 0.0f},
        {{"--set", "Gain=double", "--set-normalized", "Offset=0.6"}, 2.0f, 2.0f},
        {{"--set-normalized", "Gain=0.125", "--set", "Offset=3", "--block", "100"}, -1.5f, 3.0f},
        {{"--set-normalized", "Offset=0.3", "--set", "Gain=-0.5"}, -0.5f, 1.0f},
    };
    for (const auto& c : cases) {
        const std::vector<float> out = RenderRaw(dir, in, 1, c.options, TEST_CLAP_PLUGIN);
        ASSERT_EQ(out.size(), in.size());
        for (size_t i = 0; i < in.size(); ++i) {
            ASSERT_EQ(out[i], in[i] * c.gain + c.offset) << i << " with gain " << c.gain;
        }
    }
}

TEST(ClapHost, ShowsAndRefusesWhatThePluginLacks) {
    const std::string dir = TestDirectory();
    const HostRun info = RunHostCommand({"info", TEST_CLAP_PLUGIN, "--set", "Offset=4"});
    EXPECT_EQ(info.exitCode, 0) << Describe(info);
    for (const char* part :
         {"Offset = 4.000\n", "Features         audio-effect, mono\n",
          "Extensions       clap.audio-ports, clap.params\n", "Latency          not told\n",
          "  0   id 0    'In'                 1 channels, mono, Main\n",
          "  0   7      Gain             -2         2          1          1          1.000",
          "  1   3      Offset           0          4          0          4          4.000",
          "Presets: no preset-discovery factory\n"}) {
        ExpectContains(info.out, part);
    }
    const std::string in = dir + "/in.f32";
    const std::string out = dir + "/out.f32";
    WriteRaw(in, TestSignal(100, 1));
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"render", TEST_CLAP_PLUGIN, in, out, "--program", "0"},
         "has no programs to select: it has neither a preset-discovery factory nor the preset-load "
         "extension"},
        {{"render", TEST_CLAP_PLUGIN, in, out, "--precision", "double"}, "does not process double precision"},
        {{"render", TEST_CLAP_PLUGIN, in, out, "--set", "Offset=loud"},
         "bad value 'loud' for the parameter 'Offset'"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--channels", "1"});
        ExpectRefused(args, c.error, out);
    }
}

} // namespace
