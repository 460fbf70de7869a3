// The built 64-bit plug-in as a host sees it: its editor opened in a top-level window of this
// program and driven with real input; pixels, parameter values, host calls, menus and message
// boxes read back.
#include "WindowTestSupport.h"

#include "effect/dsp/PhaserParameter.h"
#include "raster/PIX_SysBitmap.h"
#include "tests/integration/PluginLibrary.h"
#include "tests/platform/LoopbackHttpServer.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/PanelPicture.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;
using Mode = LoopbackHttpServer::Mode;

constexpr int kWidth = 720;
constexpr int kHeight = 174;
constexpr int kSettleMs = 250;
constexpr double kKnobPixel = 1.0 / 62.0 / 4.0; // one pixel of drag on a knob

Log hostLog;

VstIntPtr VSTCALLBACK HostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                   void* /*ptr*/, float /*opt*/) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterAutomate:
        hostLog.push_back("automate " + std::to_string(index));
        return 0;
    case audioMasterBeginEdit:
        hostLog.push_back("begin " + std::to_string(index));
        return 1;
    case audioMasterEndEdit:
        hostLog.push_back("end " + std::to_string(index));
        return 1;
    default:
        return 0;
    }
}

PluginLibrary& Library() {
    static PluginLibrary library(KSP_PHASER_PLUGIN);
    return library;
}

HMODULE PluginModule() {
    return GetModuleHandleA("KSPhaser64.dll");
}

bool WindowClassExists() {
    WNDCLASSA info;
    return GetClassInfoA(PluginModule(), "IPluginWndClass", &info) != FALSE;
}

VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
}

AEffect* OpenPlugin() {
    AEffect* effect = Library().Entry("VSTPluginMain")(HostCallback);
    Dispatch(effect, effOpen);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, effMainsChanged, 0, 1);
    return effect;
}

// The text without carriage returns, which a box may add to its line feeds.
std::string Collapse(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

// A handler for "http" addresses that writes the address it is asked to open into a file
// instead of starting a browser.
class UrlRecorder {
public:
    UrlRecorder() {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "ksp-opened-url.txt";
        std::remove(path.c_str());
        environment = std::make_unique<ScopedEnvironment>("KSP_TEST_URL_LOG", path.c_str());
        const std::string command = std::string("\"") + KSP_URL_RECORDER + "\" \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, command.c_str(),
                     static_cast<DWORD>(command.size()));
    }
    ~UrlRecorder() { std::remove(path.c_str()); }

    // The address opened, once the recorder wrote it.
    std::string Opened(int waitMs) {
        std::string text;
        PumpUntil(
            [&] {
                std::ifstream file(path);
                std::getline(file, text);
                return !text.empty();
            },
            waitMs);
        return text;
    }

private:
    std::string path;
    std::unique_ptr<ScopedEnvironment> environment;
};

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Library().Loaded());
        effect = OpenPlugin();
        ASSERT_NE(effect, nullptr);
        host = std::make_unique<HostWindow>();
        ASSERT_EQ(Dispatch(effect, effEditOpen, 0, 0, host->Handle()), 1);
        editor = GetWindow(host->Handle(), GW_CHILD);
        ASSERT_NE(editor, nullptr);
        Pump(kSettleMs);
        hostLog.clear();
    }
    void TearDown() override {
        Dispatch(effect, effEditClose);
        Dispatch(effect, effClose);
        host.reset();
        EXPECT_FALSE(WindowClassExists());
    }

    double Value(int index) const { return effect->getParameter(effect, index); }

    int PanelMismatches() {
        double values[kPhaserParameterCount];
        for (int i = 0; i < kPhaserParameterCount; ++i) {
            values[i] = Value(i);
        }
        const auto expected = ComposePanel(values);
        if (!expected) {
            ADD_FAILURE() << "the expected panel could not be composed";
            return -1;
        }
        const auto got = CaptureWindow(editor, kWidth, kHeight);
        int x = 0;
        int y = 0;
        const int mismatches = CountPanelMismatches(*got, *expected, x, y);
        if (mismatches > 0) {
            ADD_FAILURE() << mismatches << " pixels differ, the first at " << x << "," << y;
        }
        return mismatches;
    }

    // Presses at (x, y), moves by dy in steps of 4 pixels, releases.
    void Drag(int x, int y, int dy) {
        MoveMouse(editor, x, y);
        Pump(40);
        MouseButton(true, true);
        Pump(40);
        for (int moved = 0; moved != dy;) {
            moved += dy > 0 ? 4 : -4;
            MoveMouse(editor, x, y + moved);
            Pump(20);
        }
        MouseButton(true, false);
        Pump(60);
    }

    // Runs the update check from the online menu; the watcher answers the box with button.
    std::vector<SeenBox> CheckForUpdate(int button, int waitMs = 8000) {
        DialogWatcher watcher;
        watcher.AnswerMenu(0);
        watcher.AnswerBox(button);
        Click(editor, 600, 26);
        EXPECT_TRUE(PumpUntil([&] { return watcher.Done(); }, waitMs));
        Pump(200);
        return watcher.Boxes();
    }

    AEffect* effect = nullptr;
    std::unique_ptr<HostWindow> host;
    HWND editor = nullptr;
};

