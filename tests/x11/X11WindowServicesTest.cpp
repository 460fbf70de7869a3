// The X11 editor in the test's own process, with controls the phaser does not have: the text
// entry of a control with prompts enabled, menus with submenus, separators and greyed entries,
// and the shell services.
// GoogleTest before Xlib, whose macros (None) it would trip over.
#include <gtest/gtest.h>

#include <memory>

#include "X11TestSupport.h"
#include "platform/linux/IGraphicsX11.h"
#include "platform/linux/X11TextEntry.h"
#include "tests/graphics/EditorTestPlugin.h"

#include <X11/keysym.h>

#include <cstdlib>
#include <string>
#include <thread>

namespace {

// The level control (parameter 0, continuous) answers right-clicks with a prompt.
const IRectangle kLevelRect = {100, 50, 160, 110};
const IRectangle kModeRect = {300, 50, 360, 110};

class X11WindowServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor = new IGraphicsX11(&plugin, kPanelWidth, kPanelHeight, 25);
        plugin.AttachEditor(std::unique_ptr<IEditor>(editor));
        for (const auto& [rect, parameter] : {std::pair{kLevelRect, 0}, std::pair{kModeRect, 1}}) {
            auto* control = new LoggingControl(&plugin, rect, parameter, plugin.log);
            control->SetPromptDisabled(false);
            editor->AddControl(control);
        }
        editor->PrepareDrawing();
        display.Move(1000, 700);
        ASSERT_NE(editor->OpenWindow(host.Handle()), nullptr);
        Idle();
    }

    void Idle(int ms = 120) {
        for (int waited = 0; waited < ms; waited += 16) {
            editor->Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
    }
    void RightClick(const IRectangle& rect) {
        display.Click((rect.L + rect.R) / 2, (rect.T + rect.B) / 2, 3);
        Idle();
    }
    // Types text into the entry and ends it with key.
    void Type(const std::string& text, unsigned long key) {
        for (const char c : text) {
            display.Key(c == '.' ? XK_period : c == '-' ? XK_minus : static_cast<unsigned long>(c));
        }
        display.Key(key);
        Idle();
    }
    // Shows menu at (10, 10) while a helper thread presses keys; answers the menu chosen in.
    IMenu* ShowWithKeys(IMenu& menu, std::vector<unsigned long> keys) {
        std::thread helper([keys] {
            TestDisplay own;
            if (WaitForWindow([&own] { return own.FindMenu(); }) != 0 && own.WaitForKeyboardGrab()) {
                for (const unsigned long key : keys) {
                    own.Key(key);
                }
            }
        });
        IMenu* chosen = editor->ShowPopupMenu(menu, {10, 10, 20, 20});
        helper.join();
        return chosen;
    }

    TestDisplay display;
    HostWindow host{display, 0, 0, kPanelWidth, kPanelHeight};
    EditorTestPlugin plugin;
    IGraphicsX11* editor = nullptr;
};

TEST_F(X11WindowServicesTest, TheTextEntryCommitsOnReturnAndCancelsOnEscape) {
    RightClick(kLevelRect);
    Type("0.25", XK_Return);
    ASSERT_EQ(plugin.automated.size(), 1u);
    EXPECT_DOUBLE_EQ(plugin.automated[0], 0.25);

    // Letters are refused, at most 7 characters are taken, and a leading number counts.
    RightClick(kLevelRect);
    Type("x0.5a-1234", XK_Return);
    ASSERT_EQ(plugin.automated.size(), 2u);
    EXPECT_DOUBLE_EQ(plugin.automated[1], 0.5);

    RightClick(kLevelRect);
    Type("0.9", XK_Escape);
    EXPECT_EQ(plugin.automated.size(), 2u);

    // A click beside the focused entry cancels it as well; the click reaches no control.
    RightClick(kLevelRect);
    display.Key(XK_1);
    const size_t logged = plugin.log.size();
    display.Click(600, 150);
    Idle();
    EXPECT_EQ(plugin.automated.size(), 2u);
    EXPECT_EQ(plugin.log.size(), logged);

    // Editing inside the text keeps what follows the caret: "25", Home, "0.1" makes "0.125";
    // Delete "0.15"; Left, BackSpace "015"; "." "0.15".
    RightClick(kLevelRect);
    Type("25", XK_Home);
    Type("0.1", XK_Delete);
    display.Key(XK_Left);
    Type("", XK_BackSpace);
    Type(".", XK_Return);
    ASSERT_EQ(plugin.automated.size(), 3u);
    EXPECT_DOUBLE_EQ(plugin.automated[2], 0.15);
}

