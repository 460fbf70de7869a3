// Mouse and key dispatch: capture, gesture order, the key catcher and the right-click prompt.
#include "EditorTestPlugin.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Log = std::vector<std::string>;

struct Dispatch : ::testing::Test {
    void SetUp() override {
        editor = plugin.MakeEditor();
        background = Add({0, 0, 720, 174}, -1, "bg");
        level = Add({10, 10, 50, 50}, 0, "level");
        top = Add({30, 30, 70, 70}, -1, "top");
        plugin.AttachEditor(std::unique_ptr<IEditor>(editor));
        plugin.log.clear();
    }
    LoggingControl* Add(const IRectangle& r, int parameter, const char* name) {
        auto* control = new LoggingControl(&plugin, r, parameter, plugin.log, name);
        editor->AddControl(control);
        return control;
    }

    EditorTestPlugin plugin;
    IGraphicsHeadless* editor = nullptr;
    LoggingControl* background = nullptr;
    LoggingControl* level = nullptr;
    LoggingControl* top = nullptr;
    IMouseState left{true, false, false, false, false};
};

TEST_F(Dispatch, PressDragReleaseBracketedByTheGesture) {
    editor->DispatchMouseDown(20, 20, left);
    EXPECT_EQ(editor->CapturedControl(), 1);
    editor->DispatchMouseDrag(22, 17, left);
    editor->DispatchMouseDrag(22, 19, left);
    editor->DispatchMouseDrag(22, 19, left);       // no movement: no drag
    editor->DispatchMouseWheel(500, 100, left, 2); // the captured control takes the wheel
    editor->DispatchMouseUp(600, 100, left);       // and the release, wherever it happens
    EXPECT_EQ(editor->CapturedControl(), -1);
    EXPECT_EQ(plugin.log, (Log{"begin 0", "level down", "level drag 2,-3", "level drag 0,2", "level wheel 2",
                               "level up", "end 0"}));

    // The topmost control wins where two overlap; an unbound one begins no gesture.
    plugin.log.clear();
    editor->DispatchMouseDown(40, 40, left);
    editor->DispatchMouseUp(40, 40, left);
    EXPECT_EQ(plugin.log, (Log{"top down", "top up"}));

    // A release without a capture goes to the control under the point and still ends a gesture.
    plugin.log.clear();
    editor->DispatchMouseUp(15, 15, left);
    editor->DispatchMouseDrag(16, 16, left); // no capture: no drag
    EXPECT_EQ(plugin.log, (Log{"level up", "end 0"}));
}

TEST_F(Dispatch, HiddenAndGreyedControlsAreNotHit) {
    top->SetHidden(true);
    level->SetGreyed(true);
    EXPECT_EQ(level->Blend().weight, 0.25f);
    editor->DispatchMouseDown(40, 40, left);
    editor->DispatchMouseWheel(20, 20, left, 1);
    EXPECT_EQ(plugin.log, (Log{"bg down", "bg wheel 1"}));
    level->SetGreyed(false);
    EXPECT_EQ(level->Blend().weight, 1.0f);
}