TEST_F(EditorWindow, PaintsThePanelAndFollowsProgramChanges) {
    EXPECT_EQ(PanelMismatches(), 0);
    for (int program : {9, 3}) {
        Dispatch(effect, effSetProgram, 0, program);
        Pump(kSettleMs);
        EXPECT_EQ(PanelMismatches(), 0) << "program " << program;
    }
}

TEST_F(EditorWindow, KnobDragsWheelAndDoubleClickReachTheHostBetweenGestures) {
    const double start = Value(Manual);
    Drag(116, 120, -40);
    EXPECT_NEAR(Value(Manual), start + 40 * kKnobPixel, kKnobPixel);
    ASSERT_GE(hostLog.size(), 3u);
    EXPECT_EQ(hostLog.front(), "begin 1");
    EXPECT_EQ(hostLog[1], "automate 1");
    EXPECT_EQ(hostLog.back(), "end 1");

    // (Shift drags cannot be shown here: Wine leaves MK_SHIFT out of the mouse messages of
    // SendInput even while Shift is down.)
    Pump(600); // a press at the same place within the double-click time would be a double-click
    // A notch is one step of 0.01; half a notch is no step.
    const double before = Value(Manual);
    MoveMouse(editor, 116, 120);
    Pump(40);
    Wheel(120);
    Pump(60);
    EXPECT_NEAR(Value(Manual), before + 0.01, 1e-6);
    Wheel(60);
    Pump(60);
    EXPECT_NEAR(Value(Manual), before + 0.01, 1e-6);

    // A double-click restores the default.
    Pump(600);
    Click(editor, 116, 120);
    Click(editor, 116, 120);
    EXPECT_NEAR(Value(Manual), std::sqrt(1000.0 / 16000.0), 1e-6);
    Pump(kSettleMs);
    EXPECT_EQ(PanelMismatches(), 0);
}

TEST_F(EditorWindow, SwitchClicksToggleStagesSyncAndWaveform) {
    const struct {
        int x;
        int y;
        int parameter;
    } switches[] = {{45, 120, Stages}, {411, 120, SyncToHost}, {451, 120, Waveform}};
    for (const auto& place : switches) {
        const double before = Value(place.parameter);
        hostLog.clear();
        Click(editor, place.x, place.y);
        EXPECT_NEAR(Value(place.parameter), 1.0 - before, 1e-6) << place.parameter;
        const std::string index = std::to_string(place.parameter);
        EXPECT_EQ(hostLog, (Log{"begin " + index, "automate " + index, "end " + index}));
    }
    Pump(kSettleMs);
    EXPECT_EQ(PanelMismatches(), 0);
}

