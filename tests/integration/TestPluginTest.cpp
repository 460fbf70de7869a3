// The test effect built into a plug-in library around the real entry points, loaded and driven
// as a host drives it.
#include "PluginLibrary.h"
#include "tests/vst/FakeHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

class TestPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library = new PluginLibrary(KSP_TEST_PLUGIN); }
    static void TearDownTestSuite() {
        delete library;
        library = nullptr;
    }

    AEffect* Create(FakeHost& host, const char* entry = "VSTPluginMain") {
        PluginLibrary::EntryPoint main = library->Entry(entry);
        if (main == nullptr) {
            return nullptr;
        }
        AEffect* effect = main(FakeHost::Callback);
        if (effect != nullptr) {
            host.Attach(effect);
            opened.push_back(effect);
        }
        return effect;
    }
    void TearDown() override {
        for (AEffect* effect : opened) {
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        }
    }
    static intptr_t Dispatch(AEffect* effect, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                             void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    static std::vector<uint8_t> Chunk(AEffect* effect, bool bank) {
        void* data = nullptr;
        const intptr_t size = Dispatch(effect, effGetChunk, bank ? 0 : 1, 0, &data);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
    }
    static intptr_t SetChunk(AEffect* effect, bool bank, std::vector<uint8_t> bytes) {
        return Dispatch(effect, effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(bytes.size()), bytes.data());
    }
    static std::string ProgramName(AEffect* effect, int index) {
        char name[kVstMaxProgNameLen] = {};
        Dispatch(effect, effGetProgramNameIndexed, index, 0, name);
        return name;
    }

    static PluginLibrary* library;
    FakeHost host;
    std::vector<AEffect*> opened;
};

PluginLibrary* TestPlugin::library = nullptr;

TEST_F(TestPlugin, BothEntryPointsCreateSeparateInstancesWithoutCallingTheHost) {
    ASSERT_TRUE(library->Loaded());
    FakeHost other;
    AEffect* first = Create(host, "VSTPluginMain");
    AEffect* second = Create(other, "main");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->object, second->object);
    EXPECT_EQ(second->magic, kEffectMagic);
    EXPECT_EQ(second->flags, 0x1030);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(other.calls.empty());
    EXPECT_EQ(ProgramName(first, 0), "Unity");
    EXPECT_EQ(ProgramName(first, 1), "Empty"); // unused slots are filled at creation
    EXPECT_EQ(ProgramName(first, 2), "Empty");
    EXPECT_EQ(library->Entry("CreatePlugin"), nullptr);
    EXPECT_EQ(library->Entry("_ZN10IPluginVST13VSTDispatcherEP7AEffectiiPvf"), nullptr);
}

