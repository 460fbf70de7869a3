#include "FakeEditor.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <memory>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(IPluginBase, ChannelIOTextGivesPairsAndChannels) {
    const struct {
        const char* text;
        int inputs, outputs;
        bool mono;
        bool zeroPair;
    } cases[] = {
        {"2-2", 2, 2, false, false},
        {"1-1 2-2", 2, 2, true, false},
        {"x 2-3", 2, 3, false, true}, // a token that does not read is the pair (0, 0)
        {"0-2", 0, 2, false, false},
    };
    for (const auto& c : cases) {
        TestPlugin plugin(c.text);
        EXPECT_EQ(plugin.InputCount(), c.inputs) << c.text;
        EXPECT_EQ(plugin.OutputCount(), c.outputs) << c.text;
        EXPECT_EQ(plugin.LegalIO(1, -1), c.mono) << c.text;
        EXPECT_EQ(plugin.LegalIO(0, 0), c.zeroPair) << c.text;
        EXPECT_TRUE(plugin.LegalIO(-1, -1)) << c.text;
    }
    TestPlugin plugin("1-1 2-2");
    EXPECT_TRUE(plugin.LegalIO(2, 2));
    EXPECT_FALSE(plugin.LegalIO(1, 2));
    EXPECT_EQ(plugin.InputChannelAt(2), nullptr);
    EXPECT_EQ(plugin.OutputChannelAt(-1), nullptr);
}

TEST(IPluginBase, BaseProcessBlockCopiesSharedChannelsAndSilencesTheRest) {
    TestPlugin plugin("2-3");
    double in0[3] = {1, 2, 3}, in1[3] = {4, 5, 6};
    double out0[3] = {9, 9, 9}, out2[3] = {9, 9, 9};
    double* inputs[] = {in0, in1};
    double* outputs[] = {out0, in1, out2}; // output 1 shares its input's memory
    plugin.ProcessBlock(inputs, outputs, 3);
    EXPECT_EQ(out0[2], 3.0);
    EXPECT_EQ(in1[1], 5.0);
    for (double v : out2) {
        EXPECT_EQ(v, 0.0);
    }
}

TEST(IPluginBase, LoadPresetOnAnUnusedSlotMakesANumberedUserPreset) {
    TestPlugin plugin;
    std::strcpy(plugin.PresetAt(0)->name, "user preset 1");
    std::strcpy(plugin.PresetAt(1)->name, "my user preset");
    plugin.SetValues(0.6, 0.9);
    EXPECT_TRUE(plugin.LoadPreset(3));
    EXPECT_STREQ(plugin.PresetName(3), "user preset 3");
    EXPECT_TRUE(plugin.PresetAt(3)->initialised);
    EXPECT_EQ(plugin.PresetAt(3)->state.Size(), 16);
    EXPECT_EQ(plugin.CurrentPreset(), 3);
    EXPECT_EQ(plugin.log.back(), "preset 3");
}

TEST(IPluginBase, LoadPresetRestoresStoredValuesAndRefusesBadIndexes) {
    TestPlugin plugin;
    auto editor = new FakeEditor(&plugin);
    plugin.AttachEditor(std::unique_ptr<IEditor>(editor));
    plugin.SetValues(0.6, 0.9);
    plugin.LoadPreset(1);
    plugin.SetValues(1.0, 1.0);
    plugin.log.clear();
    editor->values.clear();

    EXPECT_TRUE(plugin.LoadPreset(1));
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.6);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.9);
    EXPECT_EQ(plugin.log, (std::vector<std::string>{"param 0", "param 1", "preset 1"}));
    ASSERT_EQ(editor->values.size(), 2u);
    EXPECT_DOUBLE_EQ(editor->values[1].value, 0.8); // 0.9 of 0.5..1, normalised

    EXPECT_FALSE(plugin.LoadPreset(-1));
    EXPECT_FALSE(plugin.LoadPreset(4));
    EXPECT_EQ(plugin.CurrentPreset(), 1);
    EXPECT_STREQ(plugin.PresetName(-1), "");
    EXPECT_STREQ(plugin.PresetName(4), "");

    // A stored state cut short fails and leaves the current program as it was.
    plugin.PresetAt(2)->initialised = true;
    plugin.PresetAt(2)->state.PutDouble(0.7);
    EXPECT_FALSE(plugin.LoadPreset(2));
    EXPECT_EQ(plugin.CurrentPreset(), 1);
}

TEST(IPluginBase, FillUnusedPresetsNamesFreeSlotsEmpty) {
    TestPlugin plugin;
    plugin.PresetAt(1)->initialised = true;
    std::strcpy(plugin.PresetAt(1)->name, "Factory");
    plugin.FillUnusedPresets(2);
    EXPECT_STREQ(plugin.PresetName(0), "Empty");
    EXPECT_STREQ(plugin.PresetName(1), "Factory");
    EXPECT_STREQ(plugin.PresetName(2), "Empty");
    EXPECT_STREQ(plugin.PresetName(3), "empty");
    EXPECT_EQ(plugin.PresetAt(2)->state.Size(), 16);
    EXPECT_EQ(plugin.PresetAt(1)->state.Size(), 0);
    plugin.FillUnusedPresets(10);
    EXPECT_STREQ(plugin.PresetName(3), "Empty");
}

