// The CLAP module as a host sees it, against the VST 2.4 build of the same plug-in: the same
// names, texts, programs, state bytes and samples.
#include "tests/formats/clap/ClapHost.h"
#include "tests/formats/vst2/Vst2Reference.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using namespace clap;

constexpr uint32_t kStages = 0, kManual = 1, kSpread = 2, kFeedback = 3, kLFOSpeed = 4, kLFODepth = 5,
                   kMix = 6, kSync = 7, kStereo = 8, kWaveform = 9, kBypass = 100;

bool Stepped(uint32_t id) {
    return id == kStages || id == kSync || id == kWaveform;
}
// The plain value of the VST 2.4 plug-in's normalised x: Manual in Hz on a square law, Spread,
// Feedback and LFO Depth in %, the others as they are.
double Plain(uint32_t id, double x) {
    return id == kManual                      ? 16000.0 * x * x
           : id == kFeedback                  ? 200.0 * x - 100.0
           : id == kSpread || id == kLFODepth ? 100.0 * x
                                              : x;
}

// The VST 2.4 plug-in from a program.
struct Vst2 : Vst2Effect {
    explicit Vst2(PluginLibrary& library, intptr_t program = 0) : Vst2Effect(library) {
        Dispatch(effSetProgram, 0, program);
    }
    void ExpectSameTexts(Instance& plugin) {
        for (uint32_t id = 0; id < 10; ++id) {
            EXPECT_EQ(plugin.Text(id, plugin.Value(id)), Text(effGetParamDisplay, id)) << id;
        }
    }
};

// The module and the VST 2.4 library, loaded once for every test.
Module& TheModule() {
    static Module module(KSP_CLAP_MODULE);
    return module;
}
PluginLibrary& TheLibrary() {
    static PluginLibrary library(KSP_PHASER_PLUGIN);
    return library;
}

class ClapPlugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.factory != nullptr && library.Loaded()); }
    void TearDown() override { EXPECT_EQ(host.wrongThread, std::vector<std::string>()); }

    // The outputs of both formats from a program for the same changes, with a transport playing
    // at 120 BPM, in separate or shared buffers.
    template <class Sample>
    void ExpectSameOutput(int32_t program, const std::vector<Vst2Change>& changes, bool inPlace) {
        constexpr double kBeat = 2147483648.0, kBeatsPerSample = 2.0 / 44100.0;
        const PresetIndex index(module);
        Vst2 vst2(library, program);
        vst2.time.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid;
        vst2.time.tempo = 120.0;
        Instance plugin(module, host);
        ASSERT_EQ(index.presets.size(), 10u);
        ASSERT_TRUE(plugin.Start() && plugin.LoadPreset(index.presets[size_t(program)][1]));
        Transport transport = {};
        transport.header = {sizeof(Transport), 0, 0, kTransport, 0};
        transport.flags = 1 | 2 | 16; // tempo, beats, playing
        transport.tempo = 120.0;
        auto beats = [&](int32_t block) {
            return std::llround((1.3 + block * 512 * kBeatsPerSample) * kBeat);
        };
        auto set = [&vst2](const Vst2Change& change) { vst2.SetNormalized(change.id, change.value); };
        auto before = [&](int32_t block, int32_t sample) {
            vst2.time.ppqPos = beats(block) / kBeat + sample * kBeatsPerSample;
        };
        auto play = [&](int32_t block, Sample** ins, Sample** outs) {
            EventList flush, queued;
            for (const Vst2Change& change : changes) {
                if (change.block == block) {
                    (change.time < 0 ? flush : queued)
                        .Value(uint32_t(std::max(change.time, 0)), change.id, Plain(change.id, change.value));
                }
            }
            transport.song_pos_beats = beats(block);
            plugin.Flush(flush);
            return plugin.Run(512u, ins, outs, queued, &transport) != 0;
        };
        EXPECT_EQ(FirstDifferences<Sample>(vst2, changes, inPlace, set, before, play), "1536 1536 ")
            << sizeof(Sample) * 8 << "-bit, program " << program;
        EXPECT_EQ(Join(plugin.Value(kMix), plugin.Value(kWaveform), plugin.Value(kLFODepth)), "0.9375 0 75 ");
    }

    Module& module = TheModule();
    PluginLibrary& library = TheLibrary();
    TestHost host;
};

