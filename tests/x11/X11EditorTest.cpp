// The built plug-in as a Linux host drives it: loaded through VSTPluginMain, its editor opened
// in a top-level window of the test's display, effEditIdle called as hosts call it, real input
// through XTest and the pixels read back.
// GoogleTest before Xlib, whose macros (None) it would trip over.
#include <gtest/gtest.h>

#include "X11TestSupport.h"
#include "raster/PIX_PNG.h"
#include "tests/integration/PluginLibrary.h"
#include "tests/platform/LoopbackHttpServer.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/PanelPicture.h"

#include <X11/keysym.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kStages = 0;
constexpr int kManual = 1;
constexpr int kSync = 7;
constexpr int kWaveform = 9;
// Centres of controls on the panel.
constexpr int kManualX = 116;
constexpr int kKnobY = 120;
constexpr int kStagesX = 45;
constexpr int kSwitchY = 122;
constexpr int kSyncX = 411;
constexpr int kWaveformX = 451;
constexpr int kPresetMenuX = 25;
constexpr int kPresetMenuY = 27;
constexpr int kOnlineMenuX = 630;
constexpr int kOnlineMenuY = 26;

std::mutex logMutex;
std::vector<std::string> hostLog;

VstIntPtr VSTCALLBACK HostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                   void* /*ptr*/, float opt) {
    std::lock_guard<std::mutex> lock(logMutex);
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterAutomate:
        hostLog.push_back("automate " + std::to_string(index) + " " + std::to_string(opt));
        return 0;
    case audioMasterBeginEdit:
        hostLog.push_back("begin " + std::to_string(index));
        return 0;
    case audioMasterEndEdit:
        hostLog.push_back("end " + std::to_string(index));
        return 0;
    default:
        return 0;
    }
}

std::vector<std::string> TakeLog() {
    std::lock_guard<std::mutex> lock(logMutex);
    std::vector<std::string> taken;
    taken.swap(hostLog);
    return taken;
}

// Counts the calls of the test's X error handler for displays other than the test's own (whose
// searches may race with windows going away): the editor must never reach it.
std::atomic<int> hostErrors{0};
int HostErrorHandler(Display* display, XErrorEvent*) {
    if (!TestDisplay::IsTestDisplay(display)) {
        ++hostErrors;
    }
    return 0;
}

// One instance of the built plug-in with its editor in a host window at (x, y).
class PluginInstance {
public:
    PluginInstance(TestDisplay& display, int x, int y)
        : library(KSP_PHASER_PLUGIN), window(display, x, y, kPanelWidth, kPanelHeight), display(display) {
        auto entry = library.Entry("VSTPluginMain");
        effect = entry != nullptr ? entry(HostCallback) : nullptr;
        if (effect != nullptr) {
            Dispatch(effOpen);
            Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
            Dispatch(effSetBlockSize, 0, 512);
            Dispatch(effMainsChanged, 0, 1);
        }
    }
    ~PluginInstance() {
        if (effect != nullptr) {
            Dispatch(effEditClose);
            Dispatch(effClose);
        }
    }
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    bool Open() { return Dispatch(effEditOpen, 0, 0, window.Handle()) == 1; }
    // Host idle calls at 60 a second for about ms milliseconds (at least one).
    void Idle(int ms = 150) {
        for (int waited = 0; waited == 0 || waited < ms; waited += 16) {
            Dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
    }
    double Parameter(int index) { return effect->getParameter(effect, index); }
    // Pixels that differ from the expected panel for the current values, outside the texts.
    int Mismatches() {
        double values[10];
        for (int i = 0; i < 10; ++i) {
            values[i] = Parameter(i);
        }
        const auto expected = ComposePanel(values);
        const auto got = display.Capture(window.Id(), kPanelWidth, kPanelHeight);
        int x = -1;
        int y = -1;
        return got ? CountPanelMismatches(*got, *expected, x, y) : -1;
    }
    // Root coordinates of a panel point.
    int RootX(int x) const { return window.X() + x; }
    int RootY(int y) const { return window.Y() + y; }

    PluginLibrary library;
    HostWindow window;
    AEffect* effect = nullptr;

private:
    TestDisplay& display;
};

class X11EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        TakeLog();
        hostErrors = 0;
        previousHandler = XSetErrorHandler(HostErrorHandler);
        display.Move(1000, 700);
    }
    void TearDown() override {
        XErrorHandler ours = XSetErrorHandler(previousHandler);
        EXPECT_EQ(ours, &HostErrorHandler) << "the editor left another error handler installed";
        EXPECT_EQ(hostErrors, 0) << "the editor's X errors reached the host's handler";
    }

    // Clicks at a panel point while a helper thread answers what the click opens.
    void ClickAndAnswer(PluginInstance& plugin, int x, int y,
                        const std::function<void(TestDisplay&)>& answer) {
        std::thread helper([&answer] {
            TestDisplay own;
            answer(own);
        });
        display.Click(plugin.RootX(x), plugin.RootY(y));
        plugin.Idle();
        helper.join();
        plugin.Idle();
    }

    TestDisplay display;
    XErrorHandler previousHandler = nullptr;
};

