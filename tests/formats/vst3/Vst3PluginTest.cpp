// The VST 3 bundle as a host sees it, against the VST 2.4 build of the same plug-in: the same
// texts, state bytes and samples.
#include "tests/formats/vst2/Vst2Reference.h"
#include "tests/formats/vst3/Vst3Host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>

namespace {

using namespace v3;

constexpr uint32_t kStages = 0, kManual = 1, kSpread = 2, kFeedback = 3, kLFOSpeed = 4, kLFODepth = 5,
                   kMix = 6, kSync = 7, kStereo = 8, kWaveform = 9, kBypass = 100, kProgram = 101;

std::string Text(void* controller, uint32_t id, double value) {
    char16_t text[128] = {};
    return Call(controller, kGetParamStringByValue, id, value, text) == kResultOk ? Narrow(text)
                                                                                  : "(refused)";
}

// The VST 2.4 plug-in, whose program the VST 3 program parameter chooses.
struct Vst2 : Vst2Effect {
    using Vst2Effect::Vst2Effect;
    // Sets a parameter, or chooses the program the VST 3 program parameter's value names.
    void Set(uint32_t id, double value) {
        if (id == kProgram) {
            Dispatch(effSetProgram, 0, std::lround(value * 9));
        } else {
            SetNormalized(id, value);
        }
    }
    void ExpectValuesIn(void* controller) {
        for (uint32_t id = 0; id < 10; ++id) {
            EXPECT_EQ(static_cast<float>(v3::Call<double>(controller, kGetParamNormalized, id)),
                      effect->getParameter(effect, static_cast<int32_t>(id)))
                << id;
        }
    }
};

class Vst3Plugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = std::make_unique<Module>(KSP_VST3_BUNDLE);
        library = std::make_unique<PluginLibrary>(KSP_PHASER_PLUGIN);
    }
    static void TearDownTestSuite() {
        module.reset();
        library.reset();
    }
    void SetUp() override { ASSERT_TRUE(module->factory != nullptr && library->Loaded()); }

    // The outputs of both formats for the same changes, in separate or shared buffers.
    template <class Sample>
    void ExpectSameOutput(const std::vector<Vst2Change>& changes, bool inPlace) {
        const int32_t sampleSize = sizeof(Sample) == 8 ? kSample64 : kSample32;
        Vst2 vst2(*library);
        Instance plugin(*module);
        ASSERT_TRUE(plugin.Start(sampleSize));
        auto set = [&vst2](const Vst2Change& change) { vst2.Set(change.id, change.value); };
        auto play = [&](int32_t block, Sample** ins, Sample** outs) {
            ParameterChanges flush, queued;
            for (const Vst2Change& change : changes) {
                if (change.block == block) {
                    (change.time < 0 ? flush : queued).Add(change.id, change.time, change.value);
                }
            }
            return plugin.Process(sampleSize, 0, nullptr, nullptr, &flush) == kResultOk &&
                   plugin.Process(sampleSize, 512, reinterpret_cast<void**>(ins),
                                  reinterpret_cast<void**>(outs), &queued) == kResultOk;
        };
        EXPECT_EQ(FirstDifferences<Sample>(
                      vst2, changes, inPlace, set, [](int32_t, int32_t) {}, play),
                  "1536 1536 ")
            << sizeof(Sample) * 8 << "-bit";
    }

    static std::unique_ptr<Module> module;
    static std::unique_ptr<PluginLibrary> library;
};

std::unique_ptr<Module> Vst3Plugin::module;
std::unique_ptr<PluginLibrary> Vst3Plugin::library;