TEST_F(ClapPlugin, TheEntryAndFactoryDescribeOneStereoPhaserAndRefuseOtherIds) {
    const PluginEntry& entry = *module.entry;
    // A second init is counted: the module stays usable until the last deinit.
    ASSERT_TRUE(Call(entry.functions[kEntryInit], KSP_CLAP_MODULE));
    Call<void>(entry.functions[kEntryDeinit]);
    const Fn* presets = module.Factory("clap.preset-discovery-factory/2");
    EXPECT_TRUE(presets != nullptr && module.Factory("clap.preset-discovery-factory/draft-2") == presets);
    EXPECT_EQ(module.Factory("clap.plugin-factory/2"), nullptr);

    const Fn* factory = module.factory;
    const auto* about = Call<const Descriptor*>(factory[kGetDescriptor], factory, 0u);
    ASSERT_TRUE(Call<uint32_t>(factory[kCount], factory) == 1u && about != nullptr);
    std::string features;
    for (const char* const* feature = about->features; *feature != nullptr; ++feature) {
        features += Join(*feature);
    }
    EXPECT_EQ(Join(entry.version[0], entry.version[1], entry.version[2], about->id, about->name,
                   about->vendor, about->url, about->version_text) +
                  features,
              "1 2 10 com.kestrunelle.phaser Kestrunelle Phaser Kestrunelle Dadid "
              "http://kestrunelle.invalid/ 2.0.2 audio-effect phaser stereo ");
    for (const char* id : {"com.kestrunelle.phaser2", "com.kestrunelle.phase", "com.kestrunelle.phaser "}) {
        EXPECT_EQ(Call<const Object<10>*>(factory[kCreate], factory, &host.host, id), nullptr) << id;
    }

    Instance plugin(module, host);
    ASSERT_TRUE(plugin.initialised && plugin.ports != nullptr);
    EXPECT_TRUE(plugin.plugin->desc == about && plugin.Extension("clap.params.other") == nullptr);
    // Flags: main, 64-bit samples, one sample size for input and output.
    for (bool input : {true, false}) {
        PortInfo port = {};
        ASSERT_TRUE(plugin.Do(plugin.ports, 1, 0u, input, &port));
        EXPECT_EQ(Join(plugin.Do<uint32_t>(plugin.ports, 0, input), port.id, port.flags, port.channel_count,
                       std::string(port.port_type), port.in_place_pair),
                  "1 0 11 2 stereo 0 ");
    }
}

TEST_F(ClapPlugin, ParametersHaveTheVst2NamesAndTextsAndReadTheirOwnTextsBack) {
    Instance plugin(module, host);
    Vst2 vst2(library);
    ASSERT_NE(plugin.params, nullptr);
    std::string infos, expected = Join(kBypass, "Bypass", 16 | 1 | 32, 0, 1, true) + "\n";
    for (uint32_t i = 0; i < plugin.Do<uint32_t>(plugin.params, kCount); ++i) {
        ParamInfo info = {};
        EXPECT_TRUE(plugin.Do(plugin.params, kGetInfo, i, &info));
        infos += Join(info.id, info.name, info.flags, info.min_value, info.max_value,
                      info.min_value <= info.default_value && info.default_value <= info.max_value) +
                 "\n";
    }
    for (uint32_t id = 10; id-- > 0;) {
        expected = Join(id, vst2.Text(effGetParamName, id), Stepped(id) ? 65569 : 32, Plain(id, 0.0),
                        Plain(id, 1.0), true) +
                   "\n" + expected;
    }
    EXPECT_EQ(infos, expected);

    for (double sync : {0.0, 1.0}) {
        EventList change;
        change.Value(0, kSync, sync);
        plugin.Flush(change);
        for (uint32_t id = 0; id < 10; ++id) {
            for (double x : {0.0, 0.25, 0.5, 0.75, 1.0}) {
                vst2.SetNormalized(kSync, sync);
                vst2.SetNormalized(id, Stepped(id) ? std::round(x) : x);
                const std::string text = plugin.Text(id, Plain(id, Stepped(id) ? std::round(x) : x));
                double back = -1.0;
                EXPECT_EQ(text, vst2.Text(effGetParamDisplay, id)) << id << " at " << x;
                EXPECT_TRUE(plugin.Do(plugin.params, kTextToValue, id, text.c_str(), &back)) << text;
                EXPECT_EQ(plugin.Text(id, back), text);
            }
        }
    }
    for (auto [id, text, shown] :
         {std::tuple(kManual, "1234", "1234Hz"), {kFeedback, "loud", "(refused)"}, {42u, "1", "(refused)"}}) {
        double value = -1.0;
        EXPECT_EQ(plugin.Do(plugin.params, kTextToValue, id, text, &value) ? plugin.Text(id, value)
                                                                           : "(refused)",
                  shown);
    }
}