// Waits for the menu and for its grab (taken right after it is mapped).
Window WaitForMenu(TestDisplay& own) {
    const Window menu = WaitForWindow([&own] { return own.FindMenu(); });
    return menu != 0 && own.WaitForKeyboardGrab() ? menu : 0;
}

// Waits for the message box captioned caption to take the focus, runs meanwhile, then presses
// key; false when no such box came.
bool AnswerBox(
    TestDisplay& own, const std::string& caption, unsigned long key,
    const std::function<void()>& meanwhile = [] {}) {
    const Window box =
        WaitForWindow([&own, &caption] { return own.FindNamed(caption); }, std::chrono::seconds(40));
    if (box == 0 || WaitForWindow([&own, box] { return own.FocusWindow() == box ? box : 0; }) == 0) {
        return false;
    }
    meanwhile();
    own.Key(key);
    return true;
}

TEST_F(X11EditorTest, ReportsAnEditorAndPaintsThePanelForDefaultsProgramsAndHostChanges) {
    PluginInstance plugin(display, 0, 0);
    ASSERT_NE(plugin.effect, nullptr);
    EXPECT_NE(plugin.effect->flags & effFlagsHasEditor, 0);
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, kPanelWidth);
    EXPECT_EQ(rect->bottom - rect->top, kPanelHeight);
    ASSERT_TRUE(plugin.Open());
    plugin.Idle();
    EXPECT_EQ(plugin.Mismatches(), 0);

    plugin.Dispatch(effSetProgram, 0, 3);
    plugin.Idle();
    EXPECT_EQ(plugin.Mismatches(), 0);

    plugin.effect->setParameter(plugin.effect, kManual, 0.9f);
    plugin.effect->setParameter(plugin.effect, kStages, 1.0f);
    plugin.effect->setParameter(plugin.effect, kWaveform, 1.0f);
    plugin.Idle();
    EXPECT_EQ(plugin.Mismatches(), 0);
}

TEST_F(X11EditorTest, KnobDragsWheelAndDoubleClickSetTheValueBetweenGestures) {
    PluginInstance plugin(display, 0, 0);
    ASSERT_TRUE(plugin.Open());
    plugin.Idle();
    const double defaultManual = plugin.Parameter(kManual);
    plugin.effect->setParameter(plugin.effect, kManual, 0.5f);
    plugin.Idle(50);
    const double start = plugin.Parameter(kManual);
    TakeLog();

    // Up by 20 pixels; the drag goes on outside the window (the press's implicit grab).
    display.Move(plugin.RootX(kManualX), plugin.RootY(kKnobY));
    display.Button(1, true);
    plugin.Idle(50);
    display.Move(plugin.RootX(kPanelWidth + 200), plugin.RootY(kKnobY) - 20);
    plugin.Idle(50);
    display.Button(1, false);
    plugin.Idle();
    const double coarse = plugin.Parameter(kManual) - start;
    EXPECT_GT(coarse, 0.0);
    std::vector<std::string> log = TakeLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "begin 1");
    EXPECT_EQ(log.back(), "end 1");
    EXPECT_EQ(log[1].rfind("automate 1 ", 0), 0u);
    EXPECT_EQ(plugin.Mismatches(), 0);

    // Shift drags ten times finer.
    const double before = plugin.Parameter(kManual);
    display.Move(plugin.RootX(kManualX) + 5, plugin.RootY(kKnobY));
    display.Modifier(XK_Shift_L, true);
    display.Button(1, true);
    plugin.Idle(50);
    display.Move(plugin.RootX(kManualX) + 5, plugin.RootY(kKnobY) - 20);
    plugin.Idle(50);
    display.Button(1, false);
    display.Modifier(XK_Shift_L, false);
    plugin.Idle(50);
    EXPECT_NEAR(plugin.Parameter(kManual) - before, coarse / 10.0, 0.002);

    // One wheel step up, one down (their releases do nothing).
    const double wheelStart = plugin.Parameter(kManual);
    display.Click(plugin.RootX(kManualX), plugin.RootY(kKnobY), 4);
    plugin.Idle(50);
    EXPECT_NEAR(plugin.Parameter(kManual) - wheelStart, 0.01, 1e-6);
    display.Click(plugin.RootX(kManualX), plugin.RootY(kKnobY), 5);
    plugin.Idle(50);
    EXPECT_NEAR(plugin.Parameter(kManual), wheelStart, 1e-6);

    // A double-click restores the default.
    TakeLog();
    display.Click(plugin.RootX(kManualX), plugin.RootY(kKnobY));
    display.Click(plugin.RootX(kManualX) + 2, plugin.RootY(kKnobY));
    plugin.Idle();
    EXPECT_NEAR(plugin.Parameter(kManual), defaultManual, 1e-6);
    EXPECT_EQ(plugin.Mismatches(), 0);
}

