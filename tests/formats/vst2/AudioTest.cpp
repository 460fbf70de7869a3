#include "VstFixture.h"
#include "tests/core/FakeEditor.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Audio = VstFixture;
using Frames = std::vector<int>;

// Host buffers of two channels, the input a ramp per channel.
template <typename T>
struct Buffers {
    explicit Buffers(int frames, T fill = T(0))
        : in0(static_cast<size_t>(frames)), in1(static_cast<size_t>(frames)),
          out0(static_cast<size_t>(frames), fill), out1(static_cast<size_t>(frames), fill) {
        for (int i = 0; i < frames; ++i) {
            in0[static_cast<size_t>(i)] = static_cast<T>(i + 1);
            in1[static_cast<size_t>(i)] = static_cast<T>(-(i + 1));
        }
    }
    std::vector<T> in0, in1, out0, out1;
    T* inputs[2] = {in0.data(), in1.data()};
    T* outputs[2] = {out0.data(), out1.data()};
};

TEST_F(Audio, ReplacingPathsApplyTheEffect) {
    Buffers<float> single(16, 9.0f);
    effect->processReplacing(effect, single.inputs, single.outputs, 16);
    EXPECT_EQ(single.out0[15], 8.0f);
    EXPECT_EQ(single.out1[0], -0.5f);

    Buffers<double> wide(16, 9.0);
    effect->processDoubleReplacing(effect, wide.inputs, wide.outputs, 16);
    EXPECT_EQ(wide.out0[15], 8.0);
    EXPECT_EQ(wide.out1[0], -0.5);
    EXPECT_EQ(plugin->blockFrames, (Frames{16, 16}));
}

TEST_F(Audio, AccumulatingPathAddsToTheHostsOutput) {
    Buffers<float> buffers(4, 0.25f);
    buffers.in0.assign(4, 1.0f);
    effect->process(effect, buffers.inputs, buffers.outputs, 4);
    EXPECT_EQ(buffers.out0[3], 0.75f);
}

TEST_F(Audio, InPlaceSingleBuffersWork) {
    Buffers<float> buffers(8);
    float* same[2] = {buffers.in0.data(), buffers.in1.data()};
    effect->processReplacing(effect, same, same, 8);
    EXPECT_EQ(buffers.in0[7], 4.0f);
}

TEST_F(Audio, LongerBlocksThanAnnouncedArriveInPieces) {
    Dispatch(effSetBlockSize, 0, 64);
    const struct {
        int frames;
        Frames pieces;
    } cases[] = {{200, {64, 64, 64, 8}}, {64, {64}}, {10, {10}}, {0, {0}}};
    for (const auto& c : cases) {
        plugin->blockFrames.clear();
        Buffers<float> single(c.frames);
        effect->processReplacing(effect, single.inputs, single.outputs, c.frames);
        EXPECT_EQ(plugin->blockFrames, c.pieces) << c.frames;
        for (int i = 0; i < c.frames; ++i) {
            ASSERT_EQ(single.out0[static_cast<size_t>(i)], 0.5f * static_cast<float>(i + 1)) << i;
            ASSERT_EQ(single.out1[static_cast<size_t>(i)], -0.5f * static_cast<float>(i + 1)) << i;
        }
        plugin->blockFrames.clear();
        Buffers<float> added(c.frames, 1.0f);
        effect->process(effect, added.inputs, added.outputs, c.frames);
        EXPECT_EQ(plugin->blockFrames, c.pieces) << c.frames;
        if (c.frames > 0) {
            EXPECT_EQ(added.out0.back(), 1.0f + 0.5f * static_cast<float>(c.frames));
        }
    }
    // All channels connected: the double path hands the host's buffers over whole.
    plugin->blockFrames.clear();
    Buffers<double> wide(200);
    effect->processDoubleReplacing(effect, wide.inputs, wide.outputs, 200);
    EXPECT_EQ(plugin->blockFrames, Frames{200});
}

