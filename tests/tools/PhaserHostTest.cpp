// The host with the phaser plug-in, when it has been built; skipped otherwise.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class PhaserHost : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(PHASER_PLUGIN)) {
            GTEST_SKIP() << PHASER_PLUGIN << " is not built";
        }
        dir = TestDirectory();
    }

    HostRun Run(const std::vector<std::string>& args) {
        HostRun run = RunHostCommand(args);
        EXPECT_EQ(run.exitCode, 0) << (run.errors.empty() ? run.out : run.errors[0]);
        return run;
    }

    std::string dir;
};

TEST_F(PhaserHost, ShowsItsDescriptorProgramsAndParameters) {
    const HostRun run = Run({"info", PHASER_PLUGIN});
    for (const char* part :
         {"Unique id        'ksph' (0x6B737068)", "Version          20002 (2.0.2)", "Inputs           2",
          "Outputs          2", "Parameters (10)", "Sync to Host", "Programs (10, current 0",
          "  3   8-Stager\n", "  9   Aliens\n", "Kestrunelle Phaser ", "receiveVstTimeInfo     yes"}) {
        ExpectContains(run.out, part);
    }
}

TEST_F(PhaserHost, ParametersTakeTheirDisplayTexts) {
    const HostRun run = Run({"info", PHASER_PLUGIN, "--set", "Stages=8", "--set", "Waveform=Sine", "--set",
                             "Mix=Wet", "--set", "Sync to Host=on", "--set", "Feedback=-50%"});
    ExpectContains(run.out, "Stages = 8\n");
    ExpectContains(run.out, "Waveform = Sine\n");
    ExpectContains(run.out, "Mix = Wet\n");
    ExpectContains(run.out, "Sync to Host = ON\n");
    ExpectContains(run.out, "Feedback = -50%\n");
}

// What each --set shows in info (the parameter's row: normalised value, display), or the
// error for a value the parameter cannot show.
TEST_F(PhaserHost, ValuesAreTextsOrNumbersInTheParametersUnits) {
    const struct {
        const char* setting;
        const char* shown;
    } cases[] = {
        {"LFOSpeed=1Hz", "LFOSpeed             0.199999   1.00Hz\n"},
        {"Manual=1234Hz", "Manual               0.27771"},
        {"Manual=1234", "1234Hz\n"},
        {"Feedback=0", "Feedback             0.500000   0%\n"},
        {"Feedback=33.3%", "Feedback             0.665000   33%\n"},
        {"Feedback=-100", "Feedback             0.000000   -100%\n"},
        {"Stereo=>50%<", "Stereo               0.250000   >50%<\n"},
        {"Mix=75:25", "Mix                  0.250000   75:25\n"},
        {"Sync to Host=on", "Sync to Host         1.000000   ON\n"},
        {"Mix=banana", "bad value 'banana' for the parameter 'Mix': it shows Dry to Wet ("},
        {"Waveform=Square", "for the parameter 'Waveform': it shows Sine, Triangle ("},
        {"Stages=6", "for the parameter 'Stages': it shows 4, 8 ("},
        {"Stereo=50%", "for the parameter 'Stereo': it shows >100%< to \\100%/ ("},
        {"Manual=16001Hz", "for the parameter 'Manual': it shows 0Hz to 16000Hz ("},
        {"LFOSpeed=1/4", "for the parameter 'LFOSpeed': it shows 0.00Hz to 25.00Hz ("},
    };
    for (const auto& c : cases) {
        const HostRun run = RunHostCommand({"info", PHASER_PLUGIN, "--set", c.setting});
        const bool error = std::string(c.shown).find("for the parameter") != std::string::npos;
        EXPECT_EQ(run.exitCode, error ? 1 : 0) << c.setting;
        ASSERT_EQ(run.errors.size(), error ? 1u : 0u) << c.setting;
        if (error) {
            ExpectContains(run.errors[0], "--set-normalized");
        }
        ExpectContains(error ? run.errors[0] : run.out, c.shown);
    }
    const HostRun notes =
        RunHostCommand({"info", PHASER_PLUGIN, "--set", "Sync to Host=on", "--set", "LFOSpeed=1/5"});
    ASSERT_EQ(notes.errors.size(), 1u);
    ExpectContains(notes.errors[0],
                   "it shows 16/1, 12/1, 8/1, 6/1, 4/1, 3/1, 2/1., 2/1, 1/1., 1/1, 1/2., 1/2, "
                   "1/4., 1/2T, 1/4, 1/8., 1/4T, 1/8, 1/16., 1/16 (");
}

TEST_F(PhaserHost, SettingsInAnyOrderGiveTheSameState) {
    const std::vector<std::string> settings = {"LFOSpeed=1/4", "Sync to Host=on", "Feedback=-50%", "Mix=Wet"};
    std::vector<std::string> forward = {"info", PHASER_PLUGIN};
    std::vector<std::string> backward = forward;
    for (size_t i = 0; i < settings.size(); ++i) {
        forward.insert(forward.end(), {"--set", settings[i]});
        backward.insert(backward.end(), {"--set", settings[settings.size() - 1 - i]});
    }
    const HostRun a = Run(forward);
    const HostRun b = Run(backward);
    const auto table = [](const std::string& out) { return out.substr(out.find("\nParameters")); };
    ExpectContains(table(a.out), "LFOSpeed             0.737000   1/4\n");
    EXPECT_EQ(table(a.out), table(b.out));
    // The same parameter twice would depend on the order.
    const HostRun twice =
        RunHostCommand({"info", PHASER_PLUGIN, "--set", "Mix=Wet", "--set-normalized", "mix=0"});
    ASSERT_EQ(twice.errors.size(), 1u);
    ExpectContains(twice.errors[0], "the parameter 'Mix' is set twice");
}

TEST_F(PhaserHost, RendersTheExampleAlikeInBothPrecisions) {
#ifdef _WIN32
    const std::string example = dir + "/example.f32";
    const std::string single = dir + "/single.f32";
    const std::string twice = dir + "/double.f32";
#else
    const std::string example = dir + "/example.wav";
    const std::string single = dir + "/single.wav";
    const std::string twice = dir + "/double.wav";
#endif
    Run({"example", example, "--seconds", "2"});
    Run({"render", PHASER_PLUGIN, example, single, "--program", "8-Stager"});
    Run({"render", PHASER_PLUGIN, example, twice, "--program", "3", "--precision", "double", "--block",
         "100"});
    const std::vector<uint8_t> dry = ReadBytes(example);
    const std::vector<uint8_t> wet = ReadBytes(single);
    ASSERT_EQ(wet.size(), dry.size());
    EXPECT_NE(wet, dry);
    EXPECT_EQ(ReadBytes(twice), wet);
}

TEST_F(PhaserHost, ProgramPresetRoundTrip) {
    const std::string fxp = dir + "/wet-stager.fxp";
    Run({"preset", PHASER_PLUGIN, "--program", "3", "--set", "Mix=Wet", "--save-preset", fxp});
    const HostRun loaded = Run({"info", PHASER_PLUGIN, "--load-preset", fxp});
    ExpectContains(loaded.out, "Mix                  1.000000   Wet\n");
    ExpectContains(loaded.out, "Stages               1.000000   8\n");
    ExpectContains(loaded.out, "current 0: 8-Stager");
}

} // namespace
