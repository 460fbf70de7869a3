// A second binding drives the phaser through the core's public operations and answers its host
// calls through IPluginHost alone; the effect needs nothing of the VST 2.4 binding.
#include "core/PluginFactory.h"
#include "effect/KSPhaser.h"
#include "formats/vst2/IPluginVST.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "tests/support/OpenInstance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kFrames = 512;

// The transport both hosts report: 98 beats per minute, playing from the first beat.
HostTimeInfo Transport() {
    HostTimeInfo time;
    time.tempo = 98.0;
    time.ppqPos = 0.0;
    time.playing = true;
    return time;
}

VstIntPtr VSTCALLBACK VstHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    static VstTimeInfo info = [] {
        VstTimeInfo time{};
        time.tempo = Transport().tempo;
        time.ppqPos = Transport().ppqPos;
        time.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;
        return time;
    }();
    return opcode == audioMasterGetTime ? reinterpret_cast<VstIntPtr>(&info) : 0;
}

// Records the calls it gets, as a log of names.
class FakeBinding : public IPluginHost {
public:
    void BeginParameterGesture(int index) override { Log("begin", index); }
    void EndParameterGesture(int index) override { Log("end", index); }
    void AutomateParameter(int index, double) override { Log("automate", index); }
    void RequestHostDisplayUpdate() override { Log("display", 0); }
    bool IsOfflineRendering() override { return false; }
    int SamplePosition() override { return 0; }
    double HostTempo() override { return Transport().tempo; }
    void HostTimeSignature(int& beatsPerBar, int& beatUnit) override { beatsPerBar = beatUnit = 4; }
    void HostTime(HostTimeInfo& info) override {
        info = Transport();
        ++timeQueries;
    }
    int HostCode() override { return 0; }
    int32_t HostVersion() override { return 0; }
    void UpdateEditorRect() override { Log("rect", 0); }
    void SetLatencySamples(int samples) override { Log("latency", samples); }
    bool SendMidiToHost(const MidiMessage&) override { return false; }
    bool SendSysExToHost(const SysExMessage&) override { return false; }

    std::vector<std::string> log;
    int timeQueries = 0;

private:
    void Log(const char* what, int index) { log.push_back(std::string(what) + " " + std::to_string(index)); }
};

// The phaser as the fake binding sets it up: every channel connected, 44.1 kHz, resumed.
std::unique_ptr<IPluginBase> OpenWith(FakeBinding& binding) {
    std::unique_ptr<IPluginBase> plugin = CreatePlugin();
    plugin->SetHost(&binding);
    LockGuard guard(plugin->Lock());
    plugin->ConnectAllChannels();
    plugin->ApplyBlockSize(kFrames);
    plugin->ApplySampleRate(44100.0);
    plugin->OnReset();
    plugin->NotifyAllParameters();
    plugin->OnActiveChange(true);
    return plugin;
}

TEST(FakeBinding, DrivesThePhaserToTheSamplesOfTheVst2Binding) {
    AEffect* effect = OpenInstance(VstHost, 44100.0f, kFrames);
    FakeBinding binding;
    std::unique_ptr<IPluginBase> plugin = OpenWith(binding);

    // Program 9, then changes between blocks: 8 stages, sync to the host at 1/8, feedback.
    const struct {
        int block;
        int index;
        float value;
    } changes[] = {{0, Stages, 1.0f}, {2, SyncToHost, 1.0f}, {2, LFOSpeed, 0.6f}, {5, Feedback, 0.1f}};
    effect->dispatcher(effect, effSetProgram, 0, 9, nullptr, 0.0f);
    {
        LockGuard guard(plugin->Lock());
        plugin->LoadPreset(9);
    }
    std::vector<float> left(kFrames), right(kFrames), vstLeft(kFrames), vstRight(kFrames);
    std::vector<float> ownLeft(kFrames), ownRight(kFrames);
    for (int block = 0; block < 8; ++block) {
        for (const auto& change : changes) {
            if (change.block == block) {
                effect->setParameter(effect, change.index, change.value);
                LockGuard guard(plugin->Lock());
                plugin->SetParameterFromHost(change.index, change.value);
            }
        }
        for (int i = 0; i < kFrames; ++i) {
            left[i] = static_cast<float>(std::sin(0.01 * (block * kFrames + i)));
            right[i] = static_cast<float>(std::sin(0.023 * (block * kFrames + i)));
        }
        float* in[2] = {left.data(), right.data()};
        float* vst[2] = {vstLeft.data(), vstRight.data()};
        float* own[2] = {ownLeft.data(), ownRight.data()};
        effect->processReplacing(effect, in, vst, kFrames);
        {
            LockGuard guard(plugin->Lock());
            plugin->ProcessHostBlock(in, own, kFrames, false);
        }
        ASSERT_EQ(vstLeft, ownLeft) << block;
        ASSERT_EQ(vstRight, ownRight) << block;
    }
    EXPECT_EQ(binding.timeQueries, 6); // the synchronised blocks asked the fake binding
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(FakeBinding, TheCoreAndTheEditorReachTheHostOnlyThroughIt) {
    FakeBinding binding;
    std::unique_ptr<IPluginBase> plugin = OpenWith(binding);
    auto* editor = static_cast<IGraphicsHeadless*>(plugin->Editor());
    ASSERT_NE(editor, nullptr);

    // A drag of the Manual knob, a program chosen from the menu, a new latency.
    const IMouseState left{true, false, false, false, false};
    editor->DispatchMouseDown(110, 110, left);
    editor->DispatchMouseDrag(110, 100, left);
    editor->DispatchMouseUp(110, 100, left);
    editor->script.menuChoices = {2};
    editor->DispatchMouseDown(15, 20, left);
    editor->DispatchMouseUp(15, 20, left);
    plugin->SetLatencySamples(32);

    std::vector<std::string> expected = {"begin 1", "automate 1", "end 1", "display 0"};
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        expected.push_back("automate " + std::to_string(i));
    }
    expected.push_back("latency 32");
    EXPECT_EQ(binding.log, expected);
    EXPECT_EQ(plugin->CurrentPreset(), 2);
}

