#include "effect/KSPhaser.h"
#include "core/IByteBuffer.h"
#include "core/PluginFactory.h"
#include "effect/PhaserState.h"
#include "formats/vst2/IPluginVST.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A host that answers time queries from a record the test fills.
struct FakeHost {
    static VstTimeInfo time;
    static bool answersTime;
    static int timeQueries;

    static VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        if (opcode == audioMasterGetTime) {
            ++timeQueries;
            return answersTime ? reinterpret_cast<VstIntPtr>(&time) : 0;
        }
        return 0;
    }
    static void Reset() {
        time = VstTimeInfo{};
        answersTime = false;
        timeQueries = 0;
    }
};
VstTimeInfo FakeHost::time{};
bool FakeHost::answersTime = false;
int FakeHost::timeQueries = 0;

std::string Display(KSPhaser& plugin, int index) {
    char text[kParameterTextCapacity] = {};
    const IParameter* parameter = plugin.ParameterAt(index);
    parameter->FormatDisplay(parameter->Value(), false, text, true);
    return text;
}

IByteBuffer& Append(IByteBuffer& buffer, const char* header, std::initializer_list<double> values) {
    if (header != nullptr) {
        buffer.PutBytes(header, static_cast<int32_t>(std::strlen(header)));
    }
    for (double v : values) {
        buffer.PutDouble(v);
    }
    return buffer;
}

class KSPhaserTest : public ::testing::Test {
protected:
    void SetUp() override { FakeHost::Reset(); }
    // The phaser in the VST 2.4 binding, which answers its time queries from FakeHost.
    IPluginVST binding{FakeHost::Callback, std::make_unique<KSPhaser>()};
    KSPhaser& plugin = static_cast<KSPhaser&>(*binding.Plugin());
};

TEST_F(KSPhaserTest, IdentityOfThePlugIn) {
    EXPECT_STREQ(plugin.EffectName(), "Kestrunelle Phaser");
    EXPECT_STREQ(plugin.ProductName(), "");
    EXPECT_STREQ(plugin.MakerName(), "Kestrunelle Dadid");
    EXPECT_EQ(plugin.Version(), 0x00020002);
    EXPECT_EQ(plugin.UniqueId(), 0x6B737068); // "ksph"
    EXPECT_EQ(plugin.MakerId(), 0x4B737472);  // "Kstr"
    EXPECT_EQ(plugin.Latency(), 0);
    EXPECT_TRUE(plugin.AcceptsMidi());
    EXPECT_FALSE(plugin.IsInstrument());
    EXPECT_EQ(plugin.InputCount(), 2);
    EXPECT_EQ(plugin.OutputCount(), 2);
    EXPECT_STREQ(plugin.InputChannelAt(1)->Label(), "Kestrunelle Phaser ");
    EXPECT_EQ(plugin.ParameterCount(), 10);
    EXPECT_EQ(plugin.PresetCount(), 10);
}

TEST_F(KSPhaserTest, ParametersAndTheirDefaults) {
    const struct {
        const char* name;
        ParameterType type;
        double defaultValue, min, max, step, shape;
        const char* text;
    } expected[] = {
        {"Stages", kParameterBoolean, 0, 0, 1, 1, 1, "4"},
        {"Manual", kParameterContinuous, 0.0625, 0, 1, 0.001, 2, "1000Hz"},
        {"Spread", kParameterContinuous, 0, 0, 1, 0.01, 1, "0%"},
        {"Feedback", kParameterContinuous, 0, -1, 1, 0.01, 1, "0%"},
        {"LFOSpeed", kParameterContinuous, 0.077, 0, 1, 0.01, 1, "0.15Hz"},
        {"LFODepth", kParameterContinuous, 0.5, 0, 1, 0.01, 1, "50%"},
        {"Mix", kParameterContinuous, 0.5, 0, 1, 0.01, 1, "50:50"},
        {"Sync to Host", kParameterBoolean, 0, 0, 1, 1, 1, "OFF"},
        {"Stereo", kParameterContinuous, 0.5, 0, 1, 0.01, 1, "0%"},
        {"Waveform", kParameterEnumerated, 1, 0, 1, 1, 1, "Triangle"},
    };
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        const IParameter& p = *plugin.ParameterAt(i);
        EXPECT_STREQ(p.Name(), expected[i].name);
        EXPECT_STREQ(p.Label(), "");
        EXPECT_EQ(p.Type(), expected[i].type) << i;
        EXPECT_EQ(p.Value(), expected[i].defaultValue) << i;
        EXPECT_EQ(p.Min(), expected[i].min) << i;
        EXPECT_EQ(p.Max(), expected[i].max) << i;
        EXPECT_EQ(p.Step(), expected[i].step) << i;
        EXPECT_EQ(p.Shape(), expected[i].shape) << i;
        EXPECT_EQ(Display(plugin, i), expected[i].text) << i;
    }
}

