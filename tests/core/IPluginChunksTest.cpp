#include "FakeEditor.h"
#include "TestPlugin.h"

#include <gtest/gtest.h>

#include <memory>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes GetChunk(TestPlugin& plugin, bool isBank) {
    void* data = nullptr;
    const int32_t size = plugin.GetChunk(&data, isBank);
    if (size <= 0) {
        return {};
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

int32_t SetChunk(TestPlugin& plugin, const Bytes& bytes, bool isBank, bool quirkHost = false) {
    return plugin.SetChunk(bytes.data(), static_cast<int64_t>(bytes.size()), isBank, quirkHost);
}

Bytes BytesOf(const IByteBuffer& buffer) {
    return Bytes(buffer.Data(), buffer.Data() + buffer.Size());
}

// A plug-in whose four programs hold distinct values and names.
void MakePrograms(TestPlugin& plugin) {
    const char* names[] = {"Zero", "One", "Two", "Three"};
    for (int i = 0; i < 4; ++i) {
        plugin.SetValues(0.5 + 0.1 * i, 1.0 - 0.1 * i);
        plugin.LoadPreset(i);
        plugin.ModifyCurrentPreset(names[i]);
    }
    plugin.LoadPreset(2);
}

TEST(IPluginChunks, HeaderIsMagicThenVersion) {
    IByteBuffer buffer;
    buffer.PutInt32(99);
    IPluginBase::PutChunkHeader(buffer);
    const uint8_t expected[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    ASSERT_EQ(buffer.Size(), 8);
    EXPECT_EQ(std::memcmp(buffer.Data(), expected, 8), 0);

    int pos = 0;
    EXPECT_EQ(IPluginBase::ReadChunkHeader(buffer, pos), kChunkVersion);
    EXPECT_EQ(pos, 8);

    IByteBuffer bare;
    bare.PutDouble(0.5);
    pos = 0;
    EXPECT_EQ(IPluginBase::ReadChunkHeader(bare, pos), 0);
    EXPECT_EQ(pos, 0);

    IByteBuffer cut;
    cut.PutInt32(kChunkMagic);
    cut.PutByte(0);
    pos = 0;
    EXPECT_EQ(IPluginBase::ReadChunkHeader(cut, pos), 0);
    EXPECT_EQ(pos, -1);
}

TEST(IPluginChunks, ProgramChunkHoldsHeaderStateAndName) {
    TestPlugin plugin;
    plugin.FillUnusedPresets(4);
    plugin.ModifyCurrentPreset("Lead");
    plugin.SetValues(0.6, 0.8);
    const Bytes chunk = GetChunk(plugin, false);
    ASSERT_EQ(chunk.size(), 4u + 4 + 16 + 4 + 4);
    double second = 0;
    std::memcpy(&second, &chunk[16], 8);
    EXPECT_EQ(second, 0.8);
    EXPECT_EQ(std::memcmp(&chunk[28], "Lead", 4), 0);

    plugin.SetValues(1.0, 1.0);
    plugin.ModifyCurrentPreset("Other");
    EXPECT_EQ(SetChunk(plugin, chunk, false), 1);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.6);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.8);
    EXPECT_STREQ(plugin.PresetName(0), "Lead");
    double stored = 0;
    plugin.PresetAt(0)->state.GetDouble(0, stored);
    EXPECT_EQ(stored, 0.6); // the loaded values went into the current program
}

TEST(IPluginChunks, BankChunkRestoresEveryProgram) {
    TestPlugin source;
    MakePrograms(source);
    source.SetValues(0.55, 0.95); // edits of the current program are saved with the bank
    const Bytes bank = GetChunk(source, true);

    TestPlugin target;
    auto* editor = new FakeEditor(&target);
    target.AttachEditor(std::unique_ptr<IEditor>(editor));
    EXPECT_EQ(SetChunk(target, bank, true), 1);
    const char* names[] = {"Zero", "One", "Two", "Three"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(target.PresetName(i), names[i]);
        EXPECT_TRUE(target.PresetAt(i)->initialised);
        EXPECT_EQ(BytesOf(target.PresetAt(i)->state), BytesOf(source.PresetAt(i)->state)) << i;
    }
    // The target's current program is 0: its values are loaded.
    EXPECT_EQ(target.ParameterAt(0)->Value(), 0.5);
    EXPECT_EQ(target.ParameterAt(1)->Value(), 1.0);
    EXPECT_FALSE(editor->values.empty());
}

TEST(IPluginChunks, DataWithoutMagicIsReadAsAProgramFromItsFirstByte) {
    TestPlugin plugin;
    plugin.FillUnusedPresets(4);
    IByteBuffer bare;
    bare.PutDouble(0.6);
    bare.PutDouble(0.7);
    EXPECT_EQ(SetChunk(plugin, BytesOf(bare), true), 1);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.6);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.7);
    EXPECT_STREQ(plugin.PresetName(0), "Empty"); // ends after the state: the name stays
}

TEST(IPluginChunks, CutHeaderFailsAsAProgram) {
    TestPlugin plugin;
    plugin.SetValues(0.6, 0.7);
    Bytes cut = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00};
    EXPECT_EQ(SetChunk(plugin, cut, false), 0);
    EXPECT_EQ(SetChunk(plugin, cut, true), 0);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.6);
}

