#include "VstFixture.h"
#include "tests/core/FakeEditor.h"

namespace {

using Descriptor = VstFixture;

TEST_F(Descriptor, CarriesTheEffectsCountsIdsAndCallbacks) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->object, static_cast<void*>(binding));
    EXPECT_EQ(effect->numPrograms, 3);
    EXPECT_EQ(effect->numParams, kTestParameterCount);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 0x1030);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->uniqueID, 0x6B747374);
    EXPECT_EQ(effect->version, 10203);
    EXPECT_EQ(IPluginVST::VstVersion(0x00020002), 20002);
    EXPECT_EQ(plugin->BlockSize(), 1024);
    EXPECT_TRUE(plugin->InputChannelAt(1)->connected);
    EXPECT_TRUE(plugin->OutputChannelAt(1)->connected);
    // Constructing asks nothing of the host.
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Descriptor, MonoFlagAndArrangementsFollowTheChannelConfigurations) {
    const struct {
        const char* channelIO;
        bool mono;
        VstInt32 inputType, outputType;
    } cases[] = {
        {"2-2", false, kSpeakerArrStereo, kSpeakerArrStereo},
        {"1-1 2-2", true, kSpeakerArrStereo, kSpeakerArrStereo},
        {"1-1", true, kSpeakerArrMono, kSpeakerArrMono},
        {"0-2", false, kSpeakerArrEmpty, kSpeakerArrStereo},
        {"3-3", false, kSpeakerArrUserDefined, kSpeakerArrUserDefined},
    };
    for (const auto& c : cases) {
        TestEffectSetup setup;
        setup.channelIO = c.channelIO;
        Make(setup);
        EXPECT_EQ((effect->flags & effFlagsCanMono) != 0, c.mono) << c.channelIO;
        VstSpeakerArrangement* inputs = nullptr;
        VstSpeakerArrangement* outputs = nullptr;
        EXPECT_EQ(Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inputs), &outputs), 1);
        ASSERT_NE(inputs, nullptr);
        ASSERT_NE(outputs, nullptr);
        EXPECT_EQ(inputs->type, c.inputType) << c.channelIO;
        EXPECT_EQ(outputs->type, c.outputType) << c.channelIO;
        EXPECT_EQ(inputs->numChannels, effect->numInputs) << c.channelIO;
        EXPECT_EQ(outputs->speakers[0].type, 0);
    }
}

TEST_F(Descriptor, LatencyAndEditorReachTheDescriptor) {
    plugin->SetLatencySamples(64);
    EXPECT_EQ(effect->initialDelay, 64);
    EXPECT_EQ(plugin->Latency(), 64);

    plugin->AttachEditor(std::make_unique<FakeEditor>(plugin));
    EXPECT_EQ(effect->flags, 0x1031);
    ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 174);
    EXPECT_EQ(rect->right, 720);
}

TEST_F(Descriptor, EffectNamesItsFirstTwoPins) {
    TestEffectSetup setup;
    setup.channelIO = "3-1";
    Make(setup);
    EXPECT_STREQ(plugin->InputChannelAt(0)->Label(), "Kestrunelle Phaser ");
    EXPECT_STREQ(plugin->InputChannelAt(1)->Label(), "Kestrunelle Phaser ");
    EXPECT_STREQ(plugin->InputChannelAt(2)->Label(), "");
    EXPECT_STREQ(plugin->OutputChannelAt(0)->Label(), "Kestrunelle Phaser ");
    EXPECT_TRUE(plugin->IsReady());
}

} // namespace
