#include "tools/host/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using ksphost::Command;
using ksphost::ParseCommandLine;

TEST(CommandLine, RenderTakesEveryOptionInBothForms) {
    auto parsed = ParseCommandLine({"render",
                                    "p.so",
                                    "in.f32",
                                    "out.wav",
                                    "--program",
                                    "3",
                                    "--set-normalized",
                                    "Mix=0.3",
                                    "--set=Stages=8",
                                    "--block=64",
                                    "--precision",
                                    "double",
                                    "--tempo",
                                    "92.5",
                                    "--playing",
                                    "--rate",
                                    "48000",
                                    "--channels=1",
                                    "--load-preset",
                                    "a.fxb",
                                    "--save-preset",
                                    "b.fxp",
                                    "--tail",
                                    "2.5",
                                    "--compensate-latency",
                                    "--mono",
                                    "left"});
    ASSERT_TRUE(parsed.Ok()) << parsed.Error().Message();
    const ksphost::Options& o = parsed.Value();
    EXPECT_EQ(o.command, Command::Render);
    EXPECT_EQ(o.plugin, "p.so");
    EXPECT_EQ(o.input, "in.f32");
    EXPECT_EQ(o.output, "out.wav");
    EXPECT_EQ(o.state.program, "3");
    ASSERT_EQ(o.state.settings.size(), 2u);
    EXPECT_EQ(o.state.settings[0].text, "Mix=0.3");
    EXPECT_TRUE(o.state.settings[0].normalized);
    EXPECT_EQ(o.state.settings[1].text, "Stages=8");
    EXPECT_FALSE(o.state.settings[1].normalized);
    EXPECT_DOUBLE_EQ(o.render.tailSeconds, 2.5);
    EXPECT_TRUE(o.render.compensateLatency);
    EXPECT_EQ(o.render.monoInput, ksphost::MonoInput::Left);
    EXPECT_EQ(o.state.loadPreset, "a.fxb");
    EXPECT_EQ(o.state.savePreset, "b.fxp");
    EXPECT_EQ(o.render.blockSize, 64);
    EXPECT_TRUE(o.render.doublePrecision);
    EXPECT_DOUBLE_EQ(o.render.transport.tempo, 92.5);
    EXPECT_TRUE(o.render.transport.playing);
    EXPECT_EQ(o.raw.sampleRate, 48000);
    EXPECT_EQ(o.raw.channels, 1);
}

TEST(CommandLine, DefaultsAndOtherCommands) {
    auto render = ParseCommandLine({"render", "p.so", "in.wav", "out.wav"});
    ASSERT_TRUE(render.Ok());
    EXPECT_EQ(render.Value().render.blockSize, 512);
    EXPECT_FALSE(render.Value().render.doublePrecision);
    EXPECT_DOUBLE_EQ(render.Value().render.transport.tempo, 120.0);
    EXPECT_FALSE(render.Value().render.transport.playing);

    auto example = ParseCommandLine({"example", "x.wav", "--seconds", "2.5"});
    ASSERT_TRUE(example.Ok());
    EXPECT_EQ(example.Value().output, "x.wav");
    EXPECT_DOUBLE_EQ(example.Value().seconds, 2.5);

    auto preset = ParseCommandLine({"preset", "p.so", "--program", "8-Stager", "--save-preset", "x.fxp"});
    ASSERT_TRUE(preset.Ok());
    EXPECT_EQ(preset.Value().state.program, "8-Stager");

    auto snapshot = ParseCommandLine({"snapshot", "p.so", "panel.png", "--program", "Aliens", "--set", "Mix=0.5"});
    ASSERT_TRUE(snapshot.Ok());
    EXPECT_EQ(snapshot.Value().command, Command::Snapshot);
    EXPECT_EQ(snapshot.Value().plugin, "p.so");
    EXPECT_EQ(snapshot.Value().output, "panel.png");
    EXPECT_EQ(snapshot.Value().state.program, "Aliens");
    EXPECT_EQ(snapshot.Value().state.settings.size(), 1u);

    for (const char* help : {"--help", "-h", "help"}) {
        auto parsed = ParseCommandLine({help});
        ASSERT_TRUE(parsed.Ok());
        EXPECT_EQ(parsed.Value().command, Command::Help);
    }
    auto helpAfterCommand = ParseCommandLine({"render", "--help"});
    ASSERT_TRUE(helpAfterCommand.Ok());
    EXPECT_EQ(helpAfterCommand.Value().command, Command::Help);
    EXPECT_EQ(helpAfterCommand.Value().helpFor, Command::Render);
}

TEST(CommandLine, RejectsMistakesWithAClearReason) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no command given"},
        {{"play", "x"}, "unknown command 'play'"},
        {{"info"}, "info needs PLUGIN"},
        {{"render", "p.so", "in.wav"}, "render needs PLUGIN IN OUT"},
        {{"example"}, "example needs OUT"},
        {{"snapshot", "p.so"}, "snapshot needs PLUGIN OUT.png"},
        {{"snapshot", "p.so", "x.png", "--tempo", "90"}, "--tempo does not apply to snapshot"},
        {{"info", "p.so", "extra"}, "unexpected argument 'extra'"},
        {{"info", "p.so", "--frobnicate"}, "unknown option --frobnicate"},
        {{"info", "p.so", "--block", "64"}, "--block does not apply to info"},
        {{"example", "x.wav", "--program", "1"}, "--program does not apply to example"},
        {{"render", "p.so", "i.wav", "o.wav", "--block"}, "--block needs a value"},
        {{"render", "p.so", "i.wav", "o.wav", "--block", "0"}, "--block needs a number of frames"},
        {{"render", "p.so", "i.wav", "o.wav", "--block", "12x"}, "--block needs a number of frames"},
        {{"render", "p.so", "i.wav", "o.wav", "--precision", "half"}, "--precision is single or double"},
        {{"render", "p.so", "i.wav", "o.wav", "--tempo", "0"}, "--tempo needs beats per minute"},
        {{"render", "p.so", "i.wav", "o.wav", "--tempo", "nan"}, "--tempo needs beats per minute"},
        {{"render", "p.so", "i.wav", "o.wav", "--playing=yes"}, "--playing takes no value"},
        {{"render", "p.so", "i.wav", "o.wav", "--rate", "48000"}, "describe raw input files"},
        {{"render", "p.so", "i.raw", "o.wav", "--channels", "0"}, "--channels needs a channel count"},
        {{"info", "p.so", "--set", "Mix"}, "--set needs NAME=VALUE"},
        {{"info", "p.so", "--set-normalized", "Mix"}, "--set-normalized needs NAME=VALUE"},
        {{"render", "p.so", "i.wav", "o.wav", "--mono", "right"}, "--mono is mix or left"},
        {{"render", "p.so", "i.wav", "o.wav", "--tail", "-1"}, "--tail needs seconds"},
        {{"info", "p.so", "--tail", "1"}, "--tail does not apply to info"},
        {{"example", "x.wav", "--seconds", "-1"}, "--seconds needs a length"},
        {{"preset", "p.so", "--program", "2"}, "preset needs --save-preset FILE"},
    };
    for (const auto& c : cases) {
        auto parsed = ParseCommandLine(c.args);
        ASSERT_FALSE(parsed.Ok()) << c.message;
        EXPECT_NE(parsed.Error().Message().find(c.message), std::string::npos)
            << "expected '" << c.message << "', got '" << parsed.Error().Message() << "'";
    }
}

} // namespace
