#include "VstFixture.h"
#include "tests/core/FakeEditor.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using Dispatcher = VstFixture;
using Log = std::vector<std::string>;

TEST_F(Dispatcher, OpenIdentifiesTheHostThenNotifiesEveryParameter) {
    host.product = "REAPER";
    host.vendorVersion = 50012;
    EXPECT_EQ(Dispatch(effOpen), 0);
    EXPECT_EQ(plugin->log, (Log{"host 1", "param 0", "param 1", "param 2", "param 3"}));
    EXPECT_EQ(plugin->HostVersion(), 0x0005000C);
    plugin->log.clear();
    Dispatch(effOpen); // the host is identified once
    EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
    EXPECT_EQ(plugin->log.size(), 4u);
}

TEST_F(Dispatcher, TwoChannelHostsSilenceFurtherInputs) {
    const struct {
        const char* product;
        bool disconnects;
    } cases[] = {
        {"Forte", true}, {"Adobe Audition", true}, {"Orion", true}, {"SAWStudio", true}, {"REAPER", false}};
    for (const auto& c : cases) {
        TestEffectSetup setup;
        setup.channelIO = "3-3";
        Make(setup);
        host.product = c.product;
        plugin->OutputChannelAt(2)->connected = false;
        Dispatch(effOpen);
        EXPECT_EQ(plugin->InputChannelAt(2)->connected, !c.disconnects) << c.product;
        EXPECT_TRUE(plugin->InputChannelAt(1)->connected) << c.product;
        EXPECT_EQ(plugin->OutputChannelAt(2)->connected, c.disconnects) << c.product;
        EXPECT_EQ(effect->numInputs, 3);
    }
}

TEST_F(Dispatcher, ProgramsAreSelectedNamedAndListed) {
    EXPECT_EQ(Dispatch(effGetProgram), 0);
    char name[kVstMaxProgNameLen] = "x";
    Dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Unity");
    EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 1, 0, name), 1);
    EXPECT_STREQ(name, "empty"); // VSTPluginMain fills unused slots; this test made the effect itself
    EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 3, 0, name), 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);

    plugin->FillUnusedPresets(3);
    effect->setParameter(effect, kGain, 0.25f);
    Dispatch(effSetProgram, 0, 1); // the edit goes into program 0 before it is left
    EXPECT_EQ(Dispatch(effGetProgram), 1);
    EXPECT_EQ(effect->getParameter(effect, kGain), 0.5f);
    Dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(effect->getParameter(effect, kGain), 0.25f);

    // (1 << 32) + 1 would name program 1 if it were cut to 32 bits.
    const intptr_t outOfRange[] = {-1, 3, static_cast<intptr_t>(INT32_MIN), (intptr_t{1} << 32) + 1};
    for (intptr_t program : outOfRange) {
        Dispatch(effSetProgram, 0, program);
        EXPECT_EQ(Dispatch(effGetProgram), 0);
    }

    plugin->log.clear();
    char renamed[] = "Renamed";
    Dispatch(effSetProgramName, 0, 0, renamed);
    EXPECT_STREQ(plugin->PresetName(0), "Renamed");
    EXPECT_EQ(plugin->log, Log{"preset 0"});
    Dispatch(effSetProgramName, 0, 0, nullptr);
    EXPECT_EQ(plugin->log.size(), 1u);
}