TEST_F(TestPlugin, EveryOpcodeAnswersSafelyWithoutPointers) {
    AEffect* effect = Create(host);
    ASSERT_NE(effect, nullptr);
    // What a plug-in without an editor answers with null pointers and zero arguments.
    const struct {
        int32_t opcode;
        intptr_t answer;
    } cases[] = {
        {effOpen, 0},
        {effSetProgram, 0},
        {effGetProgram, 0},
        {effSetProgramName, 0},
        {effGetProgramName, 0},
        {effGetParamLabel, 0},
        {effGetParamDisplay, 0},
        {effGetParamName, 0},
        {effSetSampleRate, 0},
        {effSetBlockSize, 0},
        {effMainsChanged, 0},
        {effEditGetRect, 0},
        {effEditOpen, 0},
        {effEditClose, 0},
        {effEditIdle, 0},
        {effIdentify, 0x4E764566},
        {effGetChunk, 0},
        {effSetChunk, 0},
        {effProcessEvents, 0},
        {effCanBeAutomated, 1},
        {effString2Parameter, 1},
        {effGetProgramNameIndexed, 0},
        {effGetInputProperties, 0},
        {effGetOutputProperties, 0},
        {effGetPlugCategory, kPlugCategEffect},
        {effSetSpeakerArrangement, 1},
        {effGetEffectName, 0},
        {effGetVendorString, 0},
        {effGetProductString, 0},
        {effGetVendorVersion, 10203},
        {effVendorSpecific, 0},
        {effCanDo, 0},
        {effGetTailSize, 0},
        {effIdle, 0},
        {effGetVstVersion, 2400},
        {effGetMidiKeyName, 0},
        {effGetSpeakerArrangement, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Dispatch(effect, c.opcode), c.answer) << c.opcode;
    }
    for (int32_t opcode = 0; opcode <= 80; ++opcode) {
        bool listed = false;
        for (const auto& c : cases) {
            listed = listed || c.opcode == opcode;
        }
        if (!listed && opcode != effClose) {
            EXPECT_EQ(Dispatch(effect, opcode, 3, 5), 0) << opcode;
        }
    }
    // effSetSampleRate 0 was refused; the effect still runs.
    float in[4] = {1, 1, 1, 1}, out[4] = {};
    float* inputs[] = {in, in};
    float* outputs[] = {out, out};
    Dispatch(effect, effSetBlockSize, 0, 4);
    effect->processReplacing(effect, inputs, outputs, 4);
    EXPECT_EQ(out[3], 0.5f);
}

TEST_F(TestPlugin, ParameterTextsAndValues) {
    AEffect* effect = Create(host);
    const struct {
        int index;
        float value;
        const char* name;
        const char* display;
    } cases[] = {{0, 0.25f, "Gain", "0.25"},
                 {1, 1.0f, "Bypass", "on"},
                 {2, 0.0f, "Mode", "Soft"},
                 {3, 0.5f, "Frequency", "0.250"}};
    for (const auto& c : cases) {
        effect->setParameter(effect, c.index, c.value);
        EXPECT_FLOAT_EQ(effect->getParameter(effect, c.index), c.value);
        char text[64] = {};
        Dispatch(effect, effGetParamName, c.index, 0, text);
        EXPECT_STREQ(text, c.name);
        Dispatch(effect, effGetParamDisplay, c.index, 0, text);
        EXPECT_STREQ(text, c.display);
        Dispatch(effect, effGetParamLabel, c.index, 0, text);
        EXPECT_STREQ(text, "");
    }
    EXPECT_EQ(host.Count(audioMasterAutomate), 0); // setParameter never reports back
}

TEST_F(TestPlugin, ProgramAndBankChunksTravelBetweenInstances) {
    AEffect* source = Create(host);
    Dispatch(source, effSetProgram, 0, 2);
    char name[] = "Quiet";
    Dispatch(source, effSetProgramName, 0, 0, name);
    source->setParameter(source, 0, 0.1f);
    const std::vector<uint8_t> program = Chunk(source, false);
    const std::vector<uint8_t> bank = Chunk(source, true);
    ASSERT_EQ(program.size(), 8u + 8 * 4 + 4 + 5);

    FakeHost otherHost;
    AEffect* target = Create(otherHost);
    EXPECT_EQ(SetChunk(target, true, bank), 1);
    EXPECT_EQ(ProgramName(target, 2), "Quiet");
    EXPECT_EQ(ProgramName(target, 0), "Unity");
    Dispatch(target, effSetProgram, 0, 2);
    EXPECT_FLOAT_EQ(target->getParameter(target, 0), 0.1f);

    FakeHost thirdHost;
    AEffect* third = Create(thirdHost);
    EXPECT_EQ(SetChunk(third, false, program), 1);
    EXPECT_FLOAT_EQ(third->getParameter(third, 0), 0.1f);
    EXPECT_EQ(ProgramName(third, 0), "Quiet"); // the current program takes name and values

    // Every cut and a corrupted length answer 0 and leave the plug-in working.
    for (size_t length = 0; length < bank.size(); ++length) {
        EXPECT_EQ(SetChunk(third, true, std::vector<uint8_t>(bank.begin(), bank.begin() + length)), 0)
            << length;
    }
    std::vector<uint8_t> corrupted = bank;
    const int32_t huge = 0x7FFFFFF0;
    std::memcpy(&corrupted[8], &huge, 4);
    EXPECT_EQ(SetChunk(third, true, corrupted), 0);
    EXPECT_EQ(Dispatch(third, effSetChunk, 0, -1, corrupted.data()), 0);
    EXPECT_EQ(SetChunk(third, true, bank), 1);
    EXPECT_EQ(ProgramName(third, 2), "Quiet");
}

