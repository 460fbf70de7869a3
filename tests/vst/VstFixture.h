#pragma once

#include "FakeHost.h"
#include "TestEffect.h"

#include <gtest/gtest.h>

// A test effect driven through its descriptor, as a host drives it.
class VstFixture : public ::testing::Test {
protected:
    void Make(const TestEffectSetup& setup = TestEffectSetup()) {
        Close();
        host = FakeHost();
        plugin = new TestEffect(FakeHost::Callback, setup);
        effect = plugin->Descriptor();
        host.Attach(effect);
    }
    void SetUp() override { Make(); }
    void TearDown() override { Close(); }
    void Close() {
        if (effect != nullptr) {
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        }
        effect = nullptr;
        plugin = nullptr;
    }

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    FakeHost host;
    TestEffect* plugin = nullptr;
    AEffect* effect = nullptr;
};
