// The host's commands against the test plug-in (TestPlugin.cpp): what it shows, how it renders,
// what it tells the plug-in, presets, and every way a command can fail.
#include "HostTestSupport.h"

#include "tools/host/Renderer.h"
#include "tools/host/Vst2Instance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#ifndef _WIN32
#include <sndfile.h>
#endif

namespace {

TEST(HostInfo, ShowsWhatTheHostSees) {
    const HostRun run = RunHostCommand({"info", TEST_PLUGIN});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_TRUE(run.errors.empty());
    for (const char* part : {
             "(entry point VSTPluginMain)",
             "Magic            'VstP'",
             "Unique id        'KTst' (0x4B547374)",
             "Version          1234",
             "Flags            0x1030: CanReplacing ProgramChunks CanDoubleReplacing",
             "Inputs           2",
             "Outputs          2",
             "Initial delay    0 samples",
             "Effect name      Gain Swap",
             "Vendor           KSPhaser tests",
             "Product          Host test plug-in",
             "Vendor version   1234",
             "Category         1 (Effect)",
             "VST version      2400",
             "Parameters (3)",
             "  0   Gain                 0.500000   1.00 x\n",
             "  1   Swap                 0.000000   off\n",
             "Programs (3, current 0: Unity)",
             "  2   Half Gain\n",
             "Input pins (2)",
             "  0   \"Left in\"                    short \"L\", active, stereo\n",
             "  1   \"Right out\"                  short \"R\", active\n",
             "  receiveVstTimeInfo     yes\n",
             "  bypass                 no\n",
             "  offline                don't know\n",
         }) {
        ExpectContains(run.out, part);
    }
}

TEST(HostInfo, FallsBackToTheOldEntryPoint) {
    const HostRun run = RunHostCommand({"info", TEST_PLUGIN_MAIN_ONLY});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    ExpectContains(run.out, "(entry point main)");
    ExpectContains(run.out, "Unique id        'KTst'");
}

TEST(HostInfo, ShowsTheStateAfterPresetProgramAndSettings) {
    const HostRun run = RunHostCommand({"info", TEST_PLUGIN, "--program", "half gain", "--set", "swap=ON"});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    ExpectContains(run.out, "Program 2: Half Gain\nSwap = on\n");
    ExpectContains(run.out, "Programs (3, current 2: Half Gain)");
    ExpectContains(run.out, "  0   Gain                 0.250000   0.50 x\n");
    ExpectContains(run.out, "  1   Swap                 1.000000   on\n");
}

TEST(HostRender, PassesStereoThroughAtUnityGain) {
    const std::vector<float> in = TestSignal(3000, 2);
    EXPECT_EQ(RenderRaw(TestDirectory(), in, 2, {}), in);
}

TEST(HostRender, MonoInputFeedsBothInputs) {
    const std::vector<float> mono = TestSignal(2500, 1);
    const std::vector<float> out = RenderRaw(TestDirectory(), mono, 1, {"--program", "Half Gain"});
    ASSERT_EQ(out.size(), 2 * mono.size());
    for (size_t i = 0; i < mono.size(); ++i) {
        ASSERT_EQ(out[2 * i], mono[i] * 0.5f) << i;
        ASSERT_EQ(out[2 * i + 1], mono[i] * 0.5f) << i;
    }
}

TEST(HostRender, OutputHasOneChannelPerPluginOutput) {
    const std::string dir = TestDirectory();
    const std::vector<float> mono = TestSignal(1000, 1);
    EXPECT_EQ(RenderRaw(dir, mono, 1, {}, TEST_PLUGIN_MONO), mono);
}

TEST(HostRender, ChannelRules) {
    const struct {
        int fileChannels;
        int inputs;
        int outputs;
        const char* error; // none when the combination renders
    } cases[] = {
        {1, 2, 2, nullptr},
        {2, 2, 2, nullptr},
        {1, 6, 2, nullptr}, // mono feeds every input
        {2, 6, 2, nullptr}, // inputs 2 to 5 get silence
        {6, 2, 2, "the input has 6 channels but the plug-in takes 2"},
        {2, 0, 2, nullptr}, // an instrument only takes the length and rate
        {1, 2, 0, "the plug-in has no audio outputs"},
        {1, -1, 2, "the plug-in reports -1 inputs and 2 outputs"},
        {1, 2, 100000, "the plug-in reports 2 inputs and 100000 outputs"},
    };
    for (const auto& c : cases) {
        const ksphost::Status status = ksphost::CheckChannels(c.fileChannels, c.inputs, c.outputs);
        EXPECT_EQ(status.Ok(), c.error == nullptr) << c.fileChannels << " " << c.inputs << " " << c.outputs;
        if (c.error != nullptr) {
            EXPECT_EQ(status.Message(), c.error);
        }
    }
}

TEST(HostRender, AnInterruptedRenderLeavesNoOutput) {
    const std::string dir = TestDirectory();
    WriteRaw(dir + "/in.f32", TestSignal(100000, 2));
    auto plugin = ksphost::Vst2Instance::Load(TEST_PLUGIN);
    ASSERT_TRUE(plugin.Ok()) << plugin.Error().Message();
    auto source = ksphost::OpenAudioReader(dir + "/in.f32", ksphost::RawFormat());
    ASSERT_TRUE(source.Ok());
    {
        auto sink = ksphost::CreateAudioWriter(dir + "/out.f32", 2, 44100);
        ASSERT_TRUE(sink.Ok());
        const volatile std::sig_atomic_t interrupted = 1;
        auto rendered = ksphost::Render(*plugin.Value(), *source.Value(), *sink.Value(),
                                        ksphost::RenderSettings(), nullptr, &interrupted);
        ASSERT_FALSE(rendered.Ok());
        EXPECT_EQ(rendered.Error().Message(), "interrupted");
    }
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"in.f32"});
}