// The values are exact in a float, so that both formats get the same numbers.
TEST_F(ClapPlugin, OutputIsTheVst2OutputForTheSameChangesAndTransportAndTheTailFollowsFeedback) {
    const std::vector<Vst2Change> changes = {{0, kManual, 100, 0.25},    {0, kFeedback, 300, 0.875},
                                             {0, kFeedback, 400, 0.125}, {1, kMix, -1, 0.9375},
                                             {1, kStages, 0, 1.0},       {1, kSync, 200, 1.0},
                                             {1, kLFOSpeed, 255, 1.0},   {2, kStereo, 17, 0.1875},
                                             {2, kLFODepth, 300, 0.75},  {2, kWaveform, 511, 0.0}};
    ExpectSameOutput<float>(9, changes, false);
    ExpectSameOutput<float>(5, changes, false);
    ExpectSameOutput<double>(9, changes, false);
    ExpectSameOutput<double>(5, changes, true);

    Instance plugin(module, host);
    ASSERT_TRUE(plugin.tail != nullptr && plugin.Start());
    for (auto [feedback, endless] : {std::pair(0.0, false), {50.0, true}, {-100.0, true}, {0.0, false}}) {
        EventList change;
        change.Value(0, kFeedback, feedback);
        plugin.Flush(change);
        const uint32_t tail = plugin.Do<uint32_t>(plugin.tail, 0);
        EXPECT_TRUE(endless ? tail >= INT32_MAX : tail == 0) << feedback << " % gives " << tail;
    }
}

TEST_F(ClapPlugin, StateIsTheVst2ProgramChunkAndTakesVst2ChunksAndPresetFilesInPieces) {
    Vst2 source(library, 4), fromBank(library);
    source.SetNormalized(kFeedback, 0.25);
    const Bytes program = source.Chunk(false), bank = source.Chunk(true);
    Bytes copy = bank;
    ASSERT_EQ(fromBank.Dispatch(effSetChunk, 0, intptr_t(copy.size()), copy.data()), 1);
    const Bytes loads[][2] = {{program, program},
                              {bank, fromBank.Chunk(false)},
                              {Vst2PresetFile(program, false), program},
                              {Vst2PresetFile(bank, true), fromBank.Chunk(false)}};
    for (size_t i = 0; i < 4; ++i) {
        Instance plugin(module, host);
        host.calls.clear();
        ASSERT_TRUE(plugin.Load(loads[i][0], i % 2 == 0 ? 3 : SIZE_MAX)) << i;
        EXPECT_EQ(host.Count("rescan 1 "), 1) << i;
        EXPECT_EQ(plugin.Save(i < 2 ? 5 : SIZE_MAX), loads[i][1]) << i;
    }

    Instance plugin(module, host);
    ASSERT_TRUE(plugin.Load(program));
    source.ExpectSameTexts(plugin);
    EXPECT_EQ(plugin.Value(kBypass), 0.0);
    Bytes garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = uint8_t(i * 37 + 11);
    }
    for (const Bytes& bad : {garbage, Bytes(), Bytes(program.begin(), program.begin() + 40),
                             Bytes(loads[3][0].begin(), loads[3][0].begin() + 200)}) {
        EXPECT_FALSE(plugin.Load(bad)) << bad.size();
        EXPECT_EQ(plugin.Save(), program) << bad.size();
    }

    // A change while processing shows in the state as in the VST 2.4 chunk.
    EventList change;
    change.Value(0, kSpread, 62.5);
    ASSERT_TRUE(plugin.Start());
    plugin.Flush(change);
    source.SetNormalized(kSpread, 0.625);
    EXPECT_EQ(plugin.Save(), source.Chunk(false));
}

TEST_F(ClapPlugin, PresetDiscoveryListsTheVst2ProgramsAndPresetLoadTakesThem) {
    const PresetIndex index(module);
    EXPECT_EQ(Join(index.providers, index.listed), "1 1 ");
    EXPECT_EQ(index.locations, std::vector<std::string>{Join(1, kPluginLocation, true, true)});
    ASSERT_EQ(index.presets.size(), 10u);
    Vst2 vst2(library);
    Instance plugin(module, host);
    ASSERT_NE(plugin.presetLoad, nullptr);
    for (uint32_t p = 0; p < 10; ++p) {
        const std::vector<std::string>& preset = index.presets[p];
        vst2.Dispatch(effSetProgram, 0, intptr_t(p));
        EXPECT_EQ(Join(preset[0], preset.back(), preset.size()),
                  Join(vst2.Text(effGetProgramNameIndexed, p), "clap:com.kestrunelle.phaser", 3));
        host.calls.clear();
        ASSERT_TRUE(plugin.LoadPreset(preset[1])) << p;
        EXPECT_EQ(host.Count(Join("loaded", kPluginLocation, true, preset[1])) + host.Count("rescan 1 "), 2)
            << p;
        EXPECT_EQ(plugin.Save(), vst2.Chunk(false)) << p;
        vst2.ExpectSameTexts(plugin);
    }
    host.calls.clear();
    EXPECT_FALSE(plugin.LoadPreset("none"));
    EXPECT_EQ(host.calls, std::vector<std::string>{Join("on_error", kPluginLocation, "none")});
}

} // namespace