TEST_F(Vst3Plugin, TheFactoryAndBundleDescribeOneClassWhoseObjectIsComponentAndController) {
    void* factory = module->factory;
    PFactoryInfo info = {};
    PClassInfo2 one = {}, two = {};
    PClassInfoW wide = {};
    ASSERT_EQ(Call(factory, kCountClasses), 1);
    EXPECT_EQ(Call(factory, kGetFactoryInfo, &info), kResultOk);
    EXPECT_EQ(Call(factory, kGetClassInfo, 0, &one), kResultOk);
    EXPECT_EQ(Call(factory, kGetClassInfo2, 0, &two), kResultOk);
    EXPECT_EQ(Call(factory, kGetClassInfoUnicode, 0, &wide), kResultOk);
    EXPECT_EQ(Join(info.vendor, info.url, info.flags), "Kestrunelle Dadid http://kestrunelle.invalid/ 16 ");
    const std::string name = "2147483647 Audio Module Class Kestrunelle Phaser ";
    const std::string more = "Fx|Modulation Kestrunelle Dadid 2.0.2 VST 3.7.14 ";
    EXPECT_EQ(Join(one.cardinality, one.category, one.name, one.subCategories), name + " ");
    EXPECT_EQ(Join(two.cardinality, two.category, two.name, two.subCategories, two.vendor, two.version,
                   two.sdkVersion),
              name + more);
    EXPECT_EQ(Join(wide.cardinality, wide.category, Narrow(wide.name), wide.subCategories,
                   Narrow(wide.vendor), Narrow(wide.version), Narrow(wide.sdkVersion)),
              name + more);
    EXPECT_TRUE(Same(one.cid, kPhaserClass) && Same(two.cid, kPhaserClass) && Same(wide.cid, kPhaserClass));
    std::ostringstream json;
    json << std::ifstream(std::string(KSP_VST3_BUNDLE) + "/Contents/Resources/moduleinfo.json").rdbuf();
    EXPECT_NE(json.str().find("\"5653546B7370686B65737472756E656C\""), std::string::npos);

    Instance plugin(*module);
    ASSERT_TRUE(plugin.processor && plugin.controller && plugin.units);
    char cid[16] = {};
    EXPECT_EQ(Call(plugin.component, kGetControllerClassId, cid), kResultFalse);
    void* interfaces[] = {Query(plugin.component, kFUnknown), Query(plugin.controller, kFUnknown),
                          Query(plugin.controller, kIProcessContextRequirements)};
    EXPECT_TRUE(interfaces[0] == interfaces[1] && interfaces[2] != nullptr);
    for (void* answer : interfaces) {
        Release(answer);
    }
}

