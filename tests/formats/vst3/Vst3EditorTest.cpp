// The VST 3 editor in a host window (on Linux run from the host's run loop), against the VST 2.4
// editor's first paint of the same program.
// GoogleTest before Xlib, whose macros it would trip over.
#include <gtest/gtest.h>

#include "tests/formats/vst2/Vst2Reference.h"
#include "tests/formats/vst3/Vst3Host.h"
#include "tests/support/PanelPicture.h"

#ifdef _WIN32
#include "raster/PIX_SysBitmap.h"
#include "tests/windows/WindowTestSupport.h"
#else
#include "tests/x11/X11TestSupport.h"

#include <poll.h>
#endif

#include <chrono>
#include <utility>

namespace {

using namespace v3;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 720, kHeight = 174;
constexpr uint32_t kProgram = 101;

#ifdef _WIN32
const char *const kPlatform = "HWND", *const kOtherPlatform = "X11EmbedWindowID";

struct Frame final : HostObject<kIPlugFrame> {
    virtual tresult KSP_V3CALL resizeView(void*, ViewRect*) { return kResultFalse; }
};
#else
const char *const kPlatform = "X11EmbedWindowID", *const kOtherPlatform = "HWND";

// A Linux host's run loop: Run polls the registered descriptor and fires the timer when it is due.
struct RunLoop final : HostObject<kIRunLoop> {
    virtual tresult KSP_V3CALL registerEventHandler(void* handler, int descriptor) {
        Call<uint32_t>(events = handler, kAddRef);
        fd = descriptor;
        return kResultOk;
    }
    virtual tresult KSP_V3CALL unregisterEventHandler(void* handler) { return Drop(events, handler); }
    virtual tresult KSP_V3CALL registerTimer(void* handler, uint64_t milliseconds) {
        Call<uint32_t>(timer = handler, kAddRef);
        interval = std::chrono::milliseconds(milliseconds);
        due = Clock::now() + interval;
        return kResultOk;
    }
    virtual tresult KSP_V3CALL unregisterTimer(void* handler) { return Drop(timer, handler); }
    static tresult Drop(void*& kept, void* handler) {
        if (handler == nullptr || handler != kept) {
            return kResultFalse;
        }
        Release(std::exchange(kept, nullptr));
        return kResultOk;
    }
    void Run(int ms) {
        for (const auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end;) {
            pollfd ready = {fd, POLLIN, 0};
            if (events != nullptr && poll(&ready, 1, 5) > 0) {
                Call<void>(events, kOnFDIsSet, fd);
            }
            if (timer != nullptr && Clock::now() >= due) {
                Call<void>(timer, kOnTimer);
                due += interval;
            }
        }
    }

    void* events = nullptr;
    void* timer = nullptr;
    int fd = -1;
    std::chrono::milliseconds interval{0};
    Clock::time_point due;
};

// The frame hands out its run loop.
struct Frame final : HostObject<kIPlugFrame> {
    tresult KSP_V3CALL queryInterface(const char* asked, void** object) override {
        return Same(asked, kIRunLoop) ? loop.queryInterface(asked, object)
                                      : HostObject::queryInterface(asked, object);
    }
    virtual tresult KSP_V3CALL resizeView(void*, ViewRect*) { return kResultFalse; }

    RunLoop loop;
};
#endif

TEST(Vst3Editor, OpensInTheHostWindowPaintsAsTheVst2EditorAndLeavesNothingBehind) {
    Module module(KSP_VST3_BUNDLE);
    Instance plugin(module);
    PluginLibrary library(KSP_PHASER_PLUGIN);
    ASSERT_TRUE(plugin.controller != nullptr && library.Loaded());
    ASSERT_EQ(Call(plugin.controller, kSetParamNormalized, kProgram, 1.0), kResultOk);
    EXPECT_EQ(Call<void*>(plugin.controller, kCreateView, "other"), nullptr);
    void* view = Call<void*>(plugin.controller, kCreateView, "editor");
    ASSERT_NE(view, nullptr);
    ViewRect size = {};
    ASSERT_EQ(Call(view, kGetSize, &size), kResultOk);
    EXPECT_EQ(Join(size.right - size.left, size.bottom - size.top, Call(view, kCanResize),
                   Call(view, kIsPlatformTypeSupported, kPlatform),
                   Call(view, kIsPlatformTypeSupported, kOtherPlatform)),
              Join(kWidth, kHeight, kResultFalse, kResultOk, kResultFalse));

    Vst2Effect vst2(library);
    AEffect* effect = vst2.effect;
    vst2.Dispatch(effSetProgram, 0, 9);
    Frame frame;
#ifdef _WIN32
    HostWindow vst3Window, vst2Window;
    SetWindowPos(vst2Window.Handle(), nullptr, 40, 2 * kHeight + 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    auto run = [] { Pump(500); };
    auto capture = [](HostWindow& host) {
        return CaptureWindow(GetWindow(host.Handle(), GW_CHILD), kWidth, kHeight);
    };
#else
    TestDisplay display;
    HostWindow vst3Window(display, 0, 0, kWidth, kHeight),
        vst2Window(display, 0, 2 * kHeight, kWidth, kHeight);
    auto run = [&frame, effect] {
        for (int round = 0; round < 25; ++round) {
            frame.loop.Run(20);
            effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
        }
    };
    auto capture = [&display](HostWindow& host) { return display.Capture(host.Id(), kWidth, kHeight); };
#endif
    ASSERT_EQ(Call(view, kSetFrame, &frame), kResultOk);
    ASSERT_EQ(Call(view, kAttached, static_cast<void*>(vst3Window.Handle()), kPlatform), kResultOk);
    ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, vst2Window.Handle(), 0.0f), 1);
    run();
    const auto vst3Picture = capture(vst3Window);
    const auto vst2Picture = capture(vst2Window);
    ASSERT_TRUE(vst3Picture && vst2Picture);
    EXPECT_GT(CountPanelDifferences(*vst2Picture, nullptr), kWidth * kHeight / 2);
    EXPECT_EQ(CountPanelDifferences(*vst3Picture, vst2Picture.get()), 0);

    EXPECT_EQ(Call(view, kSetFrame, static_cast<Frame*>(nullptr)), kResultOk);
    EXPECT_EQ(Call(view, kRemoved), kResultOk);
#ifdef _WIN32
    EXPECT_EQ(GetWindow(vst3Window.Handle(), GW_CHILD), nullptr);
#else
    EXPECT_TRUE(frame.loop.events == nullptr && frame.loop.timer == nullptr && frame.loop.references == 0);
#endif
    EXPECT_EQ(frame.references, 0);
    EXPECT_EQ(Call<uint32_t>(view, kRelease), 0u);
    vst2.Dispatch(effEditClose);
}

} // namespace
