// The CLAP editor in a host window (on Linux run from the host's timer and descriptor watch),
// against the VST 2.4 editor's first paint of the same program, and an edit in it reaching the host.
// GoogleTest before Xlib, whose macros it would trip over.
#include <gtest/gtest.h>

#include "tests/formats/clap/ClapHost.h"
#include "tests/formats/vst2/Vst2Reference.h"
#include "tests/support/PanelPicture.h"

#ifdef _WIN32
#include "raster/PIX_SysBitmap.h"
#include "tests/windows/WindowTestSupport.h"
#else
#include "tests/x11/X11TestSupport.h"

#include <poll.h>
#endif

#include <chrono>
#include <regex>

namespace {

using namespace clap;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 720, kHeight = 174, kManualX = 116, kKnobY = 120;

#ifdef _WIN32
const char *const kApi = "win32", *const kOtherApi = "x11";
#else
const char *const kApi = "x11", *const kOtherApi = "win32";
#endif

TEST(ClapEditor, OpensInTheHostWindowPaintsAsTheVst2EditorSendsEditsAndLeavesNothingBehind) {
    Module module(KSP_CLAP_MODULE);
    PluginLibrary library(KSP_PHASER_PLUGIN);
    TestHost host, bare(false);
    Instance plugin(module, host), without(module, bare);
    ASSERT_TRUE(plugin.gui != nullptr && without.gui != nullptr && library.Loaded());
    Vst2Effect vst2(library);
    vst2.Dispatch(effSetProgram, 0, 9);
    ASSERT_TRUE(plugin.Load(vst2.Chunk(false)));

    // On Linux only with the host's timer and descriptor watch.
    EXPECT_EQ(Join(plugin.Do(plugin.gui, kIsApiSupported, kApi, false),
                   plugin.Do(plugin.gui, kIsApiSupported, kOtherApi, false),
                   without.Do(without.gui, kIsApiSupported, kApi, false)),
#ifdef _WIN32
              "1 0 1 ");
#else
              "1 0 0 ");
#endif
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(plugin.Do(plugin.gui, kGuiCreate, kApi, false));
    EXPECT_EQ(Join(plugin.Do(plugin.gui, kSetScale, 2.0), plugin.Do(plugin.gui, kCanResize),
                   plugin.Do(plugin.gui, kGetSize, &width, &height), width, height),
              Join(false, false, true, kWidth, kHeight));
#ifdef _WIN32
    HostWindow clapWindow, vst2Window;
    SetWindowPos(vst2Window.Handle(), nullptr, 40, 2 * kHeight + 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    auto run = [](int ms) { Pump(ms); };
    auto capture = [](HostWindow& window) {
        return CaptureWindow(GetWindow(window.Handle(), GW_CHILD), kWidth, kHeight);
    };
    auto move = [&clapWindow](int y) {
        MoveMouseHandled(GetWindow(clapWindow.Handle(), GW_CHILD), kManualX, y);
    };
    auto button = [](bool down) { MouseButtonHandled(true, down); };
#else
    TestDisplay display;
    HostWindow clapWindow(display, 0, 0, kWidth, kHeight),
        vst2Window(display, 0, 2 * kHeight, kWidth, kHeight);
    // The host's loop: the display's descriptor when readable, the timer when due.
    auto run = [&](int ms) {
        auto due = Clock::now();
        for (const auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end;) {
            pollfd ready = {host.fd, POLLIN, 0};
            if (host.fd >= 0 && poll(&ready, 1, 5) > 0) {
                plugin.Do<void>(plugin.Extension("clap.posix-fd-support"), 0, host.fd, 1u);
            }
            if (host.timerPeriod > 0 && Clock::now() >= due) {
                plugin.Do<void>(plugin.Extension("clap.timer-support"), 0, 7u);
                due += std::chrono::milliseconds(host.timerPeriod);
            }
            vst2.Dispatch(effEditIdle);
        }
    };
    auto capture = [&display](HostWindow& window) { return display.Capture(window.Id(), kWidth, kHeight); };
    auto move = [&display](int y) { display.Move(kManualX, y); };
    auto button = [&display](bool down) { display.Button(1, down); };
#endif
    const clap::Window parent = {kApi, reinterpret_cast<uintptr_t>(clapWindow.Handle())};
    ASSERT_TRUE(plugin.Do(plugin.gui, kSetParent, &parent) && plugin.Do(plugin.gui, kShow));
    ASSERT_EQ(vst2.Dispatch(effEditOpen, 0, 0, vst2Window.Handle()), 1);
    run(500);
    const auto clapPicture = capture(clapWindow);
    const auto vst2Picture = capture(vst2Window);
    ASSERT_TRUE(clapPicture && vst2Picture);
    EXPECT_GT(CountPanelDifferences(*vst2Picture, nullptr), kWidth * kHeight / 2);
    EXPECT_EQ(CountPanelDifferences(*clapPicture, vst2Picture.get()), 0);
#ifndef _WIN32
    EXPECT_TRUE(host.fd >= 0 && host.timerPeriod > 0);
#endif

    // A drag up the Manual knob while the plug-in is not processing.
    host.calls.clear();
    move(kKnobY);
    run(50);
    button(true);
    run(50);
    move(kKnobY - 20);
    run(50);
    button(false);
    run(100);
    EventList none;
    plugin.Flush(none);
    const std::string sent = plugin.sent.Text();
    EXPECT_TRUE(std::regex_match(sent, std::regex("begin 1 (value 1 )+end 1 "))) << sent;
    EXPECT_GE(host.Count("request_flush "), 1);

#ifndef _WIN32
    // Hidden, the editor paints nothing until it shows again.
    const uint32_t period = host.timerPeriod;
    EXPECT_TRUE(plugin.Do(plugin.gui, kHide));
    EXPECT_EQ(host.timerPeriod, 0u);
    EXPECT_TRUE(plugin.Do(plugin.gui, kShow));
    EXPECT_EQ(host.timerPeriod, period);
#endif
    plugin.Do<void>(plugin.gui, kGuiDestroy);
    EXPECT_EQ(Join(host.fd, host.timerPeriod), "-1 0 ");
    EXPECT_EQ(host.wrongThread, std::vector<std::string>());
    vst2.Dispatch(effEditClose);
}

} // namespace