TEST(IPluginChunks, UnserializeParamsStopsAtTheFirstMissingValue) {
    TestPlugin plugin;
    plugin.log.clear();
    IByteBuffer buffer;
    buffer.PutDouble(0.9);
    buffer.PutInt32(0);
    EXPECT_EQ(plugin.UnserializeParams(buffer, 0), -1);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.9);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.5); // 0 clamped into 0.5..1
    EXPECT_EQ(plugin.log, (std::vector<std::string>{"param 0", "param 1"}));

    IByteBuffer stored;
    stored.PutDouble(7.0);
    stored.PutDouble(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(plugin.UnserializeParams(stored, 0), 16);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 1.0);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.5); // NaN keeps the value
}

TEST(IPluginChunks, QuirkHostRereadsAnyInexactProgramAsABank) {
    TestPlugin source;
    MakePrograms(source);
    const Bytes bank = GetChunk(source, true);

    TestPlugin quirk;
    EXPECT_EQ(SetChunk(quirk, bank, false, true), 1);
    EXPECT_STREQ(quirk.PresetName(3), "Three");
    EXPECT_EQ(BytesOf(quirk.PresetAt(1)->state), BytesOf(source.PresetAt(1)->state));

    // An exact program chunk is taken as a program only.
    const Bytes program = GetChunk(source, false);
    TestPlugin exact;
    EXPECT_EQ(SetChunk(exact, program, false, true), 1);
    EXPECT_STREQ(exact.PresetName(0), "Two");
    EXPECT_STREQ(exact.PresetName(1), "empty");

    // Elsewhere a bank handed over as a program is read as a program that ends in garbage.
    TestPlugin plain;
    EXPECT_EQ(SetChunk(plain, bank, false), 1);
    EXPECT_STREQ(plain.PresetName(1), "empty");
}

TEST(IPluginChunks, BadCountsAndPointersCopyNothing) {
    TestPlugin plugin;
    plugin.FillUnusedPresets(4);
    plugin.SetValues(0.6, 0.7);
    const Bytes program = GetChunk(plugin, false);
    const Bytes held = BytesOf(plugin.ProgramChunk());
    const int64_t counts[] = {-1, -8, int64_t{std::numeric_limits<int32_t>::max()} + 1,
                              std::numeric_limits<int64_t>::min()};
    for (int64_t count : counts) {
        EXPECT_EQ(plugin.SetChunk(program.data(), count, false, false), 0) << count;
        EXPECT_EQ(BytesOf(plugin.ProgramChunk()), held) << count;
    }
    EXPECT_EQ(plugin.SetChunk(nullptr, 16, false, false), 0);
    EXPECT_EQ(plugin.GetChunk(nullptr, false), 0);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.6);
}

TEST(IPluginChunks, HostMayHandBackTheBytesItWasGiven) {
    TestPlugin plugin;
    plugin.FillUnusedPresets(4);
    plugin.SetValues(0.6, 0.7);
    void* data = nullptr;
    const int32_t size = plugin.GetChunk(&data, false);
    plugin.SetValues(1.0, 1.0);
    EXPECT_EQ(plugin.SetChunk(data, size, false, false), 1);
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.6);
}

TEST(IPluginChunks, EveryCutOfABankIsReadSafely) {
    TestPlugin source;
    MakePrograms(source);
    const Bytes bank = GetChunk(source, true);
    for (size_t length = 0; length < bank.size(); ++length) {
        TestPlugin target;
        const Bytes cut(bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(SetChunk(target, cut, true), 0) << length;
        // A quirk host's program read may end exactly inside the bank by chance and succeed.
        const int32_t quirkAnswer = SetChunk(target, cut, false, true);
        EXPECT_TRUE(quirkAnswer == 0 || quirkAnswer == 1) << length;
        for (int i = 0; i < target.ParameterCount(); ++i) {
            EXPECT_GE(target.ParameterAt(i)->Value(), 0.5) << length;
            EXPECT_LE(target.ParameterAt(i)->Value(), 1.0) << length;
        }
    }
    TestPlugin target;
    EXPECT_EQ(SetChunk(target, bank, true), 1);
}

TEST(IPluginChunks, QuirkHostAnswersZeroForAFailedProgramWithoutBankHeader) {
    TestPlugin plugin;
    plugin.SetValues(0.6, 0.7);
    IByteBuffer bare;
    bare.PutDouble(0.9);
    EXPECT_EQ(SetChunk(plugin, BytesOf(bare), false, true), 0);
    // The program read took what it found before failing.
    EXPECT_EQ(plugin.ParameterAt(0)->Value(), 0.9);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.5);

    // A complete header-less program followed by extra bytes still loads.
    bare.PutDouble(0.8);
    bare.PutString("Name");
    bare.PutByte(1);
    EXPECT_EQ(SetChunk(plugin, BytesOf(bare), false, true), 1);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 0.8);
}

TEST(IPluginChunks, CorruptedNameLengthsAnswerZero) {
    TestPlugin source;
    MakePrograms(source);
    Bytes bank = GetChunk(source, true);
    const int32_t lengths[] = {-1, std::numeric_limits<int32_t>::max() - 2,
                               std::numeric_limits<int32_t>::min(), 1000000};
    for (int32_t length : lengths) {
        Bytes corrupted = bank;
        std::memcpy(&corrupted[8], &length, 4); // the first slot's name length
        TestPlugin target;
        target.FillUnusedPresets(4);
        EXPECT_EQ(SetChunk(target, corrupted, true), 0) << length;
        EXPECT_STREQ(target.PresetName(0), "Empty") << length;
    }
}

} // namespace