TEST(HostRender, BlockSizesAndPrecisionsGiveTheSameOutput) {
    const std::string dir = TestDirectory();
    const std::vector<float> in = TestSignal(5000, 2);
    const std::vector<float> expected = Swapped(Scaled(in, 1.5));
    for (const char* block : {"1", "7", "64", "512", "4999", "100000"}) {
        for (const char* precision : {"single", "double"}) {
            const std::vector<float> out = RenderRaw(
                dir, in, 2,
                {"--set", "Swap=on", "--set", "Gain=1.5", "--block", block, "--precision", precision});
            EXPECT_EQ(out, expected) << "block " << block << ", " << precision;
        }
    }
}

TEST(HostRender, ValuesAreWhatTheParameterShows) {
    const std::string dir = TestDirectory();
    const std::vector<float> in = TestSignal(100, 2);
    const struct {
        std::vector<std::string> options;
        double gain;
    } cases[] = {
        {{"--set", "Gain=1.50"}, 1.5},            // a text the parameter shows
        {{"--set", "Gain=1.50 x"}, 1.5},          // as info prints it, with the label
        {{"--set", "Gain=0.5"}, 0.5},             // a number in the unit of the display
        {{"--set", "Gain=1.5x"}, 1.5},            // with the unit
        {{"--set", "Gain=2"}, 2.0},               // the end of the range exactly
        {{"--set", "0=0.25"}, 0.25},              // a parameter by number
        {{"--set", "gain= 0.5 "}, 0.5},           // names in any case, blanks around values
        {{"--set-normalized", "Gain=0.25"}, 0.5}, // a normalised value
        {{"--set-normalized=Gain=1"}, 2.0},       //
        {{"--set", "Swap=off", "--set", "Gain=1"}, 1.0},
    };
    for (const auto& c : cases) {
        // A value between grid points is found to within far less than the display's rounding.
        const std::vector<float> out = RenderRaw(dir, in, 2, c.options);
        ASSERT_EQ(out.size(), in.size()) << c.options.back();
        for (size_t i = 0; i < in.size(); ++i) {
            ASSERT_NEAR(out[i], in[i] * c.gain, std::fabs(in[i]) * 1e-5) << c.options.back() << " at " << i;
        }
    }
}

TEST(HostRender, WavFilesKeepTheirSampleRate) {
#ifdef _WIN32
    GTEST_SKIP() << "this build reads and writes raw files only";
#else
    const std::string dir = TestDirectory();
    for (int rate : {22050, 44100, 48000, 96000}) {
        Audio in;
        in.channels = 2;
        in.sampleRate = rate;
        in.samples = TestSignal(1234, 2);
        WriteWav(dir + "/in.wav", in);
        const HostRun run = RunHostCommand({"render", TEST_PLUGIN, dir + "/in.wav", dir + "/out.wav"});
        ASSERT_EQ(run.exitCode, 0) << Describe(run);
        ExpectContains(run.out, std::to_string(rate) + " Hz, 2 -> 2 channels");
        ExpectContains(run.out, "Real-time factor");
        const Audio out = ReadWav(dir + "/out.wav");
        EXPECT_EQ(out.sampleRate, rate);
        EXPECT_EQ(out.channels, 2);
        EXPECT_EQ(out.samples, in.samples);
    }
#endif
}

