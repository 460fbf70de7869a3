// The host with the phaser's CLAP module, against its VST 2.4 library from the same build.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

namespace {

#ifdef _WIN32
constexpr const char* kEditor = "Editor           embedded, win32\n";
#else
constexpr const char* kEditor = "Editor           embedded, x11\n";
#endif

class PhaserClapHost : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(PHASER_CLAP) || !FileExists(PHASER_PLUGIN)) {
            GTEST_SKIP() << "the phaser's CLAP module or VST 2.4 library is not built";
        }
        dir = TestDirectory();
    }

    // What command (its arguments after PLUGIN, with OUT) writes with plugin and options.
    std::vector<uint8_t> Output(const std::vector<std::string>& command, const std::string& plugin,
                                const std::vector<std::string>& options, const char* out) {
        std::vector<std::string> args = {command[0], plugin};
        args.insert(args.end(), command.begin() + 1, command.end());
        args.insert(args.end(), options.begin(), options.end());
        return WrittenBy(args, dir, out);
    }

    std::string dir;
};

TEST_F(PhaserClapHost, ShowsWhatAHostSees) {
    const HostRun run =
        RunHostCommand({"info", PHASER_CLAP, "--program", "Comfort", "--set-normalized", "Manual=0.25"});
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    for (const char* part : {
             "Program 6: Comfort\nManual = 4000Hz\n",
             "Features         audio-effect, phaser, stereo\n",
             "Latency          0 samples\n",
             kEditor,
             "  0   id 0    'Stereo In'          2 channels, stereo, Main Supports64Bits RequiresCommonSampleSize, in place with 0\n",
             "Parameters (11; # numbers the 10 that --set takes)\n",
             "  0   0      Stages           0          1          0          1          8              "
             "Stepped Automatable Enum\n",
             "  1   1      Manual           0          16000      1000       4000       4000Hz         "
             "Automatable\n",
             "  9   9      Waveform         0          1          1          1          Triangle       "
             "Stepped Automatable Enum\n",
             "  -   100    Bypass           0          1          0          0          off            "
             "Stepped Bypass Automatable\n",
             "Presets (10)\n",
             "  6   Comfort                  load key '6', loaded\n",
             "  9   Aliens                   load key '9'\n",
         }) {
        ExpectContains(run.out, part);
    }
}

// The check that matters: either format renders the same samples with the same state, transport
// and precision. Manual at 4000 Hz is 0.5 to the VST 2.4 library (its normalised range is
// squared) and 0.25 of the CLAP range. With sync to host the input is taken for 32768 Hz and the
// tempo is 120 or 240: every block then starts on a beat position that both the VST 2.4 host's
// double and CLAP's 2^31 fixed point hold exactly.
TEST_F(PhaserClapHost, RendersWhatTheVst2LibraryRenders) {
    const std::string in = dir + "/example.f32";
    ASSERT_EQ(RunHostCommand({"example", in, "--seconds", "2"}).exitCode, 0);
    const struct {
        std::vector<std::string> both;
        const char* vst2;
        const char* clap;
    } cases[] = {
        {{"--program", "3"}, "Mix=0.5", "Mix=0.5"},
        {{"--program", "Aliens", "--set", "Mix=Wet", "--precision", "double", "--block", "100"},
         "Spread=1",
         "Spread=1"},
        {{"--set", "Stages=8", "--set", "Waveform=Sine", "--set", "Feedback=-50%"},
         "Manual=0.5",
         "Manual=0.25"},
        {{"--set", "Stereo=0%", "--precision", "double", "--block", "64"}, "Manual=0.5", "Manual=0.25"},
        {{"--program", "2", "--set", "Sync to Host=on", "--set", "LFOSpeed=1/8", "--tempo", "120",
          "--playing", "--rate", "32768"},
         "Stages=0",
         "Stages=0"},
        {{"--set", "LFOSpeed=1/4", "--set", "Sync to Host=on", "--set", "Feedback=-50%", "--set", "Stages=8",
          "--tempo", "240", "--playing", "--precision", "double", "--block", "64", "--tail", "1", "--rate",
          "32768"},
         "Manual=0.5",
         "Manual=0.25"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> vst2 = c.both;
        std::vector<std::string> clap = c.both;
        vst2.insert(vst2.end(), {"--set-normalized", c.vst2});
        clap.insert(clap.end(), {"--set-normalized", c.clap});
        const std::vector<std::string> args = {"render", in, "OUT"};
        const std::vector<uint8_t> expected = Output(args, PHASER_PLUGIN, vst2, "vst2.f32");
        ASSERT_GT(expected.size(), 0u) << c.both[1];
        EXPECT_NE(expected, ReadBytes(in)) << c.both[1];
        EXPECT_EQ(Output(args, PHASER_CLAP, clap, "clap.f32"), expected) << c.both[1];
    }
}

TEST_F(PhaserClapHost, SnapshotIsTheVst2Snapshot) {
#ifdef _WIN32
    GTEST_SKIP() << "snapshots need X11";
#endif
    const std::vector<std::string> args = {"snapshot", "OUT"};
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{},
          std::vector<std::string>{"--program", "Aliens", "--set", "Sync to Host=ON", "--set", "Mix=Wet",
                                   "--set", "LFOSpeed=1/2"}}) {
        const std::vector<uint8_t> vst2 = Output(args, PHASER_PLUGIN, options, "vst2.png");
        ASSERT_GT(vst2.size(), 0u);
        EXPECT_EQ(Output(args, PHASER_CLAP, options, "clap.png"), vst2) << options.size();
    }
}

TEST_F(PhaserClapHost, RefusesWhatItCannotDoBeforeWritingAnything) {
    const std::string in = dir + "/in.f32";
    const std::string out = dir + "/out.f32";
    WriteRaw(in, TestSignal(100, 2));
    const std::string notClap = dir + "/vst2.clap";
    WriteBytes(notClap, ReadBytes(PHASER_PLUGIN));
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"render", PHASER_CLAP, in, out, "--save-preset", dir + "/p.fxp"}, "preset files (.fxp, .fxb)"},
        {{"render", PHASER_CLAP, in, out, "--set", "Bypass=on"}, "no parameter named 'Bypass'"},
        {{"render", PHASER_CLAP, in, out, "--program", "Nothing"}, "no program named 'Nothing'"},
        {{"render", PHASER_CLAP, in, out, "--set", "Sync to Host=on", "--set", "LFOSpeed=1/5"},
         "it shows 16/1, 12/1,"},
        {{"render", notClap, in, out}, "is not a CLAP module: it exports no clap_entry"},
    };
    for (const auto& c : cases) {
        ExpectRefused(c.args, c.error, out);
    }
}

} // namespace
