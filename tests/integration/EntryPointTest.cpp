// The exported entry points of the plug-in libraries, called as a host calls them.
#include "PluginLibrary.h"
#include "tests/vst/FakeHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

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

TEST(EntryPoints, LibraryLoadsAndUnloadsRepeatedly) {
    for (int i = 0; i < 3; ++i) {
        PluginLibrary library(KSP_PHASER_PLUGIN);
        ASSERT_TRUE(library.Loaded());
        AEffect* effect = library.Entry("main")(nullptr);
        ASSERT_NE(effect, nullptr);
        Close(effect);
    }
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