TEST_F(Dispatch, DoubleClicksWheelKeysAndHovering) {
    // Each begins the gesture that the release ends.
    EXPECT_FALSE(editor->DispatchDoubleClick(20, 20, left));
    editor->DispatchMouseUp(20, 20, left);
    level->SetDoubleClickAsPress(true);
    EXPECT_TRUE(editor->DispatchDoubleClick(20, 20, left)); // a press, captured
    EXPECT_EQ(editor->CapturedControl(), 1);
    editor->DispatchMouseUp(20, 20, left);
    EXPECT_FALSE(editor->DispatchDoubleClick(800, 20, left));
    EXPECT_EQ(plugin.log, (Log{"begin 0", "level double", "level up", "end 0", "begin 0", "level down",
                               "level up", "end 0"}));

    // Keys: to the captured control, else the one under the point; over the background to
    // the key catcher.
    editor->ReleaseCapture();
    plugin.log.clear();
    EXPECT_FALSE(editor->DispatchKeyDown(600, 150, kKeyUp));
    editor->SetKeyCatcher(new LoggingControl(&plugin, {0, 0, 0, 0}, -1, plugin.log, "catcher"));
    EXPECT_TRUE(editor->DispatchKeyDown(600, 150, kKeyUp));
    EXPECT_TRUE(editor->DispatchKeyDown(60, 60, kKeyLetterA));
    EXPECT_TRUE(editor->DispatchDoubleClick(20, 20, left));
    EXPECT_TRUE(editor->DispatchKeyDown(600, 150, kKeySpace));
    EXPECT_EQ(plugin.log, (Log{"catcher key 1", "top key 15", "begin 0", "level down", "level key 0"}));

    // Hovering is dispatched only when switched on.
    editor->ReleaseCapture();
    plugin.log.clear();
    EXPECT_FALSE(editor->DispatchMouseOver(20, 20, left));
    editor->SetHandleMouseOver(true);
    EXPECT_TRUE(editor->DispatchMouseOver(20, 20, left));
    EXPECT_TRUE(editor->DispatchMouseOver(60, 60, left));
    EXPECT_EQ(editor->MouseOverControl(), 2);
    editor->DispatchMouseOut();
    EXPECT_EQ(editor->MouseOverControl(), -1);
    EXPECT_EQ(plugin.log, (Log{"level over", "top over", "level out", "bg out", "level out", "top out"}));
}

TEST_F(Dispatch, HostWithItsOwnParameterMenuTakesRightClicks) {
    plugin.hint = 1;
    const IMouseState right{false, true, false, false, false};
    editor->DispatchMouseDown(20, 20, right);
    EXPECT_EQ(editor->CapturedControl(), -1);
    editor->DispatchMouseDown(40, 40, right); // not bound: the control gets it
    EXPECT_EQ(plugin.log, (Log{"menu 0", "top down"}));
}

TEST_F(Dispatch, PromptOffersValueTextsOrATextEntry) {
    auto* mode = Add({100, 10, 140, 50}, 1, "mode");
    auto* frequency = Add({200, 10, 240, 50}, 2, "frequency");
    mode->SetPromptDisabled(false);
    frequency->SetPromptDisabled(false);
    plugin.ParameterAt(1)->SetFromPlain(2.0);
    const IMouseState right{false, true, false, false, false};

    // Prompts disabled (the default): a right-click does nothing.
    editor->DispatchMouseDown(20, 20, right);
    EXPECT_TRUE(editor->menus.empty());

    editor->script.menuChoices.push_back(1);
    editor->DispatchMouseDown(120, 20, right);
    ASSERT_EQ(editor->menus.size(), 1u);
    EXPECT_EQ(editor->menus[0].texts, (std::vector<std::string>{"Soft", "Medium", "Hard"}));
    EXPECT_EQ(editor->menus[0].flags, (std::vector<int>{0, 0, kMenuEntryChecked}));
    EXPECT_EQ(editor->menus[0].area, mode->Rect());
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 1.0);
    EXPECT_EQ(mode->Value(), 0.5);
    EXPECT_TRUE(mode->RedrawRequested());

    // Dismissed: nothing changes.
    editor->DispatchMouseDown(120, 20, right);
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 1.0);

    plugin.ParameterAt(2)->SetFromPlain(0.25);
    editor->DispatchMouseDown(220, 20, right);
    ASSERT_EQ(editor->textEntries.size(), 1u);
    EXPECT_EQ(editor->textEntries[0].text, "0.250");
    EXPECT_EQ(editor->textEntries[0].area, (IRectangle{200, 22, 240, 38}));
    EXPECT_EQ(editor->textEntries[0].parameter, plugin.ParameterAt(2));
    EXPECT_EQ(editor->textEntries[0].control, frequency);
}

} // namespace
