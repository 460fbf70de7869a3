// The host with the phaser's VST 3 bundle, against its VST 2.4 library from the same build.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PhaserVst3Host : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(PHASER_VST3_LIBRARY) || !FileExists(PHASER_PLUGIN)) {
            GTEST_SKIP() << "the phaser's VST 3 bundle or VST 2.4 library is not built";
        }
        dir = TestDirectory();
    }

    HostRun Run(const std::vector<std::string>& args) {
        HostRun run = RunHostCommand(args);
        EXPECT_EQ(run.exitCode, 0) << Describe(run);
        return run;
    }

    // The bytes of what command writes to OUT (replacing that argument) with plugin.
    std::vector<uint8_t> Output(std::vector<std::string> args, const std::string& plugin, const char* out) {
        args[1] = plugin;
        return WrittenBy(args, dir, out);
    }

    std::string dir;
};

TEST_F(PhaserVst3Host, ShowsWhatAHostSees) {
    const HostRun run = Run({"info", PHASER_VST3_BUNDLE, "--program", "Comfort"});
    for (const char* part : {
             "Program 6: Comfort\n",
             "\"Audio Module Class\"         Kestrunelle Phaser\n",
             "Sample sizes     32-bit yes, 64-bit yes\n",
             "  0   \"Stereo In\"                  2 channels, main, default active, speakers 0x3\n",
             "Parameters (12; # numbers the 10 that --set takes)\n",
             "  0   0          Stages               1     0.000000 1.000000 8                    "
             "CanAutomate\n",
             "  -   100        Bypass               1     0.000000 0.000000 off                  CanAutomate "
             "IsBypass\n",
             "  -   101        Program              9     0.000000 0.666667 Comfort              CanAutomate "
             "IsList "
             "IsProgramChange\n",
             "Program list 1 \"Factory Programs\" (10 programs)\n",
             "Programs (10, current 6: Comfort)\n",
             "  9   Aliens\n",
         }) {
        ExpectContains(run.out, part);
    }
}

// The check that matters: either format renders the same samples with the same state, transport
// and precision.
TEST_F(PhaserVst3Host, RendersWhatTheVst2LibraryRenders) {
    const std::string in = dir + "/example.f32";
    Run({"example", in, "--seconds", "2"});
    const std::vector<std::vector<std::string>> cases = {
        {"--program", "3"},
        {"--program", "Aliens", "--set", "Mix=Wet", "--precision", "double", "--block", "100"},
        {"--program", "2", "--set", "Sync to Host=on", "--set", "LFOSpeed=1/8", "--tempo", "133",
         "--playing"},
        {"--set", "LFOSpeed=1/4", "--set", "Sync to Host=on", "--set", "Feedback=-50%", "--set", "Stages=8",
         "--tempo", "98", "--playing", "--precision", "double", "--block", "64", "--tail", "1"},
    };
    for (const auto& options : cases) {
        std::vector<std::string> args = {"render", "PLUGIN", in, "OUT"};
        args.insert(args.end(), options.begin(), options.end());
        const std::vector<uint8_t> vst2 = Output(args, PHASER_PLUGIN, "vst2.f32");
        ASSERT_GT(vst2.size(), 0u) << options[1];
        EXPECT_NE(vst2, ReadBytes(in)) << options[1];
        EXPECT_EQ(Output(args, PHASER_VST3_BUNDLE, "bundle.f32"), vst2) << options[1];
        EXPECT_EQ(Output(args, PHASER_VST3_LIBRARY, "library.f32"), vst2) << options[1];
    }
}

TEST_F(PhaserVst3Host, SnapshotIsTheVst2Snapshot) {
#ifdef _WIN32
    GTEST_SKIP() << "snapshots need X11";
#endif
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"snapshot", "PLUGIN", "OUT"},
          std::vector<std::string>{"snapshot", "PLUGIN", "OUT", "--program", "Aliens", "--set",
                                   "Sync to Host=ON", "--set", "Mix=Wet", "--set", "LFOSpeed=1/2"}}) {
        const std::vector<uint8_t> vst2 = Output(args, PHASER_PLUGIN, "vst2.png");
        ASSERT_GT(vst2.size(), 0u);
        EXPECT_EQ(Output(args, PHASER_VST3_BUNDLE, "vst3.png"), vst2) << args.size();
    }
}

// VST 3 has no .fxp or .fxb files, and a folder named like a bundle needs the library inside.
TEST_F(PhaserVst3Host, RefusesWhatItCannotDoBeforeWritingAnything) {
    const std::string in = dir + "/in.f32";
    const std::string out = dir + "/out.f32";
    WriteRaw(in, TestSignal(100, 2));
    const std::string empty = dir + "/Empty.vst3";
    std::filesystem::create_directories(std::filesystem::u8path(empty));
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"render", PHASER_VST3_BUNDLE, in, out, "--save-preset", dir + "/p.fxp"},
         "preset files (.fxp, .fxb)"},
        {{"render", PHASER_VST3_BUNDLE, in, out, "--load-preset", in}, "preset files (.fxp, .fxb)"},
        {{"render", PHASER_VST3_BUNDLE, in, out, "--set", "Bypass=on"}, "no parameter named 'Bypass'"},
        {{"render", PHASER_VST3_BUNDLE, in, out, "--set", "Sync to Host=on", "--set", "LFOSpeed=1/5"},
         "it shows 16/1, 12/1,"},
        {{"render", empty, in, out}, "is no VST 3 bundle for this system"},
    };
    for (const auto& c : cases) {
        ExpectRefused(c.args, c.error, out);
    }
}

} // namespace
