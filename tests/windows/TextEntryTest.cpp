// The in-place text entry of the Windows editor, on controls whose prompts are enabled, typed
// into with real input.
#include "WindowTestSupport.h"

#include "core/IParameter.h"
#include "core/IPluginBase.h"
#include "platform/win/IGraphicsWin.h"

#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <vector>

namespace {

enum { kLevel, kSwitch, kCount, kMode, kParameters };

// Level: continuous -1..1; Switch: boolean with "off" and "on"; Count: integer 0..10; Mode:
// enumerated with three texts.
class EntryPlugin : public IPluginBase {
public:
    EntryPlugin()
        : IPluginBase(kParameters, "2-2", 1, "Entry", "", "Maker", 0x00010000, 1, 2, 0, false, false) {
        ParameterAt(kLevel)->SetupContinuous("Level", 0.3, -1.0, 1.0, 0.01, 1.0);
        ParameterAt(kSwitch)->SetupBoolean("Switch");
        ParameterAt(kCount)->SetupInteger("Count", 2, 0, 10);
        ParameterAt(kMode)->SetupEnumerated("Mode", 0, 3);
        ParameterAt(kMode)->AddValueText(0, "Soft");
        ParameterAt(kMode)->AddValueText(1, "Medium");
        ParameterAt(kMode)->AddValueText(2, "Hard");
    }
    void AutomateParameter(int index, double /*normalized*/) override { automated.push_back(index); }

    std::vector<int> automated;
};

// A control that draws nothing, opens its prompt on a right-click and keeps committed texts.
class EntryControl : public IControl {
public:
    EntryControl(IPluginBase* plugin, const IRectangle& rect, int parameter)
        : IControl(plugin, rect, parameter, 0) {
        SetPromptDisabled(false);
    }
    bool Draw(IGraphics& /*editor*/) override { return true; }
    void SetTextFromUser(const char* text) override { texts.emplace_back(text); }

    std::vector<std::string> texts;
};

class TextEntry : public ::testing::Test {
protected:
    void SetUp() override {
        editor = new IGraphicsWin(&plugin, 720, 174, 25, GetModuleHandleA(nullptr));
        for (int i = 0; i < kParameters; ++i) {
            controls[i] = new EntryControl(&plugin, {100 * i + 20, 40, 100 * i + 80, 60}, i);
            editor->AddControl(controls[i]);
        }
        plain = new EntryControl(&plugin, {20, 100, 80, 120}, -1);
        editor->AddControl(plain);
        plugin.AttachEditor(std::unique_ptr<IEditor>(editor));
        ASSERT_NE(editor->OpenWindow(host.Handle()), nullptr);
        Pump(100);
    }
    void TearDown() override { editor->CloseWindow(); }

    // Opens the entry over control index with text; answers the entry window.
    HWND Open(int index, const char* text) {
        EntryControl* control = index >= 0 ? controls[index] : plain;
        IParameter* parameter = index >= 0 ? plugin.ParameterAt(index) : nullptr;
        editor->ShowTextEntry(control, control->TextStyle(), control->Rect(), text, parameter);
        Pump(60);
        return editor->TextEntryWindow();
    }
    std::string EntryText() {
        char text[64] = {};
        GetWindowTextA(editor->TextEntryWindow(), text, sizeof text);
        return text;
    }
    // Frame ticks until the entry is gone.
    bool Closed() {
        return PumpUntil([&] { return editor->TextEntryWindow() == nullptr; }, 1000);
    }
    double Plain(int index) { return plugin.ParameterAt(index)->Value(); }

    EntryPlugin plugin;
    HostWindow host;
    IGraphicsWin* editor = nullptr;
    EntryControl* controls[kParameters] = {};
    EntryControl* plain = nullptr;
};

TEST_F(TextEntry, ContinuousEntryFiltersLimitsAndCommitsOnEnter) {
    ASSERT_NE(Open(kLevel, "0.30"), nullptr);
    // Letters and spaces are refused; signs and dots pass; seven characters at most.
    TypeText("-a0.5 x7.9+12");
    Pump(100);
    EXPECT_EQ(EntryText(), "-0.57.9");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(Closed());
    EXPECT_NEAR(Plain(kLevel), -0.57, 1e-9); // the leading number
    EXPECT_EQ(plugin.automated, (std::vector<int>{kLevel}));
}

TEST_F(TextEntry, EscapeAndTheWheelCancel) {
    ASSERT_NE(Open(kLevel, "0.30"), nullptr);
    TypeText("0.9");
    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(Closed());
    ASSERT_NE(Open(kLevel, "0.30"), nullptr);
    TypeText("0.9");
    MoveMouse(host.Handle(), 300, 150);
    Pump(30);
    Wheel(120);
    ASSERT_TRUE(Closed());
    EXPECT_NEAR(Plain(kLevel), 0.3, 1e-9);
    EXPECT_TRUE(plugin.automated.empty());
}

TEST_F(TextEntry, AClickOnTheEditorAndFocusLossCommit) {
    ASSERT_NE(Open(kCount, "2"), nullptr);
    TypeText("+7x");
    Click(host.Handle(), 600, 150);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Plain(kCount), 7.0);
    // The click committed the entry and reached no control.
    EXPECT_EQ(editor->CapturedControl(), -1);

    ASSERT_NE(Open(kCount, "2"), nullptr);
    TypeText("9");
    Pump(60);
    SetFocus(host.Handle());
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Plain(kCount), 9.0);
}

TEST_F(TextEntry, AClickOnTheEditorWhileTheEntryRegainedTheFocusCancels) {
    HWND entry = Open(kCount, "5");
    ASSERT_NE(entry, nullptr);
    SetFocus(host.Handle());
    SetFocus(entry); // back before the next frame tick: the entry holds the focus
    EXPECT_EQ(editor->TextEntryState(), kTextEntryFocused);
    Click(host.Handle(), 600, 150);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(Plain(kCount), 2.0);
}

TEST_F(TextEntry, TextsOfBooleansAndEnumerationsMatchExactly) {
    const struct {
        int index;
        const char* text;
        double plain;
    } cases[] = {{kSwitch, "on", 1.0}, {kSwitch, "On", 0.0}, {kMode, "Hard", 2.0}, {kMode, "hard", 0.0}};
    for (const auto& row : cases) {
        plugin.ParameterAt(row.index)->SetFromPlain(1.0);
        ASSERT_NE(Open(row.index, row.text), nullptr);
        TypeKey(VK_RETURN);
        ASSERT_TRUE(Closed());
        EXPECT_EQ(Plain(row.index), row.plain) << row.text;
    }
    // Only signs and digits can be typed there.
    ASSERT_NE(Open(kMode, ""), nullptr);
    TypeText("on-1");
    Pump(60);
    EXPECT_EQ(EntryText(), "-1");
    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(Closed());
}

TEST_F(TextEntry, AnEntryWithoutParameterHandsOverItsText) {
    ASSERT_NE(Open(-1, ""), nullptr);
    TypeText("any text");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(plain->texts, (std::vector<std::string>{"any tex"}));
}

TEST_F(TextEntry, ARightClickPromptsWithTheCurrentValue) {
    MoveMouse(host.Handle(), 50, 50);
    Pump(30);
    MouseButton(false, true);
    Pump(30);
    MouseButton(false, false);
    Pump(100);
    ASSERT_NE(editor->TextEntryWindow(), nullptr);
    char expected[64];
    plugin.ParameterAt(kLevel)->FormatDisplay(0.3, false, expected, false);
    EXPECT_EQ(EntryText(), expected);
    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(Closed());
}

} // namespace