TEST_F(Dispatcher, HostTextsAreCutToTheirCapacities) {
    const std::string longText(300, 'w');
    TestEffectSetup setup;
    setup.effectName = setup.productName = setup.makerName = longText.c_str();
    Make(setup);
    char renamed[40];
    std::memset(renamed, 'p', sizeof renamed - 1);
    renamed[sizeof renamed - 1] = '\0';
    Dispatch(effSetProgramName, 0, 0, renamed);

    const struct {
        int32_t opcode;
        size_t capacity;
    } cases[] = {{effGetEffectName, 32},
                 {effGetVendorString, 64},
                 {effGetProductString, 64},
                 {effGetProgramName, 24},
                 {effGetProgramNameIndexed, 24}};
    for (const auto& c : cases) {
        char buffer[400];
        std::memset(buffer, '#', sizeof buffer);
        Dispatch(c.opcode, 0, 0, buffer);
        EXPECT_EQ(std::strlen(buffer), c.capacity - 1) << c.opcode;
        EXPECT_EQ(buffer[c.capacity], '#') << c.opcode;
    }
    EXPECT_EQ(Dispatch(effGetEffectName), 0);
    EXPECT_EQ(Dispatch(effGetVendorString), 0);
    EXPECT_EQ(Dispatch(effGetProductString), 0);

    Make();
    char text[64];
    EXPECT_EQ(Dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Test Effect");
    Dispatch(effGetVendorString, 0, 0, text);
    EXPECT_STREQ(text, "Test Maker");
    Dispatch(effGetProductString, 0, 0, text);
    EXPECT_STREQ(text, "Test Product");
}

TEST_F(Dispatcher, ParameterTexts) {
    const struct {
        int index;
        const char* name;
        const char* display;
    } cases[] = {{kGain, "Gain", "0.50"},
                 {kBypass, "Bypass", "off"},
                 {kMode, "Mode", "Medium"},
                 {kFrequency, "Frequency", "0.250"}};
    for (const auto& c : cases) {
        char text[64] = "x";
        Dispatch(effGetParamName, c.index, 0, text);
        EXPECT_STREQ(text, c.name);
        Dispatch(effGetParamDisplay, c.index, 0, text);
        EXPECT_STREQ(text, c.display);
        Dispatch(effGetParamLabel, c.index, 0, text);
        EXPECT_STREQ(text, "");
    }
    for (int index : {-1, static_cast<int>(kTestParameterCount)}) {
        for (int32_t opcode : {effGetParamName, effGetParamDisplay, effGetParamLabel}) {
            char text[8] = "kept";
            EXPECT_EQ(Dispatch(opcode, index, 0, text), 0);
            EXPECT_STREQ(text, "kept");
            Dispatch(opcode, 0, 0, nullptr); // a null text does nothing
        }
    }
}

TEST_F(Dispatcher, RateBlockSizeAndActivationReachTheEffect) {
    Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(plugin->SampleRate(), 48000.0);
    Dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(plugin->BlockSize(), 256);
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(plugin->log, (Log{"reset", "reset", "resume", "param 0", "param 1", "param 2", "param 3",
                                "suspend", "reset"}));
}

TEST_F(Dispatcher, EditorOpcodesWithoutAndWithAnEditor) {
    int parent = 0;
    ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 0);
    EXPECT_EQ(Dispatch(effEditClose), 0);
    EXPECT_EQ(Dispatch(effEditIdle), 0);
    EXPECT_EQ(Dispatch(effIdle), 0);

    bool destroyed = false;
    auto* editor = new FakeEditor(plugin, &destroyed);
    plugin->AttachEditor(std::unique_ptr<IEditor>(editor));
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(editor->IsWindowOpen());
    EXPECT_EQ(Dispatch(effEditClose), 1);
    EXPECT_FALSE(editor->IsWindowOpen());
    editor->opens = false;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 0);
    Close();
    EXPECT_TRUE(destroyed); // effClose destroys the plug-in and its editor
}