TEST_F(X11EditorTest, StagesSyncAndWaveformClicksToggleTheirParameters) {
    PluginInstance plugin(display, 0, 0);
    ASSERT_TRUE(plugin.Open());
    plugin.Idle();
    for (const int index : {kStages, kSync, kWaveform}) {
        const int x = index == kStages ? kStagesX : index == kSync ? kSyncX : kWaveformX;
        const float before = static_cast<float>(plugin.Parameter(index));
        TakeLog();
        display.Click(plugin.RootX(x), plugin.RootY(kSwitchY));
        plugin.Idle();
        EXPECT_EQ(plugin.Parameter(index), before > 0.5f ? 0.0 : 1.0) << index;
        const std::string i = std::to_string(index);
        const std::vector<std::string> expected = {
            "begin " + i, "automate " + i + (before > 0.5f ? " 0.000000" : " 1.000000"), "end " + i};
        EXPECT_EQ(TakeLog(), expected);
        // A key nobody takes goes on to the host's window.
        display.Key(XK_F5);
        plugin.Idle(50);
    }
    EXPECT_EQ(plugin.Mismatches(), 0);
    EXPECT_EQ(plugin.window.ForwardedKeys(), 3);
}

TEST_F(X11EditorTest, PresetMenuChoosesByKeyboardAndMouseAndIsDismissedOutside) {
    PluginInstance plugin(display, 0, 0);
    ASSERT_TRUE(plugin.Open());
    plugin.Idle();
    ClickAndAnswer(plugin, kPresetMenuX, kPresetMenuY, [](TestDisplay& own) {
        if (WaitForMenu(own) != 0) {
            own.Key(XK_Down);
            own.Key(XK_Down);
            own.Key(XK_Down);
            own.Key(XK_Up);
            own.Key(XK_Return);
        }
    });
    EXPECT_EQ(plugin.Dispatch(effGetProgram), 1);
    EXPECT_EQ(plugin.Mismatches(), 0);

    ClickAndAnswer(plugin, kPresetMenuX, kPresetMenuY, [](TestDisplay& own) {
        const Window menu = WaitForMenu(own);
        int x = 0, y = 0, w = 0, h = 0;
        own.Geometry(menu, x, y, w, h);
        // Ten rows of equal height inside a one-pixel border: the sixth entry.
        own.Click(x + w / 2, y + 1 + (h - 2) * 11 / 20);
    });
    EXPECT_EQ(plugin.Dispatch(effGetProgram), 5);

    TakeLog();
    for (const unsigned long dismiss : {0ul, static_cast<unsigned long>(XK_Escape)}) {
        ClickAndAnswer(plugin, kPresetMenuX, kPresetMenuY, [dismiss](TestDisplay& own) {
            WaitForMenu(own);
            if (dismiss == 0) {
                own.Click(600, 150);
            } else {
                own.Key(XK_Down);
                own.Key(dismiss);
            }
        });
        EXPECT_EQ(plugin.Dispatch(effGetProgram), 5);
        EXPECT_EQ(display.FindMenu(), 0u);
    }
    // The dismissing click reached no control.
    EXPECT_EQ(TakeLog(), std::vector<std::string>());
    EXPECT_EQ(plugin.Mismatches(), 0);
}

// The update check from the online menu against a server on loopback, with xdg-open recorded
// by a stand-in.
class X11UpdateCheckTest : public X11EditorTest {
protected:
    void SetUp() override {
        X11EditorTest::SetUp();
        char folder[] = "/tmp/ksp-x11-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        directory = folder;
        record = directory + "/opened";
        std::ofstream(directory + "/xdg-open") << "#!/bin/sh\necho \"$@\" >> '" << record << "'\n";
        chmod((directory + "/xdg-open").c_str(), 0755);
        path = std::make_unique<ScopedEnvironment>("PATH", (directory + ":" + std::getenv("PATH")).c_str());
    }
    void TearDown() override {
        path.reset();
        std::remove(record.c_str());
        std::remove((directory + "/xdg-open").c_str());
        rmdir(directory.c_str());
        X11EditorTest::TearDown();
    }

