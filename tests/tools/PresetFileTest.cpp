#include "tools/host/PresetFile.h"

#include <gtest/gtest.h>

namespace {

using ksphost::DecodePresetFile;
using ksphost::EncodePresetFile;
using ksphost::PresetFile;

int32_t BigAt(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<int32_t>((static_cast<uint32_t>(bytes[at]) << 24) |
                                (static_cast<uint32_t>(bytes[at + 1]) << 16) |
                                (static_cast<uint32_t>(bytes[at + 2]) << 8) | bytes[at + 3]);
}

std::string TextAt(const std::vector<uint8_t>& bytes, size_t at, size_t n) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
}

PresetFile Program() {
    PresetFile preset;
    preset.fxId = 0x6B737068;
    preset.fxVersion = 20002;
    preset.count = 10;
    preset.programName = "8-Stager";
    preset.chunk = {1, 2, 3, 4, 5};
    return preset;
}

// The header of a program file of Program()'s plug-in: kind, count and name.
void ExpectProgramHeader(const std::vector<uint8_t>& bytes, const char* kind, int32_t count,
                         const std::string& name) {
    EXPECT_EQ(TextAt(bytes, 0, 4), "CcnK");
    EXPECT_EQ(BigAt(bytes, 4), static_cast<int32_t>(bytes.size() - 8));
    EXPECT_EQ(TextAt(bytes, 8, 4), kind);
    EXPECT_EQ(BigAt(bytes, 12), 1);
    EXPECT_EQ(TextAt(bytes, 16, 4), "ksph");
    EXPECT_EQ(BigAt(bytes, 20), 20002);
    EXPECT_EQ(BigAt(bytes, 24), count);
    EXPECT_EQ(TextAt(bytes, 28, name.size() + 1), name + '\0');
}

TEST(PresetFile, ProgramFileHasTheStandardLayout) {
    const std::vector<uint8_t> bytes = EncodePresetFile(Program());
    ASSERT_EQ(bytes.size(), 60u + 5u);
    ExpectProgramHeader(bytes, "FPCh", 10, "8-Stager");
    EXPECT_EQ(BigAt(bytes, 56), 5);
    EXPECT_EQ(bytes[60], 1);
    EXPECT_EQ(bytes[64], 5);
}

TEST(PresetFile, BankFileHasTheStandardLayout) {
    PresetFile preset = Program();
    preset.bank = true;
    preset.currentProgram = 3;
    const std::vector<uint8_t> bytes = EncodePresetFile(preset);
    ASSERT_EQ(bytes.size(), 160u + 5u);
    EXPECT_EQ(TextAt(bytes, 0, 4), "CcnK");
    EXPECT_EQ(BigAt(bytes, 4), static_cast<int32_t>(bytes.size() - 8));
    EXPECT_EQ(TextAt(bytes, 8, 4), "FBCh");
    EXPECT_EQ(BigAt(bytes, 12), 2);
    EXPECT_EQ(BigAt(bytes, 28), 3);
    EXPECT_EQ(TextAt(bytes, 32, 124), std::string(124, '\0'));
    EXPECT_EQ(BigAt(bytes, 156), 5);
    EXPECT_EQ(bytes[160], 1);
}

TEST(PresetFile, RoundTripsBothKindsAndCutsLongNames) {
    for (bool bank : {false, true}) {
        PresetFile preset = Program();
        preset.bank = bank;
        preset.currentProgram = bank ? 7 : 0;
        preset.programName = bank ? "" : std::string(40, 'n');
        auto decoded = DecodePresetFile(EncodePresetFile(preset), "x");
        ASSERT_TRUE(decoded.Ok()) << decoded.Error().Message();
        const PresetFile& back = decoded.Value();
        EXPECT_EQ(back.bank, bank);
        EXPECT_EQ(back.fxId, preset.fxId);
        EXPECT_EQ(back.fxVersion, preset.fxVersion);
        EXPECT_EQ(back.count, preset.count);
        EXPECT_EQ(back.currentProgram, preset.currentProgram);
        EXPECT_EQ(back.programName, bank ? "" : std::string(27, 'n'));
        EXPECT_EQ(back.chunk, preset.chunk);
    }
}

TEST(PresetFile, BankVersionOneHasNoCurrentProgram) {
    PresetFile preset = Program();
    preset.bank = true;
    preset.currentProgram = 4;
    std::vector<uint8_t> bytes = EncodePresetFile(preset);
    bytes[15] = 1;
    auto decoded = DecodePresetFile(bytes, "x");
    ASSERT_TRUE(decoded.Ok());
    EXPECT_EQ(decoded.Value().currentProgram, 0);
}