TEST_F(KSPhaserTest, SyncToHostSwapsTheLFOSpeedText) {
    plugin.ParameterAt(LFOSpeed)->SetFromPlain(0.5);
    plugin.OnParameterChange(LFOSpeed);
    EXPECT_EQ(Display(plugin, LFOSpeed), "6.25Hz");
    plugin.ParameterAt(SyncToHost)->SetFromPlain(1.0);
    plugin.OnParameterChange(SyncToHost);
    EXPECT_EQ(Display(plugin, LFOSpeed), "1/2.");
    EXPECT_EQ(plugin.Processor().LFO().noteIndex, 10);
    plugin.ParameterAt(LFOSpeed)->SetFromPlain(1.0);
    plugin.OnParameterChange(LFOSpeed);
    EXPECT_EQ(Display(plugin, LFOSpeed), "1/16");
    plugin.ParameterAt(SyncToHost)->SetFromPlain(0.0);
    plugin.OnParameterChange(SyncToHost);
    EXPECT_EQ(Display(plugin, LFOSpeed), "25.00Hz");
}

TEST_F(KSPhaserTest, FreshPlugInDiffersFromProgramZeroUntilLoaded) {
    EXPECT_EQ(plugin.ParameterAt(Feedback)->Value(), 0.0);
    ASSERT_TRUE(plugin.LoadPreset(0));
    EXPECT_EQ(plugin.ParameterAt(Feedback)->Value(), 0.5);
    EXPECT_EQ(plugin.Processor().FeedbackGain(), 0.5 * 0.99);
}

TEST_F(KSPhaserTest, FactoryProgramBytes) {
    const char* names[] = {"default",  "Orbitesque", "Uni-Vibe", "8-Stager",   "8-Viber",
                           "Wash out", "Comfort",    "Vibrato",  "Feedbacker", "Aliens"};
    for (int i = 0; i < 10; ++i) {
        const IPresetSlot& slot = *plugin.PresetAt(i);
        EXPECT_TRUE(slot.initialised);
        EXPECT_STREQ(slot.name, names[i]);
        ASSERT_EQ(slot.state.Size(), 24 + 80) << i;
        EXPECT_EQ(std::memcmp(slot.state.Data(), "Kestrunelle Phaser_2.0.1", 24), 0);
    }
    IByteBuffer expected;
    Append(expected, kPhaserStateHeader,
           {0, 0.48, 1, 0.26, 0.35213633723318016, 0.9, 0.5, 0, 0, 0}); // "Wash out"
    EXPECT_EQ(std::memcmp(plugin.PresetAt(5)->state.Data(), expected.Data(), 104), 0);

    ASSERT_TRUE(plugin.LoadPreset(5));
    EXPECT_EQ(plugin.ParameterAt(LFOSpeed)->Value(), 0.35213633723318016);
    EXPECT_EQ(Display(plugin, LFOSpeed), "3.10Hz");
    EXPECT_EQ(Display(plugin, Stereo), ">100%<");
    EXPECT_EQ(Display(plugin, Waveform), "Sine");
}

TEST_F(KSPhaserTest, SaveThenLoadRestoresEveryValue) {
    const double values[] = {1, 0.3, 0.45, -0.72, 0.61, 0.2, 0.83, 1, 0.9, 0};
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        plugin.ParameterAt(i)->SetFromPlain(values[i]);
    }
    IByteBuffer buffer;
    buffer.PutInt32(77); // something in front, as a chunk header would be
    ASSERT_TRUE(plugin.SaveState(buffer));
    ASSERT_EQ(buffer.Size(), 4 + 24 + 80);

    KSPhaser other;
    EXPECT_EQ(other.LoadState(buffer, 4), 4 + 24 + 80);
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        EXPECT_EQ(other.ParameterAt(i)->Value(), values[i]) << i;
    }
    // The processing follows the loaded values.
    EXPECT_EQ(other.Processor().StageCount(), 8);
    EXPECT_EQ(other.Processor().FeedbackGain(), -0.72 * 0.99);
    EXPECT_TRUE(other.Processor().SyncEnabled());
    EXPECT_EQ(other.Processor().LFO().crossfadeAmount, 2.0 * 0.9 - 1.0);
}