    // Chooses the update check and answers the box captioned caption with key; whether it came.
    // With processWhileOpen, a block of audio is processed on another thread while the box is
    // open, and processedInTime tells whether it finished within two seconds.
    bool Check(int port, const std::string& caption, unsigned long key, bool processWhileOpen = false) {
        const std::string server = "127.0.0.1:" + std::to_string(port);
        ScopedEnvironment environment("KSPHASER_UPDATE_SERVER", server.c_str());
        PluginInstance plugin(display, 0, 0);
        bool answered = false;
        std::atomic<bool> processed{false};
        std::thread audio;
        const auto process = [&] {
            audio = std::thread([&] {
                std::vector<float> left(512), right(512);
                float* inputs[] = {left.data(), right.data()};
                plugin.effect->processReplacing(plugin.effect, inputs, inputs, 512);
                processed = true;
            });
            for (int i = 0; i < 200 && !processed; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            processedInTime = processed;
        };
        if (plugin.Open()) {
            plugin.Idle();
            ClickAndAnswer(plugin, kOnlineMenuX, kOnlineMenuY, [&](TestDisplay& own) {
                if (WaitForMenu(own) != 0) {
                    own.Key(XK_Down);
                    own.Key(XK_Return);
                    answered = processWhileOpen ? AnswerBox(own, caption, key, process)
                                                : AnswerBox(own, caption, key);
                }
            });
        }
        if (audio.joinable()) {
            audio.join();
        }
        return answered;
    }
    std::string Opened() {
        std::ifstream file(record);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // The stand-in runs detached: its record comes a little later.
    std::string WaitOpened() {
        for (int i = 0; i < 100 && Opened().empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return Opened();
    }

    std::string directory;
    std::string record;
    bool processedInTime = false;
    std::unique_ptr<ScopedEnvironment> path;
};

TEST_F(X11UpdateCheckTest, EveryAnswerOfTheServerEndsInItsMessageBox) {
    const std::string title = "Check Online for Update";
    {
        LoopbackHttpServer server(LoopbackHttpServer::Mode::Answer, "200 OK", "2002");
        EXPECT_TRUE(Check(server.Port(), title, XK_Return));
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0].rfind("GET /music/version/?file=ksphaser HTTP/1.1\r\n", 0), 0u);
    }
    {
        LoopbackHttpServer server(LoopbackHttpServer::Mode::Answer, "200 OK", "<html>2003</html>");
        EXPECT_TRUE(Check(server.Port(), title, XK_Escape));
    }
    {
        LoopbackHttpServer server(LoopbackHttpServer::Mode::Answer, "200 OK", "");
        EXPECT_TRUE(Check(server.Port(), title, XK_Return));
    }
    {
        LoopbackHttpServer huge(LoopbackHttpServer::Mode::Huge);
        EXPECT_TRUE(Check(huge.Port(), title, XK_Return));
    }
    EXPECT_TRUE(Check(LoopbackHttpServer::UnusedPort(), title, XK_Return));
    EXPECT_EQ(Opened(), "");
}

TEST_F(X11UpdateCheckTest, ANewVersionOpensTheDownloadPageOnYesOnly) {
    LoopbackHttpServer server(LoopbackHttpServer::Mode::Answer, "200 OK", "2003\n");
    const std::string caption = "New Version of Kestrunelle Phaser Detected";
    EXPECT_TRUE(Check(server.Port(), caption, XK_Escape));
    EXPECT_EQ(Opened(), "");
    EXPECT_TRUE(Check(server.Port(), caption, XK_Return));
    EXPECT_EQ(WaitOpened(), "http://127.0.0.1:" + std::to_string(server.Port()) + "/music/vst.html\n");
}

TEST_F(X11UpdateCheckTest, TheOnlineMenusSecondEntryOpensTheMakersSite) {
    ScopedEnvironment environment("KSPHASER_UPDATE_SERVER", "127.0.0.1:8123");
    PluginInstance plugin(display, 0, 0);
    ASSERT_TRUE(plugin.Open());
    plugin.Idle();
    ClickAndAnswer(plugin, kOnlineMenuX, kOnlineMenuY, [](TestDisplay& own) {
        if (WaitForMenu(own) != 0) {
            own.Key(XK_Down);
            own.Key(XK_Down);
            own.Key(XK_Return);
        }
    });
    EXPECT_EQ(WaitOpened(), "http://127.0.0.1:8123/\n");
}

TEST_F(X11UpdateCheckTest, AudioGoesOnWhileTheCheckWaitsForTheUser) {
    LoopbackHttpServer server(LoopbackHttpServer::Mode::Answer, "200 OK", "2002");
    EXPECT_TRUE(Check(server.Port(), "Check Online for Update", XK_Return, true));
    EXPECT_TRUE(processedInTime);
}

TEST_F(X11UpdateCheckTest, AServerThatNeverAnswersEndsInTheErrorBox) {
    LoopbackHttpServer server(LoopbackHttpServer::Mode::Silent);
    EXPECT_TRUE(Check(server.Port(), "Check Online for Update", XK_Return));
}

TEST_F(X11EditorTest, OpensAndClosesThirtyTimesAndTwoInstancesPaintSideBySide) {
    PluginInstance first(display, 0, 0);
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(first.Open());
        first.Idle(16);
        first.Dispatch(effEditClose);
    }
    PluginInstance second(display, 0, 200);
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(second.Open());
    second.Dispatch(effSetProgram, 0, 7);
    first.Idle();
    second.Idle();
    EXPECT_EQ(first.Mismatches(), 0);
    EXPECT_EQ(second.Mismatches(), 0);
    // Only the editor's own child window exists in each host window.
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display.Get(), first.window.Id(), &root, &parent, &children, &count);
    EXPECT_EQ(count, 1u);
    XFree(children);
    first.Dispatch(effEditClose);
    XQueryTree(display.Get(), first.window.Id(), &root, &parent, &children, &count);
    EXPECT_EQ(count, 0u);
}

