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
         {"Unique id        'ksph' (0x6B737068)", "Version          20002", "Inputs           2",
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
