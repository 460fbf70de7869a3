#pragma once

#include "graphics/IGraphics.h"

#include <vector>

// An editor without a window: records what the plug-in hands it.
class FakeEditor : public IGraphics {
public:
    struct HostValue {
        int index;
        double value;
        bool normalized;
    };

    explicit FakeEditor(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~FakeEditor() override {
        if (destroyed != nullptr) {
            *destroyed = true;
        }
    }

    int Width() const override { return 720; }
    int Height() const override { return 174; }
    void* OpenWindow(void* parent) override {
        open = opens;
        return opens ? parent : nullptr;
    }
    void CloseWindow() override { open = false; }
    void PrepareDrawing() override { prepared = true; }
    void SetParameterFromHost(int index, double value, bool normalized) override {
        values.push_back({index, value, normalized});
    }
    void MarkAllDirty() override {}

    std::vector<HostValue> values;
    bool prepared = false;
    bool opens = true;
    bool open = false;

private:
    bool* destroyed;
};