TEST(HostRender, ReadsWhatLibsndfileReads) {
#ifdef _WIN32
    GTEST_SKIP() << "this build reads and writes raw files only";
#else
    const std::string dir = TestDirectory();
    // A 16-bit mono FLAC at 32 kHz becomes a stereo float WAV at 32 kHz.
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = 32000;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open((dir + "/in.flac").c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<short> pcm(3200);
    for (size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = static_cast<short>((static_cast<int>(i) * 37) % 20000 - 10000);
    }
    sf_writef_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    sf_close(file);
    const HostRun run = RunHostCommand({"render", TEST_PLUGIN, dir + "/in.flac", dir + "/out.wav"});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    const Audio out = ReadWav(dir + "/out.wav");
    EXPECT_EQ(out.sampleRate, 32000);
    ASSERT_EQ(out.channels, 2);
    ASSERT_EQ(out.Frames(), pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i) {
        ASSERT_EQ(out.At(i, 0), static_cast<float>(pcm[i]) / 32768.0f) << i;
        ASSERT_EQ(out.At(i, 1), out.At(i, 0)) << i;
    }
#endif
}

// What the test plug-in's probe records of the host, per block (see TestPlugin.cpp).
struct ProbeBlock {
    double position;
    std::vector<double> record;
};

std::vector<ProbeBlock> Probe(const std::string& dir, size_t frames, int rate,
                              std::vector<std::string> options) {
    const std::vector<float> in(frames * 2, 0.0f);
    options.insert(options.end(), {"--set", "Probe=on", "--rate", std::to_string(rate), "--block", "64"});
    const std::vector<float> out = RenderRaw(dir, in, 2, options);
    std::vector<ProbeBlock> blocks;
    for (size_t start = 0; start < out.size() / 2; start += 64) {
        ProbeBlock block;
        block.position = out[2 * start];
        for (size_t i = start; i < std::min(start + 14, out.size() / 2); ++i) {
            block.record.push_back(out[2 * i + 1]);
        }
        blocks.push_back(block);
    }
    return blocks;
}

TEST(HostRender, TellsThePluginTempoTransportAndItsSettings) {
    const std::string dir = TestDirectory();
    const std::vector<ProbeBlock> blocks = Probe(dir, 64 * 10 + 20, 48000, {"--tempo", "90", "--playing"});
    ASSERT_EQ(blocks.size(), 11u);
    const double validBits = 0x200 | 0x400 | 0x800 | 0x2000; // ppq, tempo, bars, time signature
    for (size_t b = 0; b < blocks.size(); ++b) {
        const ProbeBlock& block = blocks[b];
        const double position = 64.0 * static_cast<double>(b);
        SCOPED_TRACE("block " + std::to_string(b));
        EXPECT_EQ(block.position, position);
        ASSERT_EQ(block.record.size(), 14u);
        EXPECT_EQ(block.record[0], 90.0); // tempo
        EXPECT_FLOAT_EQ(static_cast<float>(block.record[1]),
                        static_cast<float>(position / 48000.0 * 1.5)); // ppq
        EXPECT_EQ(block.record[2], validBits + 2);                     // + playing
        EXPECT_EQ(block.record[3], 4.0);
        EXPECT_EQ(block.record[4], 4.0);
        EXPECT_EQ(block.record[5], 4.0); // offline process level
        EXPECT_EQ(block.record[6], 2400.0);
        EXPECT_EQ(block.record[7], 48000.0);
        EXPECT_EQ(block.record[8], 64.0);
        EXPECT_EQ(block.record[9], 48000.0); // effSetSampleRate
        EXPECT_EQ(block.record[10], 64.0);   // effSetBlockSize
        EXPECT_EQ(block.record[11], b + 1 < blocks.size() ? 64.0 : 20.0);
        EXPECT_EQ(block.record[12], 1.0); // opened and resumed
        EXPECT_EQ(block.record[13], 1.0); // product "ksphaser-host"
    }
    // Without --playing the transport is stopped; the tempo defaults to 120.
    const std::vector<ProbeBlock> stopped = Probe(dir, 64 * 2, 44100, {});
    ASSERT_EQ(stopped.size(), 2u);
    EXPECT_EQ(stopped[1].record[0], 120.0);
    EXPECT_EQ(stopped[1].record[2], validBits);
    EXPECT_FLOAT_EQ(static_cast<float>(stopped[1].record[1]), static_cast<float>(64.0 / 44100.0 * 2.0));
}

TEST(HostPresets, ProgramFileRoundTrip) {
    const std::string dir = TestDirectory();
    const std::string fxp = dir + "/half-swapped.fxp";
    const HostRun saved =
        RunHostCommand({"preset", TEST_PLUGIN, "--program", "2", "--set", "Swap=on", "--save-preset", fxp});
    ASSERT_EQ(saved.exitCode, 0) << Describe(saved);
    ExpectContains(saved.out, "Saved preset " + fxp);

    const std::vector<uint8_t> bytes = ReadBytes(fxp);
    ASSERT_EQ(bytes.size(), 60u + 4 + 12 + 32);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 20),
              std::string("FPCh") + '\0' + '\0' + '\0' + '\1' + "KTst");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), "Half Gain");

    // A fresh instance loads it: half gain, swapped.
    const std::vector<float> in = TestSignal(300, 2);
    EXPECT_EQ(RenderRaw(dir, in, 2, {"--load-preset", fxp}), Swapped(Scaled(in, 0.5)));
    // Settings after the preset win.
    EXPECT_EQ(RenderRaw(dir, in, 2, {"--load-preset", fxp, "--set", "Swap=off"}), Scaled(in, 0.5));
}