TEST_F(KSPhaserTest, OlderStatesFillWhatTheyLack) {
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        plugin.ParameterAt(i)->SetFromPlain(1.0);
    }
    IByteBuffer v200;
    Append(v200, kPhaserStateHeader200, {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 1, 0.75});
    EXPECT_EQ(plugin.LoadState(v200, 0), 24 + 72);
    EXPECT_EQ(plugin.ParameterAt(SyncToHost)->Value(), 1.0);
    EXPECT_EQ(plugin.ParameterAt(Stereo)->Value(), 0.75);
    EXPECT_EQ(plugin.ParameterAt(Waveform)->Value(), 0.0); // sine

    for (int i = 0; i < kPhaserParameterCount; ++i) {
        plugin.ParameterAt(i)->SetFromPlain(1.0);
    }
    IByteBuffer bare;
    Append(bare, nullptr, {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6});
    EXPECT_EQ(plugin.LoadState(bare, 0), 56);
    EXPECT_EQ(plugin.ParameterAt(Mix)->Value(), 0.6);
    EXPECT_EQ(plugin.ParameterAt(SyncToHost)->Value(), 0.0);
    EXPECT_EQ(plugin.ParameterAt(Stereo)->Value(), 0.0);
    EXPECT_EQ(plugin.ParameterAt(Waveform)->Value(), 0.0);
    EXPECT_EQ(plugin.Processor().LFO().stereoPhaseOffset, 3.141592653589793); // 180° apart
}

TEST_F(KSPhaserTest, LoadedValuesAreClampedAndNonFiniteOnesCountAsMissing) {
    const double inf = std::numeric_limits<double>::infinity();
    IByteBuffer buffer;
    Append(buffer, kPhaserStateHeader,
           {0, -0.5, std::numeric_limits<double>::quiet_NaN(), 2.0, 0.3, -inf, inf, 0, 0.5, 1});
    EXPECT_EQ(plugin.LoadState(buffer, 0), 104);
    EXPECT_EQ(plugin.ParameterAt(Manual)->Value(), 0.0);
    EXPECT_EQ(plugin.ParameterAt(Spread)->Value(), 0.0);
    EXPECT_EQ(plugin.ParameterAt(Feedback)->Value(), 1.0);
    EXPECT_EQ(plugin.ParameterAt(LFODepth)->Value(), 0.0);
    EXPECT_EQ(plugin.ParameterAt(Mix)->Value(), 0.0); // not Wet: an infinite value is no value
}

TEST_F(KSPhaserTest, ShortStateFailsAfterTheValuesItHolds) {
    IByteBuffer buffer;
    Append(buffer, kPhaserStateHeader, {1, 0.2, 0.3});
    EXPECT_EQ(plugin.LoadState(buffer, 0), -1);
    EXPECT_EQ(plugin.ParameterAt(Stages)->Value(), 1.0);
    EXPECT_EQ(plugin.ParameterAt(Spread)->Value(), 0.3);
    EXPECT_EQ(plugin.ParameterAt(Feedback)->Value(), 0.0);   // the failing value: missing
    EXPECT_EQ(plugin.ParameterAt(LFOSpeed)->Value(), 0.077); // later ones are untouched
    EXPECT_EQ(plugin.ParameterAt(Mix)->Value(), 0.5);
}

TEST_F(KSPhaserTest, EmptyBlockInSyncModeStillRunsTheTempoStep) {
    plugin.ParameterAt(SyncToHost)->SetFromPlain(1.0);
    plugin.ParameterAt(LFOSpeed)->SetFromPlain(14.0 / 19.0);
    plugin.NotifyAllParameters();
    FakeHost::answersTime = true;
    FakeHost::time.tempo = 60.0;
    FakeHost::time.ppqPos = 3.0;
    FakeHost::time.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;
    plugin.ProcessBlock(nullptr, nullptr, 0);
    EXPECT_EQ(FakeHost::timeQueries, 1);
    EXPECT_TRUE(plugin.Processor().WasPlaying());
    EXPECT_EQ(plugin.Processor().LFO().phase, -6.283185307179586);
    EXPECT_NEAR(plugin.Processor().LFO().phaseIncrement * (44100.0 / 44.0), 6.283185307179586, 1e-12); // 1 Hz

    // A host that answers nothing leaves 120 beats per minute.
    FakeHost::answersTime = false;
    plugin.ProcessBlock(nullptr, nullptr, 0);
    EXPECT_NEAR(plugin.Processor().LFO().phaseIncrement * (44100.0 / 44.0), 2.0 * 6.283185307179586, 1e-12);

    // Free-running, the host is not asked.
    plugin.ParameterAt(SyncToHost)->SetFromPlain(0.0);
    plugin.OnParameterChange(SyncToHost);
    plugin.ProcessBlock(nullptr, nullptr, 0);
    EXPECT_EQ(FakeHost::timeQueries, 2);
}

