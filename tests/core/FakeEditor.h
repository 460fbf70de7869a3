#pragma once

#include "core/IPluginBase.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <vector>

// A headless editor that can open a stand-in window, with one control per parameter that
// records every value the plug-in hands it.
class FakeEditor : public IGraphicsHeadless {
public:
    struct HostValue {
        int index;
        double value;
    };

    explicit FakeEditor(IPluginBase* plugin, bool* destroyed = nullptr)
        : IGraphicsHeadless(plugin, 720, 174, 25, nullptr, true), destroyed(destroyed) {
        for (int i = 0; i < plugin->ParameterCount(); ++i) {
            AddControl(new Recorder(plugin, i, values));
        }
    }
    ~FakeEditor() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    void* OpenWindow(void* parent) override {
        return opens ? IGraphicsHeadless::OpenWindow(parent) : nullptr;
    }

    std::vector<HostValue> values;
    bool opens = true;

private:
    class Recorder : public IControl {
    public:
        Recorder(IPluginBase* plugin, int parameter, std::vector<HostValue>& values)
            : IControl(plugin, {0, 0, 1, 1}, parameter, 0), values(values) {}
        void SetValueFromHost(double v) override {
            values.push_back({ParameterIndex(), v});
            IControl::SetValueFromHost(v);
        }
        bool Draw(IGraphics&) override { return true; }

    private:
        std::vector<HostValue>& values;
    };

    bool* destroyed;
};