TEST_F(Vst3Plugin, BusesAreStereoAndCallsOutOfOrderAreRefusedAndChangeNothing) {
    Instance plugin(*module), fresh(*module);
    ASSERT_TRUE(plugin.processor && fresh.processor);
    void* component = plugin.component;
    void* processor = plugin.processor;
    EXPECT_EQ(Join(Call(component, kGetBusCount, kEvent, kInput),
                   Call(component, kGetBusCount, kEvent, kOutput),
                   Call(processor, kCanProcessSampleSize, kSample32),
                   Call(processor, kCanProcessSampleSize, kSample64)),
              Join(0, 0, kResultOk, kResultOk));
    for (int32_t direction : {kInput, kOutput}) {
        BusInfo bus = {};
        EXPECT_EQ(Call(component, kGetBusInfo, kAudio, direction, 0, &bus), kResultOk);
        EXPECT_EQ(Join(Call(component, kGetBusCount, kAudio, direction), bus.mediaType, bus.direction,
                       bus.channelCount, bus.busType, bus.flags, Narrow(bus.name).empty()),
                  Join(1, kAudio, direction, 2, 0, 1, false));
    }
    auto arrangements = [processor] {
        uint64_t in = 0, out = 0;
        const tresult inResult = Call(processor, kGetBusArrangement, kInput, 0, &in);
        return Join(inResult, Call(processor, kGetBusArrangement, kOutput, 0, &out), in, out);
    };
    const std::string stereo = Join(kResultOk, kResultOk, kStereoArrangement, kStereoArrangement);
    uint64_t mono = kMonoArrangement, two = kStereoArrangement;
    EXPECT_EQ(Call(processor, kSetBusArrangements, &mono, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(Call(processor, kSetBusArrangements, &two, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(Call(processor, kSetBusArrangements, &two, 0, &two, 1), kResultFalse);
    EXPECT_EQ(arrangements(), stereo);
    EXPECT_EQ(Call(processor, kSetBusArrangements, &two, 1, &two, 1), kResultOk);

    std::vector<float> in(256), untouched(256, 7.0f), out[2] = {untouched, untouched}, expected[2] = {in, in};
    for (size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    }
    void* ins[] = {in.data(), in.data()};
    void* outs[] = {out[0].data(), out[1].data()};
    void* expectedOuts[] = {expected[0].data(), expected[1].data()};
    ProcessSetup setup = {0, kSample32, 512, 44100.0}, other = {0, kSample64, 1024, 96000.0};
    EXPECT_NE(plugin.Process(kSample32, 256, ins, outs), kResultOk);
    ASSERT_EQ(Call(processor, kSetupProcessing, &setup), kResultOk);
    ASSERT_EQ(Call(component, kSetActive, kOn), kResultOk);
    EXPECT_NE(plugin.Process(kSample32, 256, ins, outs), kResultOk);
    EXPECT_EQ(out[0], untouched);
    EXPECT_NE(Call(processor, kSetupProcessing, &other), kResultOk);
    EXPECT_NE(Call(processor, kSetBusArrangements, &two, 1, &two, 1), kResultOk);
    EXPECT_EQ(arrangements(), stereo);
    ASSERT_EQ(Call(processor, kSetProcessing, kOn), kResultOk);
    ASSERT_EQ(plugin.Process(kSample32, 256, ins, outs), kResultOk);
    // The output is a fresh instance's: the refused calls left nothing behind.
    ASSERT_TRUE(fresh.Start(kSample32));
    ASSERT_EQ(fresh.Process(kSample32, 256, ins, expectedOuts), kResultOk);
    EXPECT_TRUE(out[0] == expected[0] && out[1] == expected[1]);

    // Stopped, terminated and initialised again, the same object plays on.
    EXPECT_EQ(Call(processor, kSetProcessing, kOff), kResultOk);
    EXPECT_EQ(Call(component, kSetActive, kOff), kResultOk);
    EXPECT_EQ(Call(component, kTerminate), kResultOk);
    EXPECT_EQ(plugin.host.references, 0);
    ASSERT_EQ(Call(component, kInitialize, &plugin.host), kResultOk);
    ASSERT_TRUE(plugin.Start(kSample32));
    EXPECT_EQ(plugin.Process(kSample32, 256, ins, outs), kResultOk);
}

TEST_F(Vst3Plugin, ParametersShowTheVst2TextsAndTheProgramListHoldsTheFactoryPrograms) {
    Instance plugin(*module);
    Vst2 vst2(*library);
    void* controller = plugin.controller;
    ASSERT_NE(controller, nullptr);
    std::string infos, expected;
    for (int32_t i = 0; i < Call(controller, kGetParameterCount); ++i) {
        ParameterInfo info = {};
        EXPECT_EQ(Call(controller, kGetParameterInfo, i, &info), kResultOk);
        infos += Join(info.id, Narrow(info.title), info.stepCount, info.flags, info.unitId) + "\n";
    }
    for (uint32_t id = 0; id < 10; ++id) {
        const int steps = id == kStages || id == kSync || id == kWaveform ? 1 : 0;
        expected += Join(id, vst2.Text(effGetParamName, id), steps, kCanAutomate, 0) + "\n";
    }
    expected += Join(kBypass, "Bypass", 1, kCanAutomate | kIsBypass, 0) + "\n" +
                Join(kProgram, "Program", 9, kCanAutomate | kIsProgramChange | kIsList, 0) + "\n";
    EXPECT_EQ(infos, expected);

    for (double sync : {0.0, 1.0}) {
        vst2.Set(kSync, sync);
        ASSERT_EQ(Call(controller, kSetParamNormalized, kSync, sync), kResultOk);
        for (uint32_t id = 0; id < 10; ++id) {
            for (double x : {0.0, 0.125, 0.3125, 0.5, 0.71875, 1.0}) {
                vst2.Set(id, x);
                EXPECT_EQ(Text(controller, id, x), vst2.Text(effGetParamDisplay, id)) << id << " at " << x;
            }
        }
    }
    const std::tuple<uint32_t, std::u16string, const char*> typed[] = {
        {kManual, u"1000Hz", "1000Hz"},  {kManual, u"1234", "1234Hz"},
        {kWaveform, u"Sine", "Sine"},    {kStages, u"8", "8"},
        {kMix, u"75:25", "75:25"},       {kFeedback, u"-30%", "-30%"},
        {kProgram, u"Aliens", "Aliens"}, {kFeedback, u"loud", "(refused)"}};
    for (auto [id, text, shown] : typed) {
        double value = -1.0;
        const bool taken = Call(controller, kGetParamValueByString, id, text.data(), &value) == kResultOk;
        EXPECT_EQ(taken ? Text(controller, id, value) : "(refused)", shown);
    }

    void* units = plugin.units;
    UnitInfo unit = {};
    ProgramListInfo list = {};
    ASSERT_EQ(Call(units, kGetUnitInfo, 0, &unit), kResultOk);
    ASSERT_EQ(Call(units, kGetProgramListInfo, 0, &list), kResultOk);
    EXPECT_EQ(Join(Call(units, kGetUnitCount), unit.id, unit.parentUnitId, unit.programListId,
                   unit.name[0] != 0, Call(units, kGetProgramListCount), list.id, list.programCount,
                   list.name[0] != 0),
              Join(1, 0, -1, 1, true, 1, 1, 10, true));
    for (uint32_t p = 0; p < 10; ++p) {
        char16_t name[128] = {};
        EXPECT_EQ(Call(units, kGetProgramName, 1, p, name), kResultOk);
        EXPECT_EQ(Join(Narrow(name), Text(controller, kProgram, p / 9.0)),
                  Join(vst2.Text(effGetProgramNameIndexed, p), vst2.Text(effGetProgramNameIndexed, p)));
    }

    // The host chooses a program: the controller takes its values at once, calls nothing of the
    // host's inside the host's own call, and the next block reports every value to the host.
    ComponentHandler handler;
    ASSERT_EQ(Call(controller, kSetComponentHandler, &handler), kResultOk);
    ASSERT_EQ(Call(controller, kSetParamNormalized, kProgram, 1.0), kResultOk);
    vst2.Set(kProgram, 1.0);
    vst2.ExpectValuesIn(controller);
    EXPECT_TRUE(handler.calls.empty());
    ParameterChanges reported;
    ASSERT_TRUE(plugin.Start(kSample32));
    ASSERT_EQ(plugin.Process(kSample32, 0, nullptr, nullptr, nullptr, &reported), kResultOk);
    ASSERT_EQ(reported.queues.size(), 10u);
    for (const ValueQueue& queue : reported.queues) {
        EXPECT_EQ(queue.points, (std::vector<std::pair<int32_t, double>>{
                                    {0, Call<double>(controller, kGetParamNormalized, queue.id)}}));
    }
    EXPECT_EQ(Call(controller, kSetComponentHandler, static_cast<ComponentHandler*>(nullptr)), kResultOk);
    EXPECT_EQ(handler.references, 0);
}

TEST_F(Vst3Plugin, StateIsTheVst2ProgramChunkAndTakesVst2ChunksAndPresetFiles) {
    Vst2 source(*library), fromBank(*library);
    source.Set(kProgram, 4 / 9.0);
    source.Set(kFeedback, 0.25);
    const Bytes program = source.Chunk(false), bank = source.Chunk(true);
    Bytes copy = bank;
    ASSERT_EQ(fromBank.Dispatch(effSetChunk, 0, static_cast<intptr_t>(copy.size()), copy.data()), 1);
    const Bytes loads[][2] = {{program, program},
                              {bank, fromBank.Chunk(false)},
                              {Vst2PresetFile(program, false), program},
                              {Vst2PresetFile(bank, true), fromBank.Chunk(false)}};
    for (size_t i = 0; i < 4; ++i) {
        Instance plugin(*module);
        ASSERT_EQ(plugin.SetState(loads[i][0], i % 2 == 0 ? 7 : SIZE_MAX), kResultOk) << i;
        EXPECT_EQ(plugin.State(), loads[i][1]) << i;
    }

    Instance plugin(*module), restored(*module);
    MemoryStream stream(program);
    ASSERT_EQ(plugin.SetState(program), kResultOk);
    ASSERT_EQ(Call(plugin.controller, kSetComponentState, &stream), kResultOk);
    source.ExpectValuesIn(plugin.controller);
    EXPECT_EQ(Call<double>(plugin.controller, kGetParamNormalized, kBypass), 0.0);
    Bytes garbage(300);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    for (const Bytes& bad : {garbage, Bytes(), Bytes(program.begin(), program.begin() + 40),
                             Bytes(bank.begin(), bank.begin() + bank.size() / 2),
                             Bytes(loads[3][0].begin(), loads[3][0].begin() + 200)}) {
        EXPECT_NE(plugin.SetState(bad), kResultOk) << bad.size();
        EXPECT_EQ(plugin.State(), program) << bad.size();
    }

    // Bypass is part of the state: a new instance and its controller get it back.
    ParameterChanges bypass, change;
    bypass.Add(kBypass, 0, 1.0);
    ASSERT_TRUE(plugin.Start(kSample32));
    ASSERT_EQ(plugin.Process(kSample32, 0, nullptr, nullptr, &bypass), kResultOk);
    const Bytes bypassed = plugin.State();
    MemoryStream again(bypassed);
    EXPECT_NE(bypassed, program);
    ASSERT_EQ(restored.SetState(bypassed), kResultOk);
    ASSERT_EQ(Call(restored.controller, kSetComponentState, &again), kResultOk);
    EXPECT_EQ(Call<double>(restored.controller, kGetParamNormalized, kBypass), 1.0);
    EXPECT_EQ(restored.State(), bypassed);

    // A change through the processor's queue shows in the state as in the VST 2.4 chunk.
    change.Add(kBypass, 0, 0.0);
    change.Add(kSpread, 0, 0.625);
    ASSERT_EQ(plugin.Process(kSample32, 0, nullptr, nullptr, &change), kResultOk);
    source.Set(kSpread, 0.625);
    EXPECT_EQ(plugin.State(), source.Chunk(false));
}

// The values are exact in a float, so that both formats get the same numbers.
TEST_F(Vst3Plugin, OutputIsTheVst2OutputForTheSameChangesSampleForSampleAndTheTailFollowsFeedback) {
    auto changes = [](int program) {
        return std::vector<Vst2Change>{{0, kProgram, 0, program / 9.0}, {0, kManual, 100, 0.25},
                                       {0, kFeedback, 300, 0.875},      {0, kFeedback, 400, 0.125},
                                       {1, kMix, -1, 0.9375},           {1, kStages, 0, 1.0},
                                       {1, kLFOSpeed, 255, 0.6875},     {2, kStereo, 17, 0.1875},
                                       {2, kLFODepth, 300, 0.75},       {2, kWaveform, 511, 0.0}};
    };
    ExpectSameOutput<float>(changes(9), false);
    ExpectSameOutput<float>(changes(5), false);
    ExpectSameOutput<double>(changes(3), true);

    Instance plugin(*module);
    ASSERT_TRUE(plugin.Start(kSample64));
    for (auto [feedback, tail] :
         {std::pair(0.5, 0u), {0.75, kInfiniteTail}, {0.0, kInfiniteTail}, {0.5, 0u}}) {
        ParameterChanges change;
        change.Add(kFeedback, 0, feedback);
        ASSERT_EQ(plugin.Process(kSample64, 0, nullptr, nullptr, &change), kResultOk);
        EXPECT_EQ(Call<uint32_t>(plugin.processor, kGetTailSamples), tail) << feedback;
    }
}

} // namespace
