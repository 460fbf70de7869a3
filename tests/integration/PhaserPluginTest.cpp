// The phaser plug-in library as a host sees it: loaded through its entry point, driven through
// the descriptor, with a host that answers tempo and vendor queries.
#include "PluginLibrary.h"
#include "tests/formats/vst2/FakeHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The phaser's parameters in host order.
enum { kStages, kManual, kSpread, kFeedback, kLFOSpeed, kLFODepth, kMix, kSyncToHost, kStereo, kWaveform };

using Bytes = std::vector<uint8_t>;

constexpr double kPi = 3.14159265358979323846;
constexpr char kStateHeader[] = "Kestrunelle Phaser_2.0.1";
constexpr char kOldStateHeader[] = "Kestrunelle Phaser_2.0.0";

class Phaser : public ::testing::Test {
protected:
    static void SetUpTestSuite() { library = new PluginLibrary(KSP_PHASER_PLUGIN); }
    static void TearDownTestSuite() {
        delete library;
        library = nullptr;
    }

    AEffect* Open(FakeHost& host) {
        AEffect* effect = library->Entry("VSTPluginMain")(FakeHost::Callback);
        if (effect == nullptr) {
            return nullptr;
        }
        host.Attach(effect);
        opened.push_back(effect);
        Dispatch(effect, effOpen);
        Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(effect, effSetBlockSize, 0, 512);
        Dispatch(effect, effMainsChanged, 0, 1);
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
    static std::string Text(AEffect* effect, int32_t opcode, int32_t index = 0) {
        char text[256] = {};
        Dispatch(effect, opcode, index, 0, text);
        return text;
    }
    static Bytes Chunk(AEffect* effect, bool bank) {
        void* data = nullptr;
        const intptr_t size = Dispatch(effect, effGetChunk, bank ? 0 : 1, 0, &data);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return size > 0 ? Bytes(bytes, bytes + size) : Bytes();
    }
    static intptr_t SetChunk(AEffect* effect, bool bank, Bytes bytes) {
        return Dispatch(effect, effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(bytes.size()), bytes.data());
    }
    static std::vector<float> Values(AEffect* effect) {
        std::vector<float> values;
        for (int i = 0; i < effect->numParams; ++i) {
            values.push_back(effect->getParameter(effect, i));
        }
        return values;
    }
    // Runs a 1 kHz sine through the plug-in and answers the level of channel 0 in 10 ms windows.
    static std::vector<double> Envelope(AEffect* effect, double seconds) {
        const int window = 441;
        const int windows = static_cast<int>(seconds * 100);
        std::vector<float> in(static_cast<size_t>(window)), out0(in.size()), out1(in.size());
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {out0.data(), out1.data()};
        std::vector<double> levels;
        long n = 0;
        for (int w = 0; w < windows; ++w) {
            for (float& v : in) {
                v = static_cast<float>(0.5 *
                                       std::sin(2.0 * kPi * 1000.0 * static_cast<double>(n++) / 44100.0));
            }
            effect->processReplacing(effect, inputs, outputs, window);
            double sum = 0.0;
            for (float v : out0) {
                sum += static_cast<double>(v) * v;
            }
            levels.push_back(std::sqrt(sum / window));
        }
        return levels;
    }
    // How much the level differs from itself lag windows later, relative to its variance.
    static double Mismatch(const std::vector<double>& levels, int lag) {
        double mean = 0.0;
        for (double level : levels) {
            mean += level / static_cast<double>(levels.size());
        }
        double variance = 0.0;
        for (double level : levels) {
            variance += (level - mean) * (level - mean) / static_cast<double>(levels.size());
        }
        double difference = 0.0;
        const size_t count = levels.size() - static_cast<size_t>(lag);
        for (size_t i = 0; i < count; ++i) {
            const double d = levels[i] - levels[i + static_cast<size_t>(lag)];
            difference += d * d / static_cast<double>(count);
        }
        return difference / variance;
    }

    static PluginLibrary* library;
    FakeHost host;
    std::vector<AEffect*> opened;
};

PluginLibrary* Phaser::library = nullptr;

TEST_F(Phaser, DescriptorNamesAndPrograms) {
    ASSERT_TRUE(library->Loaded());
    AEffect* effect = Open(host);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->uniqueID, 0x6B737068);
    EXPECT_EQ(effect->version, 20002);
    EXPECT_EQ(effect->flags, 0x1030 | effFlagsHasEditor);
    EXPECT_EQ(effect->numParams, 10);
    EXPECT_EQ(effect->numPrograms, 10);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(Text(effect, effGetEffectName), "Kestrunelle Phaser");
    EXPECT_EQ(Text(effect, effGetVendorString), "Kestrunelle Dadid");
    EXPECT_EQ(Text(effect, effGetProductString), "");
    EXPECT_EQ(Dispatch(effect, effGetVendorVersion), 20002);
    EXPECT_EQ(Dispatch(effect, effGetPlugCategory), kPlugCategEffect);
    const char* programs[] = {"default",  "Orbitesque", "Uni-Vibe", "8-Stager",   "8-Viber",
                              "Wash out", "Comfort",    "Vibrato",  "Feedbacker", "Aliens"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Text(effect, effGetProgramNameIndexed, i), programs[i]);
    }
    VstPinProperties pin = {};
    EXPECT_EQ(Dispatch(effect, effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Kestrunelle Phaser ");
    EXPECT_EQ(pin.flags, 3);
    ERect* rect = nullptr;
    // The editor's size; a parent that is no window gives no editor.
    ASSERT_EQ(Dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 720);
    EXPECT_EQ(rect->bottom - rect->top, 174);
    EXPECT_EQ(Dispatch(effect, effEditOpen, 0, 0, &rect), 0);
}

TEST_F(Phaser, ParameterNamesAndTextsAsTheHostShowsThem) {
    AEffect* effect = Open(host);
    const char* names[] = {"Stages",   "Manual", "Spread",       "Feedback", "LFOSpeed",
                           "LFODepth", "Mix",    "Sync to Host", "Stereo",   "Waveform"};
    const char* defaults[] = {"4", "1000Hz", "0%", "0%", "0.15Hz", "50%", "50:50", "OFF", "0%", "Triangle"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Text(effect, effGetParamName, i), names[i]);
        EXPECT_EQ(Text(effect, effGetParamDisplay, i), defaults[i]) << names[i];
        EXPECT_EQ(Text(effect, effGetParamLabel, i), "");
    }
    effect->setParameter(effect, kMix, 1.0f);
    EXPECT_EQ(Text(effect, effGetParamDisplay, kMix), "Wet");
    char on[] = "on", nan[] = "nan";
    EXPECT_EQ(Dispatch(effect, effString2Parameter, kStages, 0, on), 1);
    EXPECT_EQ(Text(effect, effGetParamDisplay, kStages), "8");
    EXPECT_EQ(Dispatch(effect, effString2Parameter, kFeedback, 0, nan), 0);
    effect->setParameter(effect, kSyncToHost, 1.0f);
    effect->setParameter(effect, kLFOSpeed, 1.0f);
    EXPECT_EQ(Text(effect, effGetParamDisplay, kLFOSpeed), "1/16");
    char display[64] = {};
    EXPECT_EQ(Dispatch(effect, effVendorSpecific, 7, kWaveform, display, 0.0f), 0xBEEF);
    EXPECT_STREQ(display, "Sine");
    EXPECT_EQ(Dispatch(effect, effVendorSpecific, 8, kWaveform), 0xBEEF);
    EXPECT_EQ(Dispatch(effect, effVendorSpecific, 8, kMix), 0);
    EXPECT_EQ(host.Count(audioMasterAutomate), 0); // setParameter never reports back
}

