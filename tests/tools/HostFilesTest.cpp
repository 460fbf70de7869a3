// The files a command is given: it never writes over what it reads, writes through links, says
// what is wrong with a path, and tells empty and cut-short inputs apart from whole ones.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

fs::path Path(const std::string& path) {
    return fs::u8path(path);
}

TEST(HostFiles, NeverWritesOverAFileItReads) {
    const std::string dir = TestDirectory();
    const std::string in = dir + "/in.f32";
    const std::vector<float> signal = TestSignal(100, 2);
    WriteRaw(in, signal);
    fs::create_directories(Path(dir + "/sub"));
    std::vector<std::string> sameFiles = {in, dir + "/./in.f32", dir + "/sub/../in.f32"};
#ifndef _WIN32
    fs::create_symlink("in.f32", Path(dir + "/link.f32"));
    fs::create_hard_link(Path(in), Path(dir + "/hard.f32"));
    sameFiles.push_back(dir + "/link.f32");
    sameFiles.push_back(dir + "/hard.f32");
#endif
    for (const std::string& out : sameFiles) {
        const HostRun run = RunHostCommand({"render", TEST_PLUGIN, in, out, "--program", "Half Gain"});
        EXPECT_EQ(run.exitCode, 1) << out;
        ASSERT_EQ(run.errors.size(), 1u) << Describe(run);
        ExpectContains(run.errors[0], out + " is the same file as the input " + in);
        EXPECT_EQ(ReadRaw(in), signal) << out;
    }
    // Nor over the plug-in, whatever it is named.
    const std::string plugin = dir + "/plugin.f32";
    fs::copy_file(Path(TEST_PLUGIN), Path(plugin));
    const HostRun overPlugin = RunHostCommand({"render", plugin, in, plugin});
    EXPECT_EQ(overPlugin.exitCode, 1);
    ASSERT_EQ(overPlugin.errors.size(), 1u);
    ExpectContains(overPlugin.errors[0], "is the same file as the plug-in");
    EXPECT_EQ(ReadBytes(plugin), ReadBytes(TEST_PLUGIN));
    // A preset file may be saved over the one it was loaded from: it is read whole first.
    const std::string fxp = dir + "/p.fxp";
    ASSERT_EQ(RunHostCommand({"preset", TEST_PLUGIN, "--save-preset", fxp}).exitCode, 0);
    const HostRun resaved = RunHostCommand(
        {"preset", TEST_PLUGIN, "--load-preset", fxp, "--set", "Swap=on", "--save-preset", fxp});
    ASSERT_EQ(resaved.exitCode, 0) << Describe(resaved);
    EXPECT_EQ(RenderRaw(dir, signal, 2, {"--load-preset", fxp}), Swapped(signal));
}

TEST(HostFiles, WritesThroughSymbolicLinks) {
#ifdef _WIN32
    GTEST_SKIP() << "links are a POSIX matter here";
#else
    const std::string dir = TestDirectory();
    const std::string in = dir + "/in.f32";
    const std::vector<float> signal = TestSignal(50, 2);
    WriteRaw(in, signal);
    fs::create_directories(Path(dir + "/data"));
    WriteBytes(dir + "/data/old.f32", {1, 2, 3});
    fs::create_symlink("data/old.f32", Path(dir + "/old.f32"));
    fs::create_symlink("old.f32", Path(dir + "/chain.f32"));    // a link to a link
    fs::create_symlink("data/new.f32", Path(dir + "/new.f32")); // to a file yet to be made
    for (const char* name : {"old.f32", "chain.f32", "new.f32"}) {
        const HostRun run = RunHostCommand({"render", TEST_PLUGIN, in, dir + "/" + name});
        ASSERT_EQ(run.exitCode, 0) << name << "\n" << Describe(run);
        EXPECT_TRUE(fs::is_symlink(Path(dir + "/" + name))) << name;
        EXPECT_EQ(ReadRaw(dir + "/" + name), signal) << name;
    }
    EXPECT_EQ(ReadRaw(dir + "/data/old.f32"), signal);
    EXPECT_EQ(ReadRaw(dir + "/data/new.f32"), signal);
    fs::create_symlink("data/p.fxp", Path(dir + "/p.fxp"));
    ASSERT_EQ(RunHostCommand({"preset", TEST_PLUGIN, "--save-preset", dir + "/p.fxp"}).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(Path(dir + "/p.fxp")));
    EXPECT_TRUE(fs::is_regular_file(Path(dir + "/data/p.fxp")));
    EXPECT_EQ(FilesIn(dir + "/data").size(), 3u) << "a temporary file was left behind";
#endif
}