TEST(PresetFile, RejectsWhatItCannotUse) {
    const std::vector<uint8_t> good = EncodePresetFile(Program());
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* message;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, "is not a VST preset file"});
    std::vector<uint8_t> wrongMagic = good;
    wrongMagic[0] = 'X';
    cases.push_back({"wrong magic", wrongMagic, "is not a VST preset file"});
    std::vector<uint8_t> parameterList = good;
    parameterList[9] = 'x';
    parameterList[10] = 'C';
    parameterList[11] = 'k';
    cases.push_back({"parameter list longer than the file", parameterList, "is cut short"});
    PresetFile bank = Program();
    bank.opaque = false;
    bank.bank = true;
    bank.programs = {{"a", {0.5f}}, {"b", {0.25f}}};
    const std::vector<uint8_t> goodBank = EncodePresetFile(bank);
    cases.push_back({"cut bank", std::vector<uint8_t>(goodBank.begin(), goodBank.end() - 1), "is cut short"});
    std::vector<uint8_t> damagedProgram = goodBank;
    damagedProgram[156 + 8] = 'X';
    cases.push_back({"damaged program in a bank", damagedProgram, "holds a damaged program"});
    std::vector<uint8_t> unknownKind = good;
    unknownKind[8] = 'Q';
    cases.push_back({"unknown kind", unknownKind, "is not a VST preset file"});
    cases.push_back({"cut header", std::vector<uint8_t>(good.begin(), good.begin() + 40), "is cut short"});
    cases.push_back({"cut chunk", std::vector<uint8_t>(good.begin(), good.end() - 1), "is cut short"});
    std::vector<uint8_t> negative = good;
    negative[56] = 0x80;
    cases.push_back({"negative chunk size", negative, "is cut short"});
    for (const Case& c : cases) {
        auto decoded = DecodePresetFile(c.bytes, "p.fxp");
        ASSERT_FALSE(decoded.Ok()) << c.what;
        EXPECT_NE(decoded.Error().Message().find(c.message), std::string::npos)
            << c.what << ": " << decoded.Error().Message();
        EXPECT_EQ(decoded.Error().Message().rfind("p.fxp", 0), 0u) << c.what;
    }
}

TEST(PresetFile, ParameterListsHaveTheStandardLayout) {
    PresetFile preset = Program();
    preset.opaque = false;
    preset.programs = {{"Slow", {0.5f, 1.0f}}};
    const std::vector<uint8_t> program = EncodePresetFile(preset);
    ASSERT_EQ(program.size(), 56u + 8u);
    ExpectProgramHeader(program, "FxCk", 2, "Slow");
    EXPECT_EQ(BigAt(program, 56), 0x3F000000);
    EXPECT_EQ(BigAt(program, 60), 0x3F800000);

    preset.bank = true;
    preset.currentProgram = 1;
    preset.programs = {{"Slow", {0.5f, 1.0f}}, {"Fast", {0.0f, 0.25f}}};
    const std::vector<uint8_t> bank = EncodePresetFile(preset);
    ASSERT_EQ(bank.size(), 156u + 2 * 64u);
    EXPECT_EQ(TextAt(bank, 8, 4), "FxBk");
    EXPECT_EQ(BigAt(bank, 4), static_cast<int32_t>(bank.size() - 8));
    EXPECT_EQ(BigAt(bank, 12), 2);
    EXPECT_EQ(BigAt(bank, 24), 2);
    EXPECT_EQ(BigAt(bank, 28), 1);
    EXPECT_EQ(std::vector<uint8_t>(bank.begin() + 156 + 64, bank.end()), EncodePresetFile([&] {
                  PresetFile fast = preset;
                  fast.bank = false;
                  fast.programs = {preset.programs[1]};
                  return fast;
              }()));

    const struct {
        const std::vector<uint8_t>& bytes;
        size_t programs;
        const char* lastName;
        std::vector<float> lastValues;
    } decodings[] = {{program, 1, "Slow", {0.5f, 1.0f}}, {bank, 2, "Fast", {0.0f, 0.25f}}};
    for (const auto& d : decodings) {
        auto decoded = DecodePresetFile(d.bytes, "x");
        ASSERT_TRUE(decoded.Ok()) << decoded.Error().Message();
        EXPECT_FALSE(decoded.Value().opaque);
        EXPECT_EQ(decoded.Value().fxId, preset.fxId);
        const auto& programs = decoded.Value().programs;
        ASSERT_EQ(programs.size(), d.programs);
        EXPECT_EQ(programs.back().name, d.lastName);
        EXPECT_EQ(programs.back().values, d.lastValues);
    }
}

TEST(PresetFile, FourCharTextShowsPrintableCodesAsText) {
    EXPECT_EQ(ksphost::FourCharText(0x6B737068), "'ksph'");
    EXPECT_EQ(ksphost::FourCharText(0x00000001), "0x00000001");
}

} // namespace
