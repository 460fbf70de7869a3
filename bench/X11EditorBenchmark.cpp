// The phaser's editor in an X11 window (run it on a display, e.g. under xvfb-run -a): the CPU
// an open, idle editor costs with the host calling effEditIdle 60 times a second, and one
// painted frame of a knob drag (the knob's area drawn and copied to the window).
#include "effect/KSPhaser.h"
#include "platform/linux/IGraphicsX11.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <thread>

namespace {

// The phaser with its editor open in a top-level window of a connection of its own.
struct OpenEditor {
    OpenEditor() : phaser(std::make_unique<KSPhaser>()), display(XOpenDisplay(nullptr)) {
        if (display == nullptr) {
            return;
        }
        host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 720, 174, 0, 0, 0);
        XMapWindow(display, host);
        XSync(display, False);
        editor = static_cast<IGraphicsX11*>(phaser->Editor());
        if (editor->OpenWindow(reinterpret_cast<void*>(host)) == nullptr) {
            editor = nullptr;
            return;
        }
        // Everything painted once: what follows is the steady state.
        for (int i = 0; i < 10; ++i) {
            editor->Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~OpenEditor() {
        if (editor != nullptr) {
            editor->CloseWindow();
        }
        if (display != nullptr) {
            XDestroyWindow(display, host);
            XCloseDisplay(display);
        }
    }
    OpenEditor(const OpenEditor&) = delete;
    OpenEditor& operator=(const OpenEditor&) = delete;

    std::unique_ptr<KSPhaser> phaser;
    Display* display;
    Window host = 0;
    IGraphicsX11* editor = nullptr;
};

double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// One iteration is one second of host idle calls, 60 of them. The counter core_percent is the
// CPU time spent in those calls over the wall time: the editor's share of a core (the host's
// own timer and the X server's work are not counted).
void BM_IdleEditorAt60Hz(benchmark::State& state) {
    OpenEditor open;
    if (open.editor == nullptr) {
        state.SkipWithError("no X display (run under xvfb-run -a)");
        return;
    }
    double cpu = 0.0;
    double wall = 0.0;
    for (auto _ : state) {
        const auto wallStart = std::chrono::steady_clock::now();
        auto next = wallStart;
        for (int call = 0; call < 60; ++call) {
            const double cpuStart = ThreadSeconds();
            open.editor->Idle();
            cpu += ThreadSeconds() - cpuStart;
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    state.counters["core_percent"] = wall > 0.0 ? 100.0 * cpu / wall : 0.0;
}
BENCHMARK(BM_IdleEditorAt60Hz)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// A drag of the Manual knob by one pixel, then the frame: the knob's area collected, drawn and
// copied to the window (through MIT-SHM on a local server), waiting for the server to finish.
void BM_KnobDragFrame(benchmark::State& state) {
    OpenEditor open;
    if (open.editor == nullptr) {
        state.SkipWithError("no X display (run under xvfb-run -a)");
        return;
    }
    IGraphicsX11& editor = *open.editor;
    const IMouseState mouse{true, false, false, false, false};
    editor.DispatchMouseDown(116, 120, mouse);
    int y = 120;
    for (auto _ : state) {
        y = y == 120 ? 119 : 120;
        editor.DispatchMouseDrag(116, y, mouse);
        IRectangle area;
        editor.CollectDirtyArea(area);
        benchmark::DoNotOptimize(editor.PaintArea(area));
    }
    editor.DispatchMouseUp(116, y, IMouseState{});
}
BENCHMARK(BM_KnobDragFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