TEST(HostFiles, SaysWhenAPathIsADirectory) {
    const std::string dir = TestDirectory();
    const std::string in = dir + "/in.f32";
    const std::string folder = dir + "/folder.f32";
    const std::string presets = dir + "/presets.fxp";
    WriteRaw(in, TestSignal(10, 2));
    fs::create_directories(Path(folder));
    fs::create_directories(Path(presets));
    const std::string out = dir + "/out.f32";
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"render", TEST_PLUGIN, folder, out}, folder + " is a directory, not a file"},
        {{"render", folder, in, out}, folder + " is a directory, not a file"},
        {{"info", dir}, dir + " is a directory, not a file"},
        {{"render", TEST_PLUGIN, in, out, "--load-preset", presets}, presets + " is a directory, not a file"},
        {{"render", TEST_PLUGIN, in, folder}, folder + " is a directory; name the file to write"},
        {{"preset", TEST_PLUGIN, "--save-preset", presets},
         presets + " is a directory; name the file to write"},
    };
    for (const auto& c : cases) {
        const HostRun run = RunHostCommand(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.message;
        ASSERT_EQ(run.errors.size(), 1u) << Describe(run);
        EXPECT_EQ(run.errors[0], "ksphaser-host: " + c.message);
    }
    EXPECT_FALSE(FileExists(out));
}

TEST(HostFiles, EmptyAndCutShortInputs) {
    const std::string dir = TestDirectory();
    const std::string empty = dir + "/empty.f32";
    const std::string out = dir + "/out.f32";
    WriteBytes(empty, {});
    const HostRun nothing = RunHostCommand({"render", TEST_PLUGIN, empty, out});
    EXPECT_EQ(nothing.exitCode, 1);
    ASSERT_EQ(nothing.errors.size(), 1u) << Describe(nothing);
    EXPECT_EQ(nothing.errors[0], "ksphaser-host: " + empty + " holds no audio: nothing to render");
    EXPECT_TRUE(nothing.out.empty());
    EXPECT_FALSE(FileExists(out));
    // A tail is something to render.
    const HostRun tail = RunHostCommand({"render", TEST_PLUGIN, empty, out, "--tail", "0.01"});
    ASSERT_EQ(tail.exitCode, 0) << Describe(tail);
    EXPECT_EQ(ReadRaw(out), std::vector<float>(2 * 441, 0.0f));
#ifndef _WIN32
    Audio audio;
    audio.channels = 2;
    audio.sampleRate = 44100;
    const std::string wav = dir + "/empty.wav";
    WriteWav(wav, audio);
    EXPECT_EQ(RunHostCommand({"render", TEST_PLUGIN, wav, dir + "/out.wav"}).exitCode, 1);
    // A WAV file cut off after 400 of the 1000 frames its header promises.
    audio.samples = TestSignal(1000, 2);
    const std::string cut = dir + "/cut.wav";
    WriteWav(cut, audio);
    const uintmax_t header = fs::file_size(Path(cut)) - 1000 * 8;
    fs::resize_file(Path(cut), header + 400 * 8);
    const HostRun shortened = RunHostCommand({"render", TEST_PLUGIN, cut, dir + "/out.wav"});
    ASSERT_EQ(shortened.exitCode, 0) << Describe(shortened);
    ASSERT_EQ(shortened.errors.size(), 1u) << Describe(shortened);
    EXPECT_EQ(shortened.errors[0], "ksphaser-host: warning: " + cut +
                                       " promises 1000 frames but holds 400; rendered 400 frames of it");
    EXPECT_EQ(ReadWav(dir + "/out.wav").Frames(), 400u);
#endif
}

TEST(HostHelp, EachCommandShowsItsOwnUsage) {
    const HostRun render = RunHostCommand({"render", "--help"});
    EXPECT_EQ(render.exitCode, 0);
    EXPECT_EQ(render.out.rfind("Usage:\n  ksphaser-host render PLUGIN IN OUT [STATE...] [RENDER...]\n\n", 0),
              0u);
    ExpectContains(render.out, "--set NAME=VALUE");
    ExpectContains(render.out, "--tail SECONDS");
    const HostRun example = RunHostCommand({"example", "--help"});
    EXPECT_EQ(example.out.rfind("Usage:\n  ksphaser-host example OUT [--seconds N]\n\n", 0), 0u);
    EXPECT_EQ(example.out.find("--set"), std::string::npos);
    for (const char* command : {"info PLUGIN", "render PLUGIN", "preset PLUGIN", "example OUT"}) {
        ExpectContains(RunHostCommand({"--help"}).out, command);
    }
}

} // namespace