TEST_F(X11EditorTest, AHostThatIdlesRarelyOrNeverStillGetsTheLatestPicture) {
    PluginInstance plugin(display, 0, 0);
    ASSERT_TRUE(plugin.Open());
    // Never idled: nothing painted, nothing breaks; closing is fine.
    plugin.Dispatch(effEditClose);
    ASSERT_TRUE(plugin.Open());
    plugin.effect->setParameter(plugin.effect, kManual, 0.2f);
    for (int i = 0; i < 3; ++i) {
        plugin.Dispatch(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    EXPECT_EQ(plugin.Mismatches(), 0);
}

TEST_F(X11EditorTest, AParentDestroyedBeforeEffEditCloseEndsNothing) {
    PluginInstance plugin(display, 0, 0);
    ASSERT_TRUE(plugin.Open());
    plugin.Idle();
    void* gone = plugin.window.Handle();
    plugin.window.Destroy();
    plugin.effect->setParameter(plugin.effect, kManual, 0.7f);
    plugin.Idle();
    plugin.Dispatch(effEditClose);
    // A parent that no longer exists cannot take an editor.
    EXPECT_EQ(plugin.Dispatch(effEditOpen, 0, 0, gone), 0);
    HostWindow again(display, 0, 0, kPanelWidth, kPanelHeight);
    EXPECT_EQ(plugin.Dispatch(effEditOpen, 0, 0, again.Handle()), 1);
    plugin.Idle();
    plugin.Dispatch(effEditClose);
}

#ifdef KSP_HOST_PROGRAM
// The host's snapshot command, on the test's display and on a private Xvfb of its own.
TEST_F(X11EditorTest, TheHostsSnapshotCommandSavesThePaintedPanel) {
    PluginInstance reference(display, 0, 0);
    reference.Dispatch(effSetProgram, 0, 9);
    double values[10];
    for (int i = 0; i < 10; ++i) {
        values[i] = reference.Parameter(i);
    }
    const auto expected = ComposePanel(values);
    const std::string out = "/tmp/ksp-x11-snapshot-" + std::to_string(getpid()) + ".png";
    for (const char* environment : {"", "env -u DISPLAY "}) {
        const std::string command = std::string(environment) + "'" + KSP_HOST_PROGRAM + "' snapshot '" +
                                    KSP_PHASER_PLUGIN + "' " + out + " --program Aliens > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream file(out, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        std::unique_ptr<PIX_MemBitmap> picture(
            PIX_ReadPNGFromBuffer(bytes.data(), static_cast<int>(bytes.size())));
        ASSERT_NE(picture, nullptr) << command;
        int x = -1;
        int y = -1;
        EXPECT_EQ(CountPanelMismatches(*picture, *expected, x, y), 0) << command << " at " << x << "," << y;
        std::remove(out.c_str());
    }
}
#endif

} // namespace