TEST(HostPresets, BankFileRoundTrip) {
    const std::string dir = TestDirectory();
    const std::string fxb = dir + "/bank.fxb";
    const HostRun saved =
        RunHostCommand({"preset", TEST_PLUGIN, "--program", "Swapped", "--save-preset", fxb});
    ASSERT_EQ(saved.exitCode, 0) << Describe(saved);
    const std::vector<uint8_t> bytes = ReadBytes(fxb);
    ASSERT_GE(bytes.size(), 160u);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FBCh");
    EXPECT_EQ(bytes[31], 1); // current program

    const HostRun loaded = RunHostCommand({"info", TEST_PLUGIN, "--load-preset", fxb});
    ASSERT_EQ(loaded.exitCode, 0) << Describe(loaded);
    ExpectContains(loaded.out, "Loaded preset " + fxb);
    ExpectContains(loaded.out, "Programs (3, current 1: Swapped)");
    ExpectContains(loaded.out, "  1   Swap                 1.000000   on\n");

    // Saving while rendering writes the preset too, after the render succeeded.
    const std::string again = dir + "/again.fxb";
    RenderRaw(dir, TestSignal(10, 2), 2, {"--load-preset", fxb, "--save-preset", again});
    EXPECT_EQ(ReadBytes(again), bytes);
}