TEST_F(Audio, DisconnectedInputHearsSilenceOnEveryPath) {
    Dispatch(effSetBlockSize, 0, 32);
    Buffers<float> warm(32);
    effect->processReplacing(effect, warm.inputs, warm.outputs, 32); // leaves samples in the scratch

    VstSpeakerArrangement inputs = {};
    inputs.numChannels = 1;
    Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inputs), nullptr);
    Dispatch(effSetBlockSize, 0, 48); // the scratch moves; the disconnected input follows it

    Buffers<float> single(100, 7.0f);
    float* onlyFirst[1] = {single.in0.data()};
    plugin->blockFrames.clear();
    effect->processReplacing(effect, onlyFirst, single.outputs, 100);
    EXPECT_EQ(plugin->blockFrames, (Frames{48, 48, 4}));
    EXPECT_EQ(single.out0[99], 50.0f);
    for (float v : single.out1) {
        ASSERT_EQ(v, 0.0f);
    }

    Buffers<double> wide(100, 7.0);
    double* onlyFirstWide[1] = {wide.in0.data()};
    plugin->blockFrames.clear();
    effect->processDoubleReplacing(effect, onlyFirstWide, wide.outputs, 100);
    EXPECT_EQ(plugin->blockFrames, (Frames{48, 48, 4}));
    EXPECT_EQ(wide.out0[99], 50.0);
    for (double v : wide.out1) {
        ASSERT_EQ(v, 0.0);
    }
}

// A size below 1 (hosts with variable blocks announce 0) used to silence the single-precision
// paths; a huge one allocated gigabytes. Every frame is processed, in pieces of the scratch.
TEST_F(Audio, UnknownAndHugeBlockSizesStillProcessEveryFrame) {
    const struct {
        intptr_t size;
        Frames pieces;
    } cases[] = {{0, Frames(3, 1024)}, {-3, Frames(3, 1024)}, {100000000, {3072}}, {INT32_MAX, {3072}}};
    const int frames = 3072;
    for (const auto& c : cases) {
        Dispatch(effSetBlockSize, 0, c.size);
        plugin->blockFrames.clear();
        Buffers<float> single(frames, 3.0f);
        effect->processReplacing(effect, single.inputs, single.outputs, frames);
        EXPECT_EQ(plugin->blockFrames, c.pieces) << c.size;
        EXPECT_EQ(single.out0.back(), 0.5f * frames) << c.size;
        Buffers<float> added(frames, 3.0f);
        effect->process(effect, added.inputs, added.outputs, frames);
        EXPECT_EQ(added.out1.back(), 3.0f - 0.5f * frames) << c.size;
    }
    Buffers<float> longer(70000);
    plugin->blockFrames.clear();
    effect->processReplacing(effect, longer.inputs, longer.outputs, 70000);
    EXPECT_EQ(plugin->blockFrames, (Frames{65536, 4464}));
    effect->processReplacing(effect, longer.inputs, longer.outputs, -5);
    EXPECT_EQ(plugin->blockFrames, (Frames{65536, 4464, 0}));
}

TEST_F(Audio, EveryBlockAsksForMidiWhenTheEffectTakesIt) {
    Buffers<float> buffers(4);
    effect->processReplacing(effect, buffers.inputs, buffers.outputs, 4);
    effect->process(effect, buffers.inputs, buffers.outputs, 4);
    Buffers<double> wide(4);
    effect->processDoubleReplacing(effect, wide.inputs, wide.outputs, 4);
    EXPECT_EQ(host.Count(audioMasterWantMidi), 3);

    TestEffectSetup setup;
    setup.acceptsMidi = false;
    Make(setup);
    effect->processReplacing(effect, buffers.inputs, buffers.outputs, 4);
    EXPECT_EQ(host.Count(audioMasterWantMidi), 0);
}