TEST_F(Phaser, EveryOpcodeIsSafeWithoutPointers) {
    AEffect* effect = Open(host);
    for (int32_t opcode = 0; opcode <= 80; ++opcode) {
        if (opcode != effClose) {
            Dispatch(effect, opcode, 0, 0);
            Dispatch(effect, opcode, -1, 0);
        }
    }
    EXPECT_EQ(Dispatch(effect, effIdentify), 0x4E764566);
    std::vector<float> in(256, 0.25f), out0(256), out1(256);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    Dispatch(effect, effSetBlockSize, 0, 256);
    effect->processReplacing(effect, inputs, outputs, 256);
    for (float v : out0) {
        ASSERT_TRUE(std::isfinite(v));
    }
}

TEST_F(Phaser, ProgramAndBankChunksRoundTrip) {
    AEffect* source = Open(host);
    Dispatch(source, effSetProgram, 0, 4);
    source->setParameter(source, kFeedback, 0.2f);
    const Bytes program = Chunk(source, false);
    ASSERT_EQ(program.size(), 8u + 24 + 80 + 4 + 7);
    EXPECT_EQ(std::memcmp(&program[8], kStateHeader, 24), 0);
    const Bytes bank = Chunk(source, true);

    FakeHost otherHost;
    AEffect* target = Open(otherHost);
    EXPECT_EQ(SetChunk(target, false, program), 1);
    EXPECT_EQ(Values(target), Values(source));
    EXPECT_EQ(Text(target, effGetProgramName), "8-Viber");

    FakeHost thirdHost;
    AEffect* third = Open(thirdHost);
    Dispatch(third, effSetProgram, 0, 4);
    EXPECT_EQ(SetChunk(third, true, bank), 1);
    EXPECT_EQ(Values(third), Values(source)); // program 4 as the source left it
    Dispatch(third, effSetProgram, 0, 9);
    Dispatch(source, effSetProgram, 0, 9);
    EXPECT_EQ(Values(third), Values(source));
}

