// Measures the processor time this process takes with the built plug-in's editor open in a host
// window: first the host window alone and with an empty timer at the frame rate, then the idle
// editor, then a knob dragged one pixel per frame. Usage: editor_cpu_meter [SECONDS]
#include "WindowTestSupport.h"

#include "tests/integration/PluginLibrary.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFrameMs = 40;

VstIntPtr VSTCALLBACK HostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/,
                                   VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

double ProcessSeconds() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// Handles messages, sleeping in between, until ms have passed.
void Run(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void Report(const char* what, double cpu, int seconds) {
    std::printf("%s: %.1f ms of processor time in %d s = %.3f %% of a core\n", what, cpu * 1000.0, seconds,
                cpu / seconds * 100.0);
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    if (seconds < 1) {
        std::fprintf(stderr, "usage: editor_cpu_meter [SECONDS]\n");
        return 2;
    }
    PluginLibrary library(KSP_PHASER_PLUGIN);
    PluginLibrary::EntryPoint entry = library.Entry("VSTPluginMain");
    AEffect* effect = entry != nullptr ? entry(HostCallback) : nullptr;
    if (effect == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", KSP_PHASER_PLUGIN);
        return 1;
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    HostWindow host;
    Run(1000);
    // What the host window and Wine's own threads take without the editor.
    double start = ProcessSeconds();
    Run(static_cast<DWORD>(seconds) * 1000);
    Report("host window without editor", ProcessSeconds() - start, seconds);
    // The same with a timer at the editor's frame rate that does nothing: what delivering the
    // frame ticks alone costs.
    SetTimer(host.Handle(), 1, kFrameMs, nullptr);
    start = ProcessSeconds();
    Run(static_cast<DWORD>(seconds) * 1000);
    Report("host window with an empty 40 ms timer", ProcessSeconds() - start, seconds);
    KillTimer(host.Handle(), 1);

    if (effect->dispatcher(effect, effEditOpen, 0, 0, host.Handle(), 0.0f) != 1) {
        std::fprintf(stderr, "the editor did not open\n");
        return 1;
    }
    HWND editor = GetWindow(host.Handle(), GW_CHILD);
    Run(1000);

    start = ProcessSeconds();
    Run(static_cast<DWORD>(seconds) * 1000);
    Report("idle editor", ProcessSeconds() - start, seconds);

    MoveMouse(editor, 116, 120);
    Run(kFrameMs);
    MouseButton(true, true);
    start = ProcessSeconds();
    for (int frame = 0; frame < seconds * 1000 / kFrameMs; ++frame) {
        // Up and down over 40 pixels, so that the value keeps changing.
        const int offset = frame % 80 < 40 ? frame % 40 : 40 - frame % 40;
        MoveMouse(editor, 116, 120 - offset);
        Run(kFrameMs);
    }
    Report("knob drag, one move per frame", ProcessSeconds() - start, seconds);
    MouseButton(true, false);
    Run(kFrameMs);

    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