// The input both instances hear: two different tones.
void FillBlock(std::vector<double>& left, std::vector<double>& right, int block) {
    for (size_t i = 0; i < left.size(); ++i) {
        const double t = static_cast<double>(block * static_cast<int>(left.size()) + static_cast<int>(i));
        left[i] = std::sin(0.01 * t);
        right[i] = 0.5 * std::sin(0.023 * t);
    }
}

TEST(FakeBinding, ChangesAtOffsetsActAsBetweenBlocksSplitThere) {
    FakeBinding hostA, hostB;
    std::unique_ptr<IPluginBase> pieces = OpenWith(hostA);
    std::unique_ptr<IPluginBase> blocks = OpenWith(hostB);
    const ParameterChange changes[] = {
        {0, Stages, 1.0}, {100, Manual, 0.7}, {300, Feedback, 0.2}, {300, Mix, 1.0}, {kFrames, Spread, 0.5}};
    std::vector<double> left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames);
    FillBlock(left, right, 0);
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {outLeft.data(), outRight.data()};
    LockGuard guard(pieces->Lock());
    pieces->ProcessHostBlock(in, out, kFrames, changes, 5);

    std::vector<double> expectLeft(kFrames), expectRight(kFrames);
    int start = 0;
    for (int end : {100, 300, kFrames}) {
        for (const ParameterChange& change : changes) {
            if (change.offset == start) {
                blocks->SetParameterFromHost(change.index, change.value);
            }
        }
        double* inAt[2] = {left.data() + start, right.data() + start};
        double* outAt[2] = {expectLeft.data() + start, expectRight.data() + start};
        blocks->ProcessHostBlock(inAt, outAt, end - start);
        start = end;
    }
    EXPECT_EQ(outLeft, expectLeft);
    EXPECT_EQ(outRight, expectRight);
    EXPECT_EQ(pieces->ParameterAt(Spread)->Value(), 0.5); // after the block
}

// In place, as hosts may hand the buffers: the dry input is kept before the effect overwrites it.
TEST(FakeBinding, BypassFadesToTheDryInputAndBackWhileTheEffectRunsOn) {
    FakeBinding hostA, hostB;
    std::unique_ptr<IPluginBase> bypassed = OpenWith(hostA);
    std::unique_ptr<IPluginBase> reference = OpenWith(hostB);
    std::vector<double> left(kFrames), right(kFrames), dry(kFrames), refLeft(kFrames), refRight(kFrames);
    const int fadeFrames = 441; // 10 ms at 44.1 kHz
    for (int block = 0; block < 6; ++block) {
        FillBlock(left, right, block);
        FillBlock(refLeft, refRight, block);
        dry = left;
        double* io[2] = {left.data(), right.data()};
        double* ref[2] = {refLeft.data(), refRight.data()};
        LockGuard guard(bypassed->Lock());
        if (block == 1 || block == 3) {
            bypassed->SetBypass(block == 1, true);
        }
        bypassed->ProcessHostBlock(io, io, kFrames);
        reference->ProcessHostBlock(ref, ref, kFrames);
        if (block == 1) {
            for (int i = 1; i < fadeFrames; ++i) {
                ASSERT_LT(std::fabs(left[i] - left[i - 1]), 0.05) << i; // no click
            }
            for (int i = fadeFrames; i < kFrames; ++i) {
                ASSERT_EQ(left[i], dry[i]) << i;
            }
        } else if (block == 2) {
            EXPECT_EQ(left, dry);
        } else if (block >= 4) {
            EXPECT_EQ(left, refLeft); // the effect ran on, unchanged, beneath
            EXPECT_EQ(right, refRight);
        }
    }
}

} // namespace