// The plug-in as a host drives it: through its descriptor.
class HostedPhaser {
public:
    HostedPhaser() : effect(IPluginVST::Create(FakeHost::Callback, CreatePlugin())->Descriptor()) {
        Dispatch(effOpen, 0, 0, 0.0f);
        Dispatch(effSetSampleRate, 0, 0, 44100.0f);
        Dispatch(effSetBlockSize, 0, 512, 0.0f);
        Dispatch(effMainsChanged, 0, 1, 0.0f);
    }
    ~HostedPhaser() { Dispatch(effClose, 0, 0, 0.0f); }
    HostedPhaser(const HostedPhaser&) = delete;
    HostedPhaser& operator=(const HostedPhaser&) = delete;
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
        return effect->dispatcher(effect, opcode, index, value, nullptr, opt);
    }
    AEffect* effect;
};

TEST(KSPhaserHosted, SingleDoubleAndAccumulatingPathsAgree) {
    FakeHost::Reset();
    const int frames = 512; // even: each instance starts with the same sign of the shared offset
    std::vector<float> inLeft(frames), inRight(frames);
    for (int i = 0; i < frames; ++i) {
        inLeft[i] = static_cast<float>(std::sin(i * 0.05));
        inRight[i] = static_cast<float>(std::cos(i * 0.031)) * 0.5f;
    }
    std::vector<double> inLeftD(inLeft.begin(), inLeft.end()), inRightD(inRight.begin(), inRight.end());
    std::vector<double> outLeftD(frames), outRightD(frames);
    std::vector<float> outLeft(frames), outRight(frames), accLeft(frames, 0.25f), accRight(frames, -0.5f);

    HostedPhaser doubles, replacing, accumulating;
    for (HostedPhaser* hosted : {&doubles, &replacing, &accumulating}) {
        hosted->effect->setParameter(hosted->effect, Feedback, 0.8f);
        hosted->effect->setParameter(hosted->effect, Stages, 1.0f);
    }
    for (int block = 0; block < 4; ++block) {
        double* dIn[2] = {inLeftD.data(), inRightD.data()};
        double* dOut[2] = {outLeftD.data(), outRightD.data()};
        doubles.effect->processDoubleReplacing(doubles.effect, dIn, dOut, frames);
        float* fIn[2] = {inLeft.data(), inRight.data()};
        float* fOut[2] = {outLeft.data(), outRight.data()};
        replacing.effect->processReplacing(replacing.effect, fIn, fOut, frames);
        std::vector<float> before[2] = {accLeft, accRight};
        float* fAcc[2] = {accLeft.data(), accRight.data()};
        accumulating.effect->process(accumulating.effect, fIn, fAcc, frames);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(outLeft[i], static_cast<float>(outLeftD[i])) << block << " " << i;
            ASSERT_EQ(outRight[i], static_cast<float>(outRightD[i])) << block << " " << i;
            ASSERT_EQ(accLeft[i], before[0][i] + static_cast<float>(outLeftD[i])) << block << " " << i;
            ASSERT_EQ(accRight[i], before[1][i] + static_cast<float>(outRightD[i])) << block << " " << i;
        }
    }
}

// A host may process without opening or resuming the plug-in first (here with only a block
// size, or nothing, before). The processing follows the parameters all the same: at -100 %
// feedback the output stays within about 100 times the input instead of running away to NaN.
TEST(KSPhaserHosted, ProcessingWithoutOpenOrResumeStaysBounded) {
    FakeHost::Reset();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<float> in(512), out(1024);
    for (VstIntPtr blockSize : {0, 256}) {
        AEffect* effect = IPluginVST::Create(FakeHost::Callback, CreatePlugin())->Descriptor();
        if (blockSize > 0) {
            effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
        }
        effect->setParameter(effect, Feedback, 0.0f);
        float peak = 0.0f;
        for (int block = 0; block < 200; ++block) {
            std::generate(in.begin(), in.end(), [&] { return sample(random); });
            float* inputs[2] = {in.data(), in.data()};
            float* outputs[2] = {out.data(), out.data() + 512};
            effect->processReplacing(effect, inputs, outputs, 512);
            for (float v : out) {
                ASSERT_LE(std::fabs(v), 100.0f) << blockSize << " " << block; // NaN fails too
                peak = std::max(peak, std::fabs(v));
            }
        }
        EXPECT_GT(peak, 10.0f) << blockSize; // the feedback is at work
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
}

} // namespace