// Every failure: a non-zero exit, one line on stderr, and no file written.
TEST(HostErrors, FailCleanlyWithOneLineAndNoOutput) {
    const std::string dir = TestDirectory();
    const std::string in = dir + "/in.f32";
    const std::string odd = dir + "/odd.f32";
    const std::string text = dir + "/text.so";
    const std::string garbage = dir + "/garbage.fxp";
    const std::string foreign = dir + "/foreign.fxp";
    const std::string refused = dir + "/refused.fxp";
    WriteRaw(in, TestSignal(100, 2));
    WriteBytes(odd, std::vector<uint8_t>(10, 0));
    WriteBytes(text, std::vector<uint8_t>(100, 'x'));
    WriteBytes(garbage, std::vector<uint8_t>(80, 7));
    // A preset of another plug-in, and one whose chunk the test plug-in refuses.
    {
        const HostRun made = RunHostCommand({"preset", TEST_PLUGIN, "--save-preset", foreign});
        ASSERT_EQ(made.exitCode, 0) << Describe(made);
        std::vector<uint8_t> bytes = ReadBytes(foreign);
        std::vector<uint8_t> cut = bytes;
        cut[63] ^= 0xFF; // chunk magic
        WriteBytes(refused, cut);
        bytes[16] = 'X';
        WriteBytes(foreign, bytes);
    }
    const std::vector<std::string> before = FilesIn(dir);
    const std::string out = dir + "/out.f32";

    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"render", dir + "/missing.so", in, out}, 1, "missing.so: no such file"},
        {{"render", text, in, out}, 1, "cannot load"},
        {{"render", TEST_NOT_A_PLUGIN, in, out}, 1, "exports neither VSTPluginMain nor main"},
        {{"render", TEST_PLUGIN_REFUSE, in, out}, 1, "did not create an instance"},
        {{"render", TEST_PLUGIN, dir + "/none.f32", out}, 1, "none.f32: no such file"},
        {{"render", TEST_PLUGIN, odd, out}, 1, "not a whole number of 2-channel"},
        {{"render", TEST_PLUGIN, in, dir + "/out.mp3"}, 1, "out.mp3"},
        {{"render", TEST_PLUGIN, in, dir + "/no/such/dir/out.f32"}, 1, "cannot write"},
        {{"render", TEST_PLUGIN_MONO, in, out}, 1, "the input has 2 channels but the plug-in takes 1"},
        {{"render", TEST_PLUGIN, in, out, "--program", "3"}, 1, "program 3 does not exist"},
        {{"render", TEST_PLUGIN, in, out, "--program", "Loud"}, 1, "no program named 'Loud'"},
        {{"render", TEST_PLUGIN, in, out, "--set", "Volume=1"}, 1, "no parameter named 'Volume'"},
        {{"render", TEST_PLUGIN, in, out, "--set", "3=1"}, 1, "parameter 3 does not exist"},
        {{"render", TEST_PLUGIN, in, out, "--set", "Swap=maybe"},
         1,
         "bad value 'maybe' for the parameter 'Swap'"},
        {{"render", TEST_PLUGIN, in, out, "--set", "Gain=3"}, 1, "bad value '3'"},
        {{"render", TEST_PLUGIN, in, out, "--set", "Gain="}, 1, "needs a value"},
        {{"render", TEST_PLUGIN, in, out, "--load-preset", dir + "/none.fxp"}, 1, "none.fxp: no such file"},
        {{"render", TEST_PLUGIN, in, out, "--load-preset", garbage}, 1, "is not a VST preset file"},
        {{"render", TEST_PLUGIN, in, out, "--load-preset", foreign},
         1,
         "is a preset of the plug-in 'XTst', not of 'KTst'"},
        {{"render", TEST_PLUGIN, in, out, "--load-preset", refused}, 1, "the plug-in refused the preset"},
        {{"render", TEST_PLUGIN, in, out, "--save-preset", dir + "/p.txt"}, 1, "preset files are named"},
        {{"preset", TEST_PLUGIN, "--save-preset", dir + "/no/dir/p.fxp"}, 1, "cannot write"},
        {{"example", dir + "/no/dir/x.f32"}, 1, "cannot write"},
        {{"render", TEST_PLUGIN, in}, 2, "render needs PLUGIN IN OUT"},
        {{"render", TEST_PLUGIN, in, out, "--block", "-3"}, 2, "--block needs"},
    };
    for (const auto& c : cases) {
        const HostRun run = RunHostCommand(c.args);
        const std::string what = c.args[0] + " ... " + c.message;
        EXPECT_EQ(run.exitCode, c.exitCode) << what << "\n" << Describe(run);
        ASSERT_EQ(run.errors.size(), 1u) << what << "\n" << Describe(run);
        EXPECT_EQ(run.errors[0].rfind("ksphaser-host: ", 0), 0u) << run.errors[0];
        EXPECT_EQ(run.errors[0].find('\n'), std::string::npos) << run.errors[0];
        ExpectContains(run.errors[0], c.message);
        EXPECT_EQ(FilesIn(dir).size(), before.size()) << what << ": a file was left behind";
    }
}

TEST(HostErrors, AFailedRenderLeavesAnExistingOutputAlone) {
    const std::string dir = TestDirectory();
    const std::string in = dir + "/in.f32";
    const std::string out = dir + "/out.f32";
    WriteRaw(in, TestSignal(100, 2));
    WriteBytes(out, {1, 2, 3});
    const HostRun failed = RunHostCommand({"render", TEST_PLUGIN, in, out, "--set", "Nope=1"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(ReadBytes(out), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(dir).size(), 2u);
}

} // namespace