TEST_F(Dispatcher, FixedAnswers) {
    const struct {
        int32_t opcode;
        intptr_t answer;
    } cases[] = {{effIdentify, 0x4E764566},
                 {effCanBeAutomated, 1},
                 {effGetPlugCategory, kPlugCategEffect},
                 {effGetVendorVersion, 10203},
                 {effGetTailSize, 0},
                 {effGetVstVersion, 2400},
                 {9, 0},
                 {effProcessVarIo, 0},
                 {effShellGetNextPlugin, 0},
                 {100, 0},
                 {-1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(Dispatch(c.opcode), c.answer) << c.opcode;
    }
    TestEffectSetup setup;
    setup.isInstrument = true;
    Make(setup);
    EXPECT_EQ(Dispatch(effGetPlugCategory), kPlugCategSynth);
}

TEST_F(Dispatcher, StringToParameter) {
    auto* editor = new FakeEditor(plugin);
    plugin->AttachEditor(std::unique_ptr<IEditor>(editor));
    editor->values.clear();
    char on[] = "on", yes[] = "yes", five[] = "5", nan[] = "nan", inf[] = "inf", half[] = "0.5";

    EXPECT_EQ(Dispatch(effString2Parameter, kBypass, 0, on), 1);
    EXPECT_EQ(plugin->ParameterAt(kBypass)->Value(), 1.0);
    EXPECT_EQ(Dispatch(effString2Parameter, kBypass, 0, yes), 0);
    EXPECT_EQ(plugin->ParameterAt(kBypass)->Value(), 1.0);
    EXPECT_EQ(Dispatch(effString2Parameter, kBypass, 0, nullptr), 1);

    EXPECT_EQ(Dispatch(effString2Parameter, kGain, 0, five), 1);
    EXPECT_EQ(plugin->ParameterAt(kGain)->Value(), 1.0);
    ASSERT_EQ(editor->values.size(), 2u);
    EXPECT_EQ(editor->values[1].value, 1.0); // the text's value 5, normalised by the editor

    for (char* text : {nan, inf}) {
        EXPECT_EQ(Dispatch(effString2Parameter, kGain, 0, text), 0) << text;
        EXPECT_EQ(plugin->ParameterAt(kGain)->Value(), 1.0) << text;
    }
    EXPECT_EQ(editor->values.size(), 2u);
    EXPECT_EQ(Dispatch(effString2Parameter, -1, 0, half), 0);
    EXPECT_EQ(Dispatch(effString2Parameter, kTestParameterCount, 0, nullptr), 0);
    EXPECT_EQ(plugin->log.back(), "param " + std::to_string(kGain));
}

TEST_F(Dispatcher, PinPropertiesPairChannelsIntoStereo) {
    TestEffectSetup setup;
    setup.channelIO = "3-3";
    Make(setup);
    const struct {
        int32_t opcode;
        int index;
        VstInt32 flags;
        const char* label;
    } cases[] = {{effGetInputProperties, 0, 3, "Kestrunelle Phaser "},
                 {effGetInputProperties, 1, 1, "Kestrunelle Phaser "},
                 {effGetInputProperties, 2, 1, "Input 3"},
                 {effGetOutputProperties, 2, 1, "Output 3"}};
    for (const auto& c : cases) {
        VstPinProperties pin;
        std::memset(&pin, 0x55, sizeof pin);
        EXPECT_EQ(Dispatch(c.opcode, c.index, 0, &pin), 1);
        EXPECT_EQ(pin.flags, c.flags);
        EXPECT_STREQ(pin.label, c.label);
        EXPECT_EQ(pin.arrangementType, 0x55555555); // left as the host passed it
    }
    VstPinProperties pin;
    EXPECT_EQ(Dispatch(effGetInputProperties, 3, 0, &pin), 0);
    EXPECT_EQ(Dispatch(effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, nullptr), 0);

    Make();
    EXPECT_EQ(Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 3);
}

TEST_F(Dispatcher, SpeakerArrangementCountsAreClampedIntoRange) {
    const struct {
        VstInt32 inputs;
        bool first, second;
    } cases[] = {{1, true, false}, {-5, false, false}, {99, true, true}, {2, true, true}, {0, false, false}};
    for (const auto& c : cases) {
        VstSpeakerArrangement inputs = {};
        inputs.numChannels = c.inputs;
        VstSpeakerArrangement outputs = {};
        outputs.numChannels = 2;
        EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inputs), &outputs), 1);
        EXPECT_EQ(plugin->InputChannelAt(0)->connected, c.first) << c.inputs;
        EXPECT_EQ(plugin->InputChannelAt(1)->connected, c.second) << c.inputs;
        EXPECT_TRUE(plugin->OutputChannelAt(1)->connected);
    }
    EXPECT_EQ(Dispatch(effSetSpeakerArrangement), 1);
}

TEST_F(Dispatcher, EventsReachTheEffect) {
    VstMidiEvent note = {};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.deltaFrames = 12;
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 64;
    note.midiData[2] = 100;
    char dump[5] = {};
    VstMidiSysexEvent sysex = {};
    sysex.type = kVstSysExType;
    sysex.dumpBytes = 5;
    sysex.sysexDump = dump;
    VstEvent other = {};
    other.type = 3;
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[4];
    } events = {
        4, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &other, reinterpret_cast<VstEvent*>(&sysex)}};

    EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &events), 1);
    ASSERT_EQ(host.midiOut.size(), 1u); // the base passes MIDI back out
    EXPECT_EQ(host.midiOut[0].deltaFrames, 12);
    EXPECT_EQ(static_cast<uint8_t>(host.midiOut[0].midiData[0]), 0x90);
    EXPECT_EQ(host.midiOut[0].midiData[2], 100);
    EXPECT_EQ(plugin->sysExSize, 5);
    EXPECT_EQ(Dispatch(effProcessEvents), 0);
}