TEST_F(Phaser, OlderStatesLoadWithTheirMissingParameters) {
    AEffect* effect = Open(host);
    auto chunk = [](const char* header, int values, const char* name) {
        Bytes bytes = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
        if (header != nullptr) {
            bytes.insert(bytes.end(), header, header + 24);
        }
        for (int i = 0; i < values; ++i) {
            const double v = i == kStages ? 1.0 : 0.75;
            const auto* b = reinterpret_cast<const uint8_t*>(&v);
            bytes.insert(bytes.end(), b, b + 8);
        }
        const auto length = static_cast<int32_t>(std::strlen(name));
        const auto* l = reinterpret_cast<const uint8_t*>(&length);
        bytes.insert(bytes.end(), l, l + 4);
        bytes.insert(bytes.end(), name, name + length);
        return bytes;
    };
    effect->setParameter(effect, kWaveform, 1.0f);
    EXPECT_EQ(SetChunk(effect, false, chunk(kOldStateHeader, 9, "Two Oh")), 1);
    EXPECT_EQ(Text(effect, effGetParamDisplay, kStages), "8");
    EXPECT_FLOAT_EQ(effect->getParameter(effect, kStereo), 0.75f);
    EXPECT_EQ(Text(effect, effGetParamDisplay, kWaveform), "Sine");
    EXPECT_EQ(Text(effect, effGetProgramName), "Two Oh");

    effect->setParameter(effect, kSyncToHost, 1.0f);
    EXPECT_EQ(SetChunk(effect, false, chunk(nullptr, 7, "Bare")), 1);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, kMix), 0.75f);
    EXPECT_EQ(Text(effect, effGetParamDisplay, kSyncToHost), "OFF");
    EXPECT_EQ(Text(effect, effGetParamDisplay, kStereo), ">100%<");
    EXPECT_EQ(Text(effect, effGetProgramName), "Bare");
}

