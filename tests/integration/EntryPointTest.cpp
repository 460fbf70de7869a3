// The exported entry points of the plug-in libraries, called as a host calls them.
#include "PluginLibrary.h"
#include "tests/formats/vst2/FakeHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <malloc.h>
#endif

namespace {

void Close(AEffect* effect) {
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(EntryPoints, BothNamesCreateSeparateInstancesWithoutCallingTheHost) {
    PluginLibrary library(KSP_PHASER_PLUGIN);
    ASSERT_TRUE(library.Loaded());
    FakeHost first, second;
    AEffect* a = library.Entry("VSTPluginMain")(FakeHost::Callback);
    AEffect* b = library.Entry("main")(FakeHost::Callback);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    first.Attach(a);
    second.Attach(b);
    EXPECT_NE(a->object, b->object);
    EXPECT_EQ(a->magic, kEffectMagic);
    EXPECT_EQ(b->magic, kEffectMagic);
    EXPECT_EQ(b->uniqueID, a->uniqueID);
    EXPECT_TRUE(first.calls.empty());
    EXPECT_TRUE(second.calls.empty());
    // Nothing but the two entry points is visible.
    EXPECT_EQ(library.Entry("CreatePlugin"), nullptr);
    Close(a);
    Close(b);
}

TEST(EntryPoints, ConcurrentCreationIsSerialised) {
    PluginLibrary library(KSP_PHASER_PLUGIN);
    PluginLibrary::EntryPoint main = library.Entry("VSTPluginMain");
    ASSERT_NE(main, nullptr);
    std::atomic<int> created{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([main, &created] {
            for (int i = 0; i < 10; ++i) {
                AEffect* effect = main(nullptr);
                if (effect != nullptr && effect->numPrograms == 10) {
                    ++created;
                    Close(effect);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(created.load(), 40);
}

// Bytes the process holds privately: committed private pages on Windows (Wine reports no
// private usage of its own), the heap in use elsewhere.
long long PrivateBytes() {
#ifdef _WIN32
    long long bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            bytes += static_cast<long long>(region.RegionSize);
        }
    }
    return bytes;
#else
    return static_cast<long long>(mallinfo2().uordblks);
#endif
}

// Hosts load and unload a plug-in many times while scanning: a cycle must leave nothing behind
// (the Windows DLL used to keep about 75 kB per cycle).
TEST(EntryPoints, LoadCreateCloseUnloadCyclesLeaveNothingBehind) {
    const auto cycles = [](int count) {
        for (int i = 0; i < count; ++i) {
            PluginLibrary library(KSP_PHASER_PLUGIN);
            ASSERT_TRUE(library.Loaded());
            AEffect* effect = library.Entry("main")(nullptr);
            ASSERT_NE(effect, nullptr);
            Close(effect);
        }
    };
    cycles(20); // the heap settles
    const long long before = PrivateBytes();
    cycles(400);
    const long long grown = PrivateBytes() - before;
    EXPECT_LT(grown, 64 * 1024) << grown / 400 << " bytes per cycle";
}

TEST(EntryPoints, PlugInWithoutProgramsReportsOne) {
    PluginLibrary library(KSP_TEST_PLUGIN);
    ASSERT_TRUE(library.Loaded());
    AEffect* effect = library.Entry("VSTPluginMain")(nullptr);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numPrograms, 1);
    char name[kVstMaxProgNameLen] = "x";
    EXPECT_EQ(effect->dispatcher(effect, effGetProgramNameIndexed, 0, 0, name, 0.0f), 0);
    EXPECT_STREQ(name, "");
    void* data = nullptr;
    EXPECT_GT(effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f), 0);
    Close(effect);
}

} // namespace