TEST_F(Audio, SetParameterClampsIgnoresNaNAndNeverAutomates) {
    auto* editor = new FakeEditor(plugin);
    plugin->AttachEditor(std::unique_ptr<IEditor>(editor));
    editor->values.clear();
    plugin->log.clear();
    const struct {
        float value;
        float expected;
    } cases[] = {{0.25f, 0.25f},
                 {1.5f, 1.0f},
                 {-2.0f, 0.0f},
                 {std::numeric_limits<float>::infinity(), 1.0f},
                 {std::numeric_limits<float>::quiet_NaN(), 1.0f}};
    for (const auto& c : cases) {
        effect->setParameter(effect, kGain, c.value);
        EXPECT_EQ(effect->getParameter(effect, kGain), c.expected) << c.value;
    }
    EXPECT_EQ(editor->values.size(), 4u); // NaN reaches nobody
    EXPECT_EQ(editor->values[1].value, 1.0);
    EXPECT_EQ(plugin->log.size(), 4u);

    effect->setParameter(effect, kFrequency, 0.5f);
    EXPECT_EQ(plugin->ParameterAt(kFrequency)->Value(), 0.25); // shape 2
    effect->setParameter(effect, -1, 0.5f);
    effect->setParameter(effect, kTestParameterCount, 0.5f);
    EXPECT_EQ(effect->getParameter(effect, -1), 0.0f);
    EXPECT_EQ(effect->getParameter(effect, kTestParameterCount), 0.0f);
    EXPECT_EQ(host.Count(audioMasterAutomate), 0);

    plugin->SetParameterFromEditor(kGain, 0.75);
    ASSERT_EQ(host.Count(audioMasterAutomate), 1);
    EXPECT_EQ(host.calls.back().index, kGain);
    EXPECT_EQ(host.calls.back().opt, 0.75f);
}

TEST_F(Audio, GesturesAndSimpleHostQueries) {
    plugin->BeginParameterGesture(2);
    plugin->EndParameterGesture(2);
    plugin->RequestHostDisplayUpdate();
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(host.calls[0].index, 2);
    EXPECT_EQ(host.calls[1].opcode, audioMasterEndEdit);
    EXPECT_EQ(host.calls[2].opcode, audioMasterUpdateDisplay);
    EXPECT_FALSE(plugin->IsOfflineRendering());
    host.processLevel = kVstProcessLevelOffline;
    EXPECT_TRUE(plugin->IsOfflineRendering());
}