TEST(IPluginBase, ModifyCurrentPresetStoresValuesAndRenamesOnlyWithAName) {
    TestPlugin plugin;
    plugin.FillUnusedPresets(4);
    plugin.SetValues(0.6, 0.7);
    plugin.ModifyCurrentPreset(nullptr);
    EXPECT_STREQ(plugin.PresetName(0), "Empty");
    plugin.ModifyCurrentPreset("");
    EXPECT_STREQ(plugin.PresetName(0), "Empty");
    plugin.ModifyCurrentPreset(std::string(300, 'n').c_str());
    EXPECT_EQ(std::strlen(plugin.PresetName(0)), 255u);
    double first = 0;
    plugin.PresetAt(0)->state.GetDouble(0, first);
    EXPECT_EQ(first, 0.6);
    EXPECT_EQ(plugin.PresetAt(0)->state.Size(), 16);
}

TEST(IPluginBase, ApplyBlockSizeSizesScratchWithinLimits) {
    TestPlugin plugin;
    plugin.ApplyBlockSize(64);
    EXPECT_EQ(plugin.ScratchFrames(), 64);
    InputChannel* input = plugin.InputChannelAt(0);
    input->Scratch()[5] = 1.5;
    plugin.ApplyBlockSize(64); // the same size keeps the contents
    EXPECT_EQ(input->Scratch()[5], 1.5);
    plugin.ApplyBlockSize(32);
    EXPECT_EQ(input->Scratch()[5], 0.0);
    // The announced size is kept; the scratch is capped, and an unknown size gets the default.
    const struct {
        int size;
        int frames;
    } cases[] = {{std::numeric_limits<int>::max(), kMaxScratchFrames},
                 {100000000, kMaxScratchFrames},
                 {kMaxScratchFrames + 1, kMaxScratchFrames},
                 {0, kDefaultScratchFrames},
                 {-4, kDefaultScratchFrames}};
    for (const auto& c : cases) {
        plugin.ApplyBlockSize(c.size);
        EXPECT_EQ(plugin.BlockSize(), c.size);
        EXPECT_EQ(plugin.ScratchFrames(), c.frames) << c.size;
        EXPECT_EQ(plugin.OutputChannelAt(1)->Scratch()[c.frames - 1], 0.0) << c.size;
    }
    TestPlugin fresh; // its first announcement is of no usable size
    fresh.ApplyBlockSize(0);
    EXPECT_EQ(fresh.ScratchFrames(), kDefaultScratchFrames);
}

TEST(IPluginBase, DisconnectedChannelsFollowTheirScratchWhenItMoves) {
    TestPlugin plugin;
    plugin.ApplyBlockSize(16);
    InputChannel* input = plugin.InputChannelAt(1);
    input->connected = false;
    input->Silence();
    plugin.ApplyBlockSize(100000);
    EXPECT_EQ(*input->dataSlot, input->Scratch());
}

TEST(IPluginBase, SetParameterFromEditorSetsAutomatesAndNotifies) {
    TestPlugin plugin;
    plugin.SetParameterFromEditor(1, 0.5);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.75);
    ASSERT_EQ(plugin.automated.size(), 1u);
    EXPECT_EQ(plugin.automated[0].index, 1);
    EXPECT_EQ(plugin.automated[0].normalized, 0.5);
    EXPECT_EQ(plugin.log, std::vector<std::string>{"param 1"});

    plugin.SetParameterFromEditor(2, 0.5);
    plugin.SetParameterFromEditor(-1, 0.5);
    plugin.SetParameterFromEditor(0, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(plugin.automated.size(), 1u);
    EXPECT_EQ(plugin.log.size(), 1u);
}

TEST(IPluginBase, AttachEditorShowsValuesAndOwnsTheEditor) {
    bool destroyed = false;
    {
        TestPlugin plugin;
        plugin.SetValues(0.75, 1.0);
        auto* editor = new FakeEditor(&plugin, &destroyed);
        plugin.AttachEditor(nullptr);
        EXPECT_EQ(plugin.Editor(), nullptr);
        plugin.AttachEditor(std::unique_ptr<IEditor>(editor));
        EXPECT_EQ(plugin.Editor(), editor);
        EXPECT_NE(editor->Surface(), nullptr);
        ASSERT_EQ(editor->values.size(), 2u);
        EXPECT_EQ(editor->values[0].value, 0.5);
        EXPECT_EQ(editor->values[1].value, 1.0);

        editor->values.clear();
        plugin.SetValues(0.625, 1.0);
        plugin.SendParametersToEditor();
        ASSERT_EQ(editor->values.size(), 2u);
        EXPECT_EQ(editor->values[0].value, 0.25);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

TEST(IPluginBase, SendParametersToHostAutomatesEveryParameter) {
    TestPlugin plugin;
    plugin.SetValues(0.5, 1.0);
    plugin.SendParametersToHost();
    ASSERT_EQ(plugin.automated.size(), 2u);
    EXPECT_EQ(plugin.automated[0].normalized, 0.0);
    EXPECT_EQ(plugin.automated[1].normalized, 1.0);
}

TEST(IPluginBase, MatchesStoredValuesInSinglePrecision) {
    TestPlugin plugin;
    plugin.SetValues(0.6, 0.7);
    const double same[] = {9.0, 0.6 + 1e-9, 0.7};
    const double different[] = {0.6, 0.7001};
    EXPECT_TRUE(plugin.MatchesStoredValues(same, 1));
    EXPECT_FALSE(plugin.MatchesStoredValues(different, 0));
}

TEST(IPluginBase, SampleRateMustBeFiniteAndPositive) {
    TestPlugin plugin;
    const double rejected[] = {0.0, -48000.0, std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity()};
    plugin.ApplySampleRate(48000.0);
    for (double rate : rejected) {
        plugin.ApplySampleRate(rate);
        EXPECT_EQ(plugin.SampleRate(), 48000.0) << rate;
    }
}

} // namespace
