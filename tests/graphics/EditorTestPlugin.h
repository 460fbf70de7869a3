#pragma once

#include "core/IPluginBase.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <string>
#include <vector>

// A plug-in with three parameters (a 0..1 level, a 0..2 mode with three texts, a 0..1 shape-2
// frequency) whose host calls are logged in order, and a headless editor attached to it.
class EditorTestPlugin : public IPluginBase {
public:
    EditorTestPlugin() : IPluginBase(3, "2-2", 2, "Test", "", "Maker", 0x00010000, 1, 2, 0, false, false) {
        ParameterAt(0)->SetupContinuous("Level", 0.3, 0.0, 1.0, 0.01, 1.0);
        ParameterAt(1)->SetupEnumerated("Mode", 0, 3);
        ParameterAt(1)->AddValueText(0, "Soft");
        ParameterAt(1)->AddValueText(1, "Medium");
        ParameterAt(1)->AddValueText(2, "Hard");
        ParameterAt(2)->SetupContinuous("Frequency", 0.25, 0.0, 1.0, 0.001, 2.0);
    }

    void BeginParameterGesture(int index) override { log.push_back("begin " + std::to_string(index)); }
    void EndParameterGesture(int index) override { log.push_back("end " + std::to_string(index)); }
    void AutomateParameter(int index, double normalized) override {
        log.push_back("automate " + std::to_string(index));
        automated.push_back(normalized);
    }
    void OnHostIdle() override { ++idleCalls; }
    void OnHostParameterMenu(int index, int, int) override { log.push_back("menu " + std::to_string(index)); }
    int GetHostHint() override { return hint; }

    // A fresh headless editor (owned by the caller until attached).
    IGraphicsHeadless* MakeEditor() { return new IGraphicsHeadless(this, 720, 174, 25); }

    std::vector<std::string> log;
    std::vector<double> automated;
    int idleCalls = 0;
    int hint = 0;
};

// A control that logs its events into a shared log under its name and counts its draws.
class LoggingControl : public IControl {
public:
    LoggingControl(IPluginBase* plugin, const IRectangle& rect, int parameter, std::vector<std::string>& log,
                   const char* name = "c")
        : IControl(plugin, rect, parameter, 0), log(log), name(name) {}

    void MouseDown(int x, int y, const IMouseState& mouse) override {
        log.push_back(name + " down");
        IControl::MouseDown(x, y, mouse);
    }
    void MouseUp(int, int, const IMouseState&) override { log.push_back(name + " up"); }
    void MouseDrag(int, int, int dx, int dy, const IMouseState&) override {
        log.push_back(name + " drag " + std::to_string(dx) + "," + std::to_string(dy));
    }
    void MouseDoubleClick(int, int, const IMouseState&) override { log.push_back(name + " double"); }
    void MouseWheel(int, int, const IMouseState&, int steps) override {
        log.push_back(name + " wheel " + std::to_string(steps));
    }
    bool KeyDown(int, int, int key) override {
        log.push_back(name + " key " + std::to_string(key));
        return true;
    }
    void MouseOver(int, int, const IMouseState&) override { log.push_back(name + " over"); }
    void MouseOut() override { log.push_back(name + " out"); }
    bool Draw(IGraphics&) override {
        ++draws;
        return true;
    }

    int draws = 0;

private:
    std::vector<std::string>& log;
    std::string name;
};