TEST_F(Audio, SamplePositionTempoAndSignature) {
    const struct {
        double samplePos;
        int expected;
    } positions[] = {{99.5, 100},
                     {99.4, 99},
                     {-3.0, 0},
                     {1e12, std::numeric_limits<int>::max()},
                     {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : positions) {
        host.time.samplePos = c.samplePos;
        EXPECT_EQ(plugin->SamplePosition(), c.expected) << c.samplePos;
    }

    host.time.flags = kVstTempoValid | kVstTimeSigValid;
    host.time.tempo = 0.0;
    host.time.timeSigNumerator = 0;
    host.time.timeSigDenominator = 8;
    EXPECT_EQ(plugin->HostTempo(), 0.0);
    host.time.tempo = 98.5;
    EXPECT_EQ(plugin->HostTempo(), 98.5);
    int beats = -1, unit = -1;
    plugin->HostTimeSignature(beats, unit);
    EXPECT_EQ(beats, 0);
    EXPECT_EQ(unit, 8);
    host.time.flags = 0;
    EXPECT_EQ(plugin->HostTempo(), 0.0);
    plugin->HostTimeSignature(beats, unit);
    EXPECT_EQ(unit, 0);
    EXPECT_EQ(host.timeFilters, (std::vector<int32_t>{0, 0, 0, 0, 0, kVstTempoValid, kVstTempoValid,
                                                      kVstTimeSigValid, kVstTempoValid, kVstTimeSigValid}));

    host.answersTime = false;
    EXPECT_EQ(plugin->SamplePosition(), 0);
    EXPECT_EQ(plugin->HostTempo(), 0.0);
}

TEST_F(Audio, HostTimeCopiesOnlyWhatTheHostMarksValid) {
    HostTimeInfo info;
    host.time.flags = kVstTransportPlaying; // none of the five wanted flags
    host.time.tempo = 140.0;
    plugin->HostTime(info);
    EXPECT_EQ(info.tempo, 120.0);
    EXPECT_FALSE(info.playing);
    EXPECT_EQ(host.timeFilters.back(), 0x3E00);

    host.time = {};
    host.time.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportCycleActive;
    host.time.tempo = 0.0;
    host.time.ppqPos = 12.5;
    host.time.samplePos = 4410.0;
    plugin->HostTime(info);
    EXPECT_EQ(info.tempo, 120.0); // a tempo of 0 is not taken
    EXPECT_EQ(info.ppqPos, 12.5);
    EXPECT_EQ(info.samplePos, 4410.0);
    EXPECT_TRUE(info.looping);
    EXPECT_FALSE(info.playing);
    EXPECT_EQ(info.loopStart, -1.0);

    host.time.flags = 0x3E00 | kVstTransportPlaying;
    host.time.tempo = std::numeric_limits<double>::infinity();
    host.time.barStartPos = 8.0;
    host.time.cycleStartPos = 4.0;
    host.time.cycleEndPos = 16.0;
    host.time.timeSigNumerator = 7;
    host.time.timeSigDenominator = 0;
    plugin->HostTime(info);
    EXPECT_EQ(info.tempo, 120.0); // not finite: not taken
    EXPECT_EQ(info.barStart, 8.0);
    EXPECT_EQ(info.loopStart, 4.0);
    EXPECT_EQ(info.loopEnd, 16.0);
    EXPECT_EQ(info.beatsPerBar, 4); // a denominator of 0 keeps the signature
    EXPECT_TRUE(info.playing);
    EXPECT_FALSE(info.looping);

    host.answersTime = false;
    HostTimeInfo fresh;
    plugin->HostTime(fresh);
    EXPECT_EQ(fresh.samplePos, -1.0);
}

TEST_F(Audio, EffectSeesHostTempoInsideTheBlock) {
    host.time.flags = kVstTempoValid | kVstTransportPlaying;
    host.time.tempo = 90.0;
    Buffers<double> wide(4);
    effect->processDoubleReplacing(effect, wide.inputs, wide.outputs, 4);
    EXPECT_EQ(plugin->lastTime.tempo, 90.0);
    EXPECT_TRUE(plugin->lastTime.playing);
}

TEST_F(Audio, HostCodeAndVersion) {
    const struct {
        const char* product;
        intptr_t version;
        int code;
        int32_t hostVersion;
    } cases[] = {{"Cubase", 2400, 3, 0x00001800},
                 {"Live", 50012, 9, 0x0005000C},
                 {"", 50012, 0, 0},
                 {"Other", -7, 0, 0}};
    for (const auto& c : cases) {
        Make();
        host.product = c.product;
        host.vendorVersion = c.version;
        EXPECT_EQ(plugin->HostCode(), c.code) << c.product;
        EXPECT_EQ(plugin->HostVersion(), c.hostVersion) << c.product;
        EXPECT_EQ(plugin->HostCode(), c.code);
        EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
        EXPECT_EQ(host.Count(audioMasterGetVendorVersion), c.product[0] != '\0' ? 1 : 0);
    }
}

TEST_F(Audio, MidiAndSysExGoOutAsOneEvent) {
    MidiMessage message;
    message.offset = 3;
    message.status = 0xB0;
    message.data1 = 7;
    message.data2 = 127;
    EXPECT_TRUE(plugin->SendMidiToHost(message));
    ASSERT_EQ(host.midiOut.size(), 1u);
    const VstMidiEvent& midi = host.midiOut[0];
    EXPECT_EQ(midi.byteSize, 32);
    EXPECT_EQ(midi.deltaFrames, 3);
    EXPECT_EQ(static_cast<uint8_t>(midi.midiData[0]), 0xB0);
    EXPECT_EQ(midi.midiData[1], 7);
    EXPECT_EQ(midi.midiData[2], 127);
    EXPECT_EQ(midi.midiData[3], 0);
    EXPECT_EQ(midi.noteLength, 0);

    const uint8_t dump[3] = {0xF0, 0x01, 0xF7};
    SysExMessage sysex;
    sysex.offset = 9;
    sysex.size = 3;
    sysex.data = dump;
    host.eventsReply = 0;
    EXPECT_FALSE(plugin->SendSysExToHost(sysex));
    ASSERT_EQ(host.sysExOut.size(), 1u);
    EXPECT_EQ(host.sysExOut[0].byteSize, static_cast<VstInt32>(sizeof(VstMidiSysexEvent)));
    EXPECT_EQ(host.sysExOut[0].dumpBytes, 3);
    EXPECT_EQ(host.sysExOut[0].deltaFrames, 9);
    EXPECT_EQ(host.sysExOut[0].sysexDump, reinterpret_cast<const char*>(dump));
}

} // namespace