TEST_F(X11WindowServicesTest, AnEnumeratedPromptIsAMenuWithTheCurrentTextChecked) {
    std::thread helper([] {
        TestDisplay own;
        if (WaitForWindow([&own] { return own.FindMenu(); }) != 0 && own.WaitForKeyboardGrab()) {
            own.Key(XK_Down);
            own.Key(XK_Down);
            own.Key(XK_Down);
            own.Key(XK_Return);
        }
    });
    display.Click(330, 80, 3);
    Idle();
    helper.join();
    ASSERT_EQ(plugin.automated.size(), 1u);
    EXPECT_DOUBLE_EQ(plugin.automated[0], 1.0);
}

TEST_F(X11WindowServicesTest, MenusSkipSeparatorsRefuseGreyedEntriesAndOpenSubmenus) {
    IMenu sub;
    sub.AppendEntry(new IMenuEntry("X"));
    sub.AppendEntry(new IMenuEntry("Y"));
    IMenu menu(2);
    menu.AppendEntry(new IMenuEntry("P", nullptr, kMenuEntryGreyed));
    menu.AppendEntry(new IMenuEntry("", nullptr, kMenuEntrySeparator));
    menu.AppendEntry(new IMenuEntry("Q", &sub));
    menu.AppendEntry(new IMenuEntry("R", nullptr, kMenuEntryDisabled | kMenuEntryChecked));

    // Down: P (greyed: Return does nothing), Down skips the separator to Q, Right opens the
    // submenu on X, Down to Y, Return chooses it.
    IMenu* chosen = ShowWithKeys(menu, {XK_Down, XK_Return, XK_Down, XK_Right, XK_Down, XK_Return});
    EXPECT_EQ(chosen, &sub);
    EXPECT_EQ(sub.Chosen(), 1);
    EXPECT_EQ(menu.Chosen(), -1);

    // Left closes the submenu again; the disabled R cannot be chosen; Escape dismisses.
    sub.SetChosen(-1);
    chosen = ShowWithKeys(menu, {XK_Up, XK_Return, XK_Up, XK_Right, XK_Left, XK_Up, XK_Escape});
    EXPECT_EQ(chosen, nullptr);
    EXPECT_EQ(sub.Chosen(), -1);

    // Up from the top wraps to R: still refused; then Up to Q and Right, Return takes X.
    chosen = ShowWithKeys(menu, {XK_Up, XK_Return, XK_Up, XK_Right, XK_Return});
    EXPECT_EQ(chosen, &sub);
    EXPECT_EQ(sub.Chosen(), 0);
    // The menus are gone, and the editor paints on.
    EXPECT_EQ(display.FindMenu(), 0u);
}

TEST_F(X11WindowServicesTest, SubmenusOpenSixteenDeepAtMostAndTheDeepestStillChooses) {
    IMenu chain[20];
    for (int i = 0; i < 20; ++i) {
        chain[i].AppendEntry(new IMenuEntry("Deeper", i + 1 < 20 ? &chain[i + 1] : nullptr));
        chain[i].AppendEntry(new IMenuEntry("Here"));
    }
    // Right opens the next level and highlights its first entry until the sixteenth level;
    // then Down and Return choose that level's second entry.
    std::vector<unsigned long> keys = {XK_Down};
    keys.insert(keys.end(), 19, XK_Right);
    keys.insert(keys.end(), {XK_Down, XK_Return});
    EXPECT_EQ(ShowWithKeys(chain[0], keys), &chain[15]);
    EXPECT_EQ(chain[15].Chosen(), 1);
    EXPECT_EQ(display.FindMenu(), 0u);
}

TEST_F(X11WindowServicesTest, ShellServicesAnswerLikeTheirPlatform) {
    IByteBuffer out;
    editor->GetHostDirectory(out);
    const std::string host(reinterpret_cast<const char*>(out.Data()));
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.back(), '/');

    setenv("XDG_DATA_HOME", "/data/home", 1);
    IByteBuffer data;
    editor->GetUserAppDataDirectory(data);
    EXPECT_STREQ(reinterpret_cast<const char*>(data.Data()), "/data/home");
    unsetenv("XDG_DATA_HOME");

    // Nothing owns the clipboard on a fresh server.
    IByteBuffer clipboard;
    EXPECT_FALSE(editor->GetClipboardText(clipboard));

    IByteBuffer path;
    IByteBuffer directory;
    editor->PromptForFile(path, 1, directory, "png");
    EXPECT_STREQ(reinterpret_cast<const char*>(path.Data()), "");
    IColour colour;
    EXPECT_FALSE(editor->PromptForColour(colour, "Colour"));

    // Without xdg-open on PATH the address cannot be opened and the error is told.
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", "/nonexistent", 1);
    std::thread helper([] {
        TestDisplay own;
        const Window box = WaitForWindow([&own] { return own.FindNamed("Open"); });
        if (box != 0 && WaitForWindow([&own, box] { return own.FocusWindow() == box ? box : 0; }) != 0) {
            own.Key(XK_Return);
        }
    });
    EXPECT_FALSE(editor->OpenUrl("http://127.0.0.1/", "Open", nullptr, "No browser"));
    helper.join();
    setenv("PATH", oldPath.c_str(), 1);
}

} // namespace