TEST_F(EditorWindow, PresetMenuShowsTheProgramsAndSelectsTheFirst) {
    Dispatch(effect, effSetProgram, 0, 3);
    Pump(kSettleMs);
    {
        DialogWatcher watcher;
        watcher.AnswerMenu(0);
        Click(editor, 25, 27);
        ASSERT_TRUE(PumpUntil([&] { return watcher.Done(); }, 5000));
        Pump(kSettleMs);
        const std::vector<SeenMenu> menus = watcher.Menus();
        ASSERT_EQ(menus.size(), 1u);
        EXPECT_EQ(menus[0].texts,
                  (std::vector<std::string>{"default", "Orbitesque", "Uni-Vibe", "8-Stager", "8-Viber",
                                            "Wash out", "Comfort", "Vibrato", "Feedbacker", "Aliens"}));
        EXPECT_EQ(menus[0].checked,
                  (std::vector<bool>{false, false, false, true, false, false, false, false, false, false}));
    }
    EXPECT_EQ(Dispatch(effect, effGetProgram), 0);
    EXPECT_EQ(PanelMismatches(), 0);
    Pump(600);
    {
        DialogWatcher watcher;
        watcher.AnswerMenu(-1);
        Click(editor, 25, 27);
        ASSERT_TRUE(PumpUntil([&] { return watcher.Done(); }, 5000));
        Pump(kSettleMs);
    }
    EXPECT_EQ(Dispatch(effect, effGetProgram), 0);
}

TEST_F(EditorWindow, UpdateCheckTellsEachReplyInItsMessageBox) {
    const std::string error = "An error occurred while contacting 127.0.0.1.";
    const std::string title = "Check Online for Update";
    const struct {
        Mode mode;
        const char* body;
        SeenBox box;
    } cases[] = {
        {Mode::Answer, "2002", {title, "Your version is up to date.", 0x40}},
        {Mode::Answer, "1999", {title, "Your version is up to date.", 0x40}},
        {Mode::Answer, "<html><body>2003</body></html>", {title, "Invalid call to 127.0.0.1.", 0x10}},
        {Mode::Answer, "", {title, error, 0x10}},
        {Mode::Huge, "", {title, "Your version is up to date.", 0x40}},
    };
    for (const auto& row : cases) {
        LoopbackHttpServer server(row.mode, "200 OK", row.body);
        const std::string address = "127.0.0.1:" + std::to_string(server.Port());
        ScopedEnvironment variable("KSPHASER_UPDATE_SERVER", address.c_str());
        const std::vector<SeenBox> boxes = CheckForUpdate(IDOK);
        ASSERT_EQ(boxes.size(), 1u) << row.body;
        EXPECT_EQ(boxes[0].caption, row.box.caption);
        EXPECT_EQ(boxes[0].text, row.box.text) << row.body;
        EXPECT_EQ(boxes[0].type, row.box.type) << row.body;
        ASSERT_FALSE(server.Requests().empty());
        EXPECT_EQ(server.Requests()[0].rfind("GET /music/version/?file=ksphaser HTTP/1.1\r\n", 0), 0u);
    }
    {
        const std::string address = "127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort());
        ScopedEnvironment variable("KSPHASER_UPDATE_SERVER", address.c_str());
        const std::vector<SeenBox> boxes = CheckForUpdate(IDOK);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, error);
        EXPECT_EQ(boxes[0].type, 0x10);
    }
    {
        // A server that accepts and never answers ends in the error within 30 s.
        LoopbackHttpServer server(Mode::Silent);
        const std::string address = "127.0.0.1:" + std::to_string(server.Port());
        ScopedEnvironment variable("KSPHASER_UPDATE_SERVER", address.c_str());
        const std::vector<SeenBox> boxes = CheckForUpdate(IDOK, 30000);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, error);
    }
    EXPECT_EQ(PanelMismatches(), 0);
}