TEST_F(TestPlugin, ChunkQuirkHostsExchangeBanksAsPrograms) {
    AEffect* source = Create(host);
    Dispatch(source, effSetProgram, 0, 1);
    source->setParameter(source, 0, 0.3f);
    const std::vector<uint8_t> bank = Chunk(source, true);

    for (const char* vendor : {"Native Instruments", "JUCE VST Host"}) {
        FakeHost quirk;
        quirk.vendor = vendor;
        AEffect* target = Create(quirk);
        const std::vector<uint8_t> asked = Chunk(target, true);
        EXPECT_EQ(asked.size(), 8u + 8 * 4 + 4 + 5) << vendor; // a program, though a bank was asked for
        // A bank handed over in the program call is read as a bank.
        EXPECT_EQ(SetChunk(target, false, bank), 1) << vendor;
        Dispatch(target, effSetProgram, 0, 1);
        EXPECT_FLOAT_EQ(target->getParameter(target, 0), 0.3f) << vendor;
    }
}

TEST_F(TestPlugin, AudioAndHostTempoThroughTheLibrary) {
    AEffect* effect = Create(host);
    Dispatch(effect, effOpen);
    Dispatch(effect, effSetBlockSize, 0, 16);
    Dispatch(effect, effMainsChanged, 0, 1);
    std::vector<double> in(40, 0.5), out(40, 0.0);
    double* inputs[] = {in.data(), in.data()};
    double* outputs[] = {out.data(), out.data()};
    effect->processDoubleReplacing(effect, inputs, outputs, 40);
    EXPECT_EQ(out[39], 0.25);
    EXPECT_EQ(host.Count(audioMasterGetTime), 1);
    EXPECT_EQ(host.Count(audioMasterWantMidi), 1);
}

TEST_F(TestPlugin, ConcurrentCreationIsSerialised) {
    std::atomic<int> created{0};
    std::vector<std::thread> threads;
    PluginLibrary::EntryPoint main = library->Entry("VSTPluginMain");
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([main, &created] {
            for (int i = 0; i < 25; ++i) {
                AEffect* effect = main(nullptr);
                if (effect != nullptr && effect->magic == kEffectMagic) {
                    ++created;
                    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(created.load(), 100);
}

TEST(TestPluginWithoutPrograms, StillReportsOneProgram) {
    PluginLibrary library(KSP_TEST_PLUGIN_NO_PROGRAMS);
    ASSERT_TRUE(library.Loaded());
    AEffect* effect = library.Entry("VSTPluginMain")(nullptr);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numPrograms, 1);
    char name[kVstMaxProgNameLen] = "x";
    EXPECT_EQ(effect->dispatcher(effect, effGetProgramNameIndexed, 0, 0, name, 0.0f), 0);
    EXPECT_STREQ(name, "");
    void* data = nullptr;
    EXPECT_GT(effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f), 0);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(TestPluginLibrary, LoadsAndUnloadsRepeatedly) {
    for (int i = 0; i < 3; ++i) {
        PluginLibrary library(KSP_TEST_PLUGIN);
        ASSERT_TRUE(library.Loaded());
        AEffect* effect = library.Entry("main")(nullptr);
        ASSERT_NE(effect, nullptr);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
}

} // namespace