TEST_F(Dispatcher, VendorSpecificQueries) {
    char text[64] = "kept";
    EXPECT_EQ(Dispatch(effVendorSpecific, 7, kGain, text, 0.25f), 0xBEEF);
    EXPECT_STREQ(text, "0.25");
    EXPECT_EQ(Dispatch(effVendorSpecific, 7, kMode, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "Hard");
    std::strcpy(text, "kept");
    EXPECT_EQ(Dispatch(effVendorSpecific, 7, kTestParameterCount, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "kept");
    EXPECT_EQ(Dispatch(effVendorSpecific, 7, kGain, nullptr, 0.5f), 0);
    EXPECT_EQ(Dispatch(effVendorSpecific, 7, kGain, text, 7.0f), 0xBEEF);
    EXPECT_STREQ(text, "1.00"); // held to the normalised range

    EXPECT_EQ(Dispatch(effVendorSpecific, 8, kBypass), 0xBEEF);
    EXPECT_EQ(Dispatch(effVendorSpecific, 8, kMode), 0xBEEF);
    EXPECT_EQ(Dispatch(effVendorSpecific, 8, kGain), 0);
    EXPECT_EQ(Dispatch(effVendorSpecific, 8, -1), 0);
    EXPECT_EQ(Dispatch(effVendorSpecific, 9, kBypass), 0);
}

TEST_F(Dispatcher, CanDoAnswers) {
    const intptr_t cockos = static_cast<intptr_t>(static_cast<uint32_t>(0xBEEF0000u));
    const struct {
        const char* capability;
        intptr_t withMidi, withoutMidi;
    } cases[] = {{"receiveVstTimeInfo", 1, 1},
                 {"sendVstEvents", 1, 0},
                 {"sendVstMidiEvent", 1, 0},
                 {"receiveVstEvents", 1, 0},
                 {"receiveVstMidiEvent", 1, 0},
                 {"hasCockosExtensions", cockos, cockos},
                 {"hasCockosViewAsConfig", cockos, cockos},
                 {"ReceiveVstTimeInfo", 0, 0},
                 {"offline", 0, 0}};
    for (bool midi : {true, false}) {
        TestEffectSetup setup;
        setup.acceptsMidi = midi;
        Make(setup);
        for (const auto& c : cases) {
            EXPECT_EQ(Dispatch(effCanDo, 0, 0, const_cast<char*>(c.capability)),
                      midi ? c.withMidi : c.withoutMidi)
                << c.capability;
        }
        EXPECT_EQ(Dispatch(effCanDo), 0);
    }
}

TEST_F(Dispatcher, MidiKeyNamesAreEmpty) {
    MidiKeyName key = {};
    key.thisKeyNumber = 60;
    std::strcpy(key.keyName, "C4");
    EXPECT_EQ(Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
    EXPECT_EQ(Dispatch(effGetMidiKeyName), 0);
}

TEST_F(Dispatcher, ChunksByIndexAndForChunkQuirkHosts) {
    plugin->FillUnusedPresets(3);
    void* data = nullptr;
    const intptr_t bank = Dispatch(effGetChunk, 0, 0, &data);
    const intptr_t program = Dispatch(effGetChunk, 1, 0, &data);
    EXPECT_GT(bank, program);
    EXPECT_EQ(program, 8 + 8 * kTestParameterCount + 4 + 5);
    EXPECT_EQ(Dispatch(effGetChunk, 0, 0, nullptr), 0);
    EXPECT_EQ(Dispatch(effSetChunk, 1, program, nullptr), 0);
    EXPECT_EQ(Dispatch(effSetChunk, 1, program, data), 1);
    EXPECT_EQ(host.Count(audioMasterGetVendorString), 1); // asked once, then remembered

    for (const char* vendor : {"Native Instruments", "JUCE VST Host", "juce vst host"}) {
        Make();
        host.vendor = vendor;
        EXPECT_EQ(Dispatch(effGetChunk, 0, 0, &data), program) << vendor; // a bank request gets a program
    }
    Make();
    plugin->FillUnusedPresets(3);
    host.vendor = "Native Instruments GmbH";
    EXPECT_EQ(Dispatch(effGetChunk, 0, 0, &data), bank);
}

} // namespace
