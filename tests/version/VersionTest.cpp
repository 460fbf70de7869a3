// The version, maker and copyright that file tools read from the phaser library.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring StringValue(std::vector<uint8_t>& info, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + Wide(name);
    if (VerQueryValueW(info.data(), path.c_str(), &value, &length) == 0 || length == 0) {
        return L"(missing)";
    }
    return std::wstring(static_cast<const wchar_t*>(value));
}

void ExpectVersionResource(const char* path, const char* fileName) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(Wide(path).c_str(), &ignored);
    ASSERT_GT(size, 0u) << path << " has no version resource";
    std::vector<uint8_t> info(size);
    ASSERT_NE(GetFileVersionInfoW(Wide(path).c_str(), 0, size, info.data()), 0);
    void* value = nullptr;
    UINT length = 0;
    ASSERT_NE(VerQueryValueW(info.data(), L"\\", &value, &length), 0);
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    int major = 0;
    int minor = 0;
    int patch = 0;
    ASSERT_EQ(std::sscanf(KSP_VERSION, "%d.%d.%d", &major, &minor, &patch), 3);
    const DWORD high = static_cast<DWORD>(major << 16 | minor);
    const DWORD low = static_cast<DWORD>(patch << 16);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(StringValue(info, "FileVersion"), Wide(KSP_VERSION));
    EXPECT_EQ(StringValue(info, "ProductVersion"), Wide(KSP_VERSION));
    EXPECT_EQ(StringValue(info, "ProductName"), L"Kestrunelle Phaser");
    EXPECT_EQ(StringValue(info, "CompanyName"), L"Kestrunelle Dadid");
    EXPECT_EQ(StringValue(info, "FileDescription"), L"Stereo phaser, VST 2.4 plug-in");
    const std::wstring copyright = StringValue(info, "LegalCopyright");
    EXPECT_EQ(copyright.rfind(L"Copyright (c) ", 0), 0u) << copyright.c_str();
    EXPECT_NE(copyright.find(L" Kestrunelle Dadid"), std::wstring::npos);
    EXPECT_EQ(StringValue(info, "OriginalFilename"), Wide(fileName));
}

TEST(VersionResource, The64BitDll) {
    ExpectVersionResource(KSP_DLL_64, "KSPhaser64.dll");
}

TEST(VersionResource, The32BitDll) {
    if (GetFileAttributesW(Wide(KSP_DLL_32).c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << KSP_DLL_32 << " is not built";
    }
    ExpectVersionResource(KSP_DLL_32, "KSPhaser.dll");
}
#else
TEST(VersionString, TheLinuxLibraryCarriesIt) {
    std::ifstream file(KSP_LIBRARY, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty()) << KSP_LIBRARY;
    const std::string expected = std::string("Kestrunelle Phaser ") + KSP_VERSION +
                                 " - Stereo phaser, VST 2.4 plug-in - Copyright (c) ";
    const size_t at = bytes.find(expected);
    ASSERT_NE(at, std::string::npos) << "no version string in " << KSP_LIBRARY;
    EXPECT_NE(bytes.find(" Kestrunelle Dadid", at + expected.size()), std::string::npos);
}
#endif

} // namespace
