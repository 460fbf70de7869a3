#pragma once

#include "FakeHost.h"
#include "TestEffect.h"
#include "formats/vst2/IPluginVST.h"

#include <gtest/gtest.h>

#include <memory>

// A test effect driven through its descriptor, as a host drives it.
class VstFixture : public ::testing::Test {
protected:
    void Make(const TestEffectSetup& setup = TestEffectSetup()) {
        Close();
        host = FakeHost();
        auto created = std::make_unique<TestEffect>(setup);
        plugin = created.get();
        binding = new IPluginVST(FakeHost::Callback, std::move(created));
        effect = binding->Descriptor();
        host.Attach(effect);
    }
    void SetUp() override { Make(); }
    void TearDown() override { Close(); }
    void Close() {
        if (effect != nullptr) {
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        }
        effect = nullptr;
        binding = nullptr;
        plugin = nullptr;
    }

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    FakeHost host;
    IPluginVST* binding = nullptr; // owns the plug-in
    TestEffect* plugin = nullptr;
    AEffect* effect = nullptr;
};
