// The standard controls' arithmetic: drag gearing, wheel, double-click default, switch steps,
// frame rounding, clamping, finite values only, and the text entry's rules.
#include "EditorTestPlugin.h"

#include "graphics/IBitmapControl.h"
#include "graphics/IKnobControl.h"
#include "graphics/TextEntryRules.h"
#include "raster/PIX_MemBitmap.h"

#include <gtest/gtest.h>

#include <memory>

#include <cmath>

namespace {

class TestKnob : public IKnobControl {
public:
    using IKnobControl::IKnobControl;
    bool Draw(IGraphics&) override { return true; }
    void SetHorizontal() { direction = kHorizontal; }
};

struct Controls : ::testing::Test {
    void SetUp() override {
        editor = plugin.MakeEditor();
        knob = new TestKnob(&plugin, {100, 100, 140, 140}, 0, 0);
        flat = new TestKnob(&plugin, {200, 100, 240, 100}, 0, 0);
        editor->AddControl(knob);
        editor->AddControl(flat);
        plugin.AttachEditor(std::unique_ptr<IEditor>(editor));
        plugin.automated.clear();
    }
    EditorTestPlugin plugin;
    IGraphicsHeadless* editor = nullptr;
    TestKnob* knob = nullptr;
    TestKnob* flat = nullptr;
    IMouseState none;
};

TEST_F(Controls, KnobDragAndWheelGearing) {
    EXPECT_DOUBLE_EQ(knob->Value(), 0.3);
    knob->MouseDrag(0, 0, 0, 4, none); // 4 pixels down over 40: -0.1 / 4
    EXPECT_DOUBLE_EQ(knob->Value(), 0.3 - 0.025);
    IMouseState fine;
    fine.shift = true;
    knob->MouseDrag(0, 0, 0, -4, fine);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.3 - 0.025 + 0.0025);
    knob->MouseWheel(0, 0, none, 3);
    EXPECT_NEAR(knob->Value(), 0.3075, 1e-12);
    fine = IMouseState();
    fine.control = true;
    knob->MouseWheel(0, 0, fine, -3);
    EXPECT_NEAR(knob->Value(), 0.3045, 1e-12);
    ASSERT_EQ(plugin.automated.size(), 4u);
    EXPECT_DOUBLE_EQ(plugin.automated.back(), knob->Value());
    EXPECT_NEAR(plugin.ParameterAt(0)->Value(), 0.3045, 1e-12);

    // Far past the top the value stays at 1 and the plug-in receives 1.
    knob->MouseDrag(0, 0, 0, -10000, none);
    EXPECT_EQ(knob->Value(), 1.0);
    EXPECT_EQ(plugin.automated.back(), 1.0);

    knob->SetHorizontal();
    knob->MouseDrag(0, 0, -8, 0, none); // leftwards lowers: -8 / 40 / 4
    EXPECT_DOUBLE_EQ(knob->Value(), 0.95);
}

TEST_F(Controls, DragOverAControlWithoutHeightStaysFinite) {
    for (int dy : {4, -4, 0}) {
        flat->MouseDrag(0, 0, 0, dy, none);
        EXPECT_DOUBLE_EQ(flat->Value(), 0.3) << dy;
    }
    EXPECT_TRUE(plugin.automated.empty());
    // A value that is not a number never leaves the control either.
    flat->SetValueFromUser(std::nan(""));
    ASSERT_EQ(plugin.automated.size(), 1u);
    EXPECT_EQ(plugin.automated[0], 0.0);
    editor->SetParameterFromHost(0, std::nan(""), true);
    EXPECT_EQ(flat->Value(), 0.0);
}

TEST_F(Controls, DoubleClickRestoresTheFirstHostValue) {
    knob->MouseDrag(0, 0, 0, -24, none);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.45);
    editor->SetParameterFromHost(0, 0.9, true); // later host values are not the default
    knob->MouseDoubleClick(0, 0, none);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.3);
    EXPECT_DOUBLE_EQ(plugin.automated.back(), 0.3);
    EXPECT_DOUBLE_EQ(plugin.ParameterAt(0)->Value(), 0.3);
}