TEST_F(EditorWindow, NewVersionIsOfferedAndOnlyYesOpensTheDownloadPage) {
    UrlRecorder recorder;
    LoopbackHttpServer server(Mode::Answer, "200 OK", "2003\n");
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    ScopedEnvironment variable("KSPHASER_UPDATE_SERVER", address.c_str());
    const std::string text = "A new version of Kestrunelle Phaser is available.\n\n\tYour version: \t2.0.2\n"
                             "\tNew version: \t2.0.3\n\n\nDo you want to go to " +
                             address + " to get the new version?";

    std::vector<SeenBox> boxes = CheckForUpdate(IDNO);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "New Version of Kestrunelle Phaser Detected");
    EXPECT_EQ(Collapse(boxes[0].text), text);
    EXPECT_EQ(boxes[0].type, MB_YESNO);
    EXPECT_EQ(recorder.Opened(1000), "");

    DWORD connection = 0;
    if (!InternetGetConnectedState(&connection, 0)) {
        GTEST_SKIP() << "the system reports no Internet connection, so no address is opened";
    }
    boxes = CheckForUpdate(IDYES);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(recorder.Opened(10000), "http://" + address + "/music/vst.html");
}

TEST_F(EditorWindow, KeysTheEditorDoesNotTakeReachTheHostWindow) {
    Click(editor, 300, 60); // the background: gives the editor the focus
    TypeKey(VK_F5);
    TypeKey('A'); // a mapped key that no control takes
    Pump(100);
    EXPECT_EQ(host->keys, (std::vector<WPARAM>{VK_F5, 'A'}));
}

TEST(EditorWindows, TwoInstancesShareOneWindowClassThatGoesWithTheLast) {
    ASSERT_TRUE(Library().Loaded());
    AEffect* first = OpenPlugin();
    AEffect* second = OpenPlugin();
    HostWindow firstHost;
    HostWindow secondHost;
    EXPECT_EQ(Dispatch(first, effEditOpen, 0, 0, firstHost.Handle()), 1);
    EXPECT_EQ(Dispatch(second, effEditOpen, 0, 0, secondHost.Handle()), 1);
    Pump(kSettleMs);
    EXPECT_TRUE(WindowClassExists());
    Dispatch(first, effEditClose);
    EXPECT_TRUE(WindowClassExists());
    Dispatch(second, effEditClose);
    EXPECT_FALSE(WindowClassExists());
    Dispatch(first, effClose);
    Dispatch(second, effClose);
}

TEST(EditorWindows, OpensAgainAndAgainAndSurvivesItsHostWindowClosing) {
    ASSERT_TRUE(Library().Loaded());
    AEffect* effect = OpenPlugin();
    {
        HostWindow host;
        for (int i = 0; i < 5; ++i) {
            ASSERT_EQ(Dispatch(effect, effEditOpen, 0, 0, host.Handle()), 1);
            Pump(60);
            EXPECT_NE(GetWindow(host.Handle(), GW_CHILD), nullptr);
            Dispatch(effect, effEditClose);
            EXPECT_EQ(GetWindow(host.Handle(), GW_CHILD), nullptr);
        }
        ASSERT_EQ(Dispatch(effect, effEditOpen, 0, 0, host.Handle()), 1);
        Pump(60);
    } // the host's window goes with the editor open
    Pump(60);
    Dispatch(effect, effEditClose);
    EXPECT_FALSE(WindowClassExists());
    HostWindow host;
    ASSERT_EQ(Dispatch(effect, effEditOpen, 0, 0, host.Handle()), 1);
    Pump(kSettleMs);
    Dispatch(effect, effClose); // closes the window with the plug-in
    EXPECT_FALSE(WindowClassExists());
}

} // namespace