TEST_F(Phaser, CutAndCorruptedChunksAnswerZeroAndTheEffectPlaysOn) {
    AEffect* source = Open(host);
    const Bytes bank = Chunk(source, true);
    const Bytes program = Chunk(source, false);
    FakeHost otherHost;
    AEffect* target = Open(otherHost);
    for (size_t length = 0; length < bank.size(); length += 7) {
        EXPECT_EQ(SetChunk(target, true, Bytes(bank.begin(), bank.begin() + length)), 0) << length;
    }
    for (size_t length = 0; length < program.size() - 7 - 4; ++length) {
        EXPECT_EQ(SetChunk(target, false, Bytes(program.begin(), program.begin() + length)), 0) << length;
    }
    Bytes corrupted = bank;
    for (size_t at = 8; at + 4 <= corrupted.size(); at += 97) {
        const uint32_t garbage = 0x80000000u + static_cast<uint32_t>(at);
        std::memcpy(&corrupted[at], &garbage, 4);
    }
    const intptr_t answer = SetChunk(target, true, corrupted);
    EXPECT_TRUE(answer == 0 || answer == 1);
    EXPECT_EQ(Dispatch(target, effSetChunk, 0, -5, corrupted.data()), 0);
    for (float v : Values(target)) {
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, 1.0f);
    }
    EXPECT_EQ(SetChunk(target, true, bank), 1);
    EXPECT_EQ(Values(target), Values(source));
    const std::vector<double> levels = Envelope(target, 0.1);
    for (double level : levels) {
        ASSERT_TRUE(std::isfinite(level));
    }
}

TEST_F(Phaser, ChunkQuirkHostsGetProgramsAndMayHandBanksBack) {
    AEffect* source = Open(host);
    Dispatch(source, effSetProgram, 0, 7);
    source->setParameter(source, kSpread, 0.3f);
    const Bytes bank = Chunk(source, true);
    for (const char* vendor : {"Native Instruments", "JUCE VST Host"}) {
        FakeHost quirk;
        quirk.vendor = vendor;
        AEffect* target = Open(quirk);
        EXPECT_EQ(Chunk(target, true).size(), 8u + 24 + 80 + 4 + 7) << vendor; // "default"
        EXPECT_EQ(SetChunk(target, false, bank), 1) << vendor;
        Dispatch(target, effSetProgram, 0, 7);
        EXPECT_EQ(Values(target), Values(source)) << vendor;
    }
}

TEST_F(Phaser, SynchronisedLfoFollowsTheHostTempo) {
    for (const double tempo : {120.0, 60.0}) {
        FakeHost tempoHost;
        tempoHost.time.flags = kVstTempoValid;
        tempoHost.time.tempo = tempo;
        AEffect* effect = Open(tempoHost);
        effect->setParameter(effect, kLFODepth, 1.0f);
        effect->setParameter(effect, kSyncToHost, 1.0f);
        effect->setParameter(effect, kLFOSpeed, 14.0f / 19.0f); // a quarter note
        EXPECT_EQ(Text(effect, effGetParamDisplay, kLFOSpeed), "1/4");
        const std::vector<double> levels = Envelope(effect, 3.0);
        // One sweep per beat: the level repeats after 0.5 s at 120 beats per minute, after 1 s
        // at 60, and half a sweep later it differs.
        const int period = tempo == 120.0 ? 50 : 100;
        EXPECT_LT(Mismatch(levels, period), 0.01) << tempo;
        EXPECT_GT(Mismatch(levels, period / 2), 0.2) << tempo;
        EXPECT_EQ(tempoHost.timeFilters.size(), 300u); // once per block
        EXPECT_EQ(tempoHost.timeFilters.back(), 0x3E00);
    }

    FakeHost freeHost;
    AEffect* effect = Open(freeHost);
    Envelope(effect, 0.1);
    EXPECT_TRUE(freeHost.timeFilters.empty()); // free-running: no time queries
}

TEST_F(Phaser, LongerBlocksThanAnnouncedLoseNothing) {
    FakeHost wholeHost, piecesHost;
    AEffect* whole = Open(wholeHost);
    AEffect* pieces = Open(piecesHost);
    Dispatch(whole, effSetBlockSize, 0, 1024);
    Dispatch(pieces, effSetBlockSize, 0, 64);
    std::vector<float> in(1000);
    for (size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    }
    std::vector<float> a0(1000), a1(1000), b0(1000), b1(1000);
    float* inputs[] = {in.data(), in.data()};
    float* wholeOut[] = {a0.data(), a1.data()};
    float* piecesOut[] = {b0.data(), b1.data()};
    whole->processReplacing(whole, inputs, wholeOut, 1000);
    pieces->processReplacing(pieces, inputs, piecesOut, 1000);
    EXPECT_EQ(a0, b0);
    EXPECT_EQ(a1, b1);
}

} // namespace