TEST_F(Controls, PlainHostValuesAreNormalisedAndAuxiliaryBindingsFollow) {
    ASSERT_TRUE(knob->AddAuxParameter(2));
    ASSERT_TRUE(knob->AddAuxParameter(2));        // only the first binding of a parameter follows
    editor->SetParameterFromHost(2, 0.25, false); // shape 2: sqrt(0.25)
    EXPECT_EQ(knob->AuxValue(0), 0.5);
    EXPECT_EQ(knob->AuxValue(1), 0.0);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.3);
    EXPECT_TRUE(knob->RedrawRequested());
}

TEST(Switch, StepsAndWrapsOnEveryClickAndDoubleClick) {
    EditorTestPlugin plugin;
    PIX_MemBitmap bitmap(20, 114);
    const IFrameBitmap two = {&bitmap, 20, 114, 2, false};
    const IFrameBitmap three = {&bitmap, 20, 114, 3, false};
    ISwitchControl toggle(&plugin, 5, 6, 1, two, 0);
    ISwitchControl triple(&plugin, 5, 6, 1, three, 0);
    EXPECT_EQ(toggle.Rect(), (IRectangle{5, 6, 25, 63}));
    const IMouseState right{false, true, false, false, false};
    std::vector<double> seen;
    for (int click = 0; click < 3; ++click) {
        toggle.MouseDown(0, 0, right); // any button steps it
        seen.push_back(toggle.Value());
    }
    toggle.MouseDoubleClick(0, 0, right);
    seen.push_back(toggle.Value());
    EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0, 0.0}));
    seen.clear();
    for (int click = 0; click < 4; ++click) {
        triple.MouseDown(0, 0, IMouseState());
        seen.push_back(triple.Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
    EXPECT_EQ(plugin.ParameterAt(1)->Value(), 1.0); // 0.5 of the 0..2 mode

    // The frame a value shows: halves round up, the ends are kept.
    EXPECT_EQ(FrameForValue(65, 0.0), 1);
    EXPECT_EQ(FrameForValue(65, 0.5), 33);
    EXPECT_EQ(FrameForValue(65, 1.0), 65);
    EXPECT_EQ(FrameForValue(65, 1.5), 65);
    EXPECT_EQ(FrameForValue(65, -0.5), 1);
    EXPECT_EQ(FrameForValue(2, 0.5), 2);
    EXPECT_EQ(FrameForValue(1, 0.7), 1);
    EXPECT_EQ(FrameForValue(65, std::nan("")), 1);
}

// What a text entry takes and what its committed text gives, the same in every window.
TEST(TextEntry, CharactersAndCommittedValuesFollowTheParameter) {
    IParameter toggle;
    toggle.SetupBoolean("Switch");
    toggle.AddValueText(0, "off");
    toggle.AddValueText(1, "on");
    EXPECT_EQ(EntryCommitValue(toggle, "on"), 1.0);
    EXPECT_EQ(EntryCommitValue(toggle, "On"), 0.0); // display texts match exactly
    EXPECT_FALSE(EntryAcceptsCharacter(&toggle, '.'));
    EXPECT_TRUE(EntryAcceptsCharacter(&toggle, '-'));

    IParameter level;
    level.SetupContinuous("Level", 0.0, -10.0, 10.0, 0.01, 1.0);
    EXPECT_TRUE(EntryAcceptsCharacter(&level, '.'));
    EXPECT_FALSE(EntryAcceptsCharacter(&level, ' '));
    EXPECT_FALSE(EntryAcceptsCharacter(&level, 'e'));
    EXPECT_TRUE(EntryAcceptsCharacter(&level, '\b'));
    EXPECT_TRUE(EntryAcceptsCharacter(nullptr, 'Q'));
    EXPECT_DOUBLE_EQ(EntryCommitValue(level, "5.5.5"), 0.775); // the leading number, normalised
    EXPECT_EQ(EntryCommitValue(level, "+-"), 0.5);             // no number: 0
    EXPECT_EQ(EntryCommitValue(level, "99"), 1.0);             // clamped
}

} // namespace
