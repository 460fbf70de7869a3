#pragma once

#include "formats/clap/ClapPlugin.h"
#include "tools/host/Instance.h"

#ifndef _WIN32
#include "tools/host/RunLoop.h"
#endif

#include <atomic>
#include <thread>

namespace ksphost {

// What a plug-in asked of the host, counted: ksphaser-host renders offline and answers none of it
// but the callback on the main thread, which the editor's loop runs.
struct ClapHostRequests {
    int rescans = 0;
    int clears = 0;
    int flushes = 0;
    int restarts = 0;
    int processes = 0;
    int callbacks = 0;
};

// The clap_host one plug-in instance lives in, and the extensions it answers: thread check,
// parameters, and on Linux the timers and file descriptors an editor runs on. The host has one
// thread: it is the main thread, and the audio thread while the plug-in processes.
class ClapHost {
public:
    ClapHost();
    ClapHost(const ClapHost&) = delete;
    ClapHost& operator=(const ClapHost&) = delete;

    const clap::clap_host* Host() const { return &host; }
    // The instance whose timers, descriptors and callbacks the host calls.
    void Attach(const clap::clap_plugin* instance) { plugin = instance; }
    // The thread holds the audio thread's role between start_processing and stop_processing.
    void SetAudioThread(bool audio) { audioThread = audio; }
    ClapHostRequests Requests() const;

#ifndef _WIN32
    // Runs the editor's timers and descriptors, and the callbacks asked for, for a while.
    void RunEditor(RunLoop::Clock::duration time);
#endif

private:
    static ClapHost& Of(const clap::clap_host* host);
    static const void* CLAP_CALL Extension(const clap::clap_host* host, const char* id);
    static void CLAP_CALL RequestRestart(const clap::clap_host* host);
    static void CLAP_CALL RequestProcess(const clap::clap_host* host);
    static void CLAP_CALL RequestCallback(const clap::clap_host* host);
    static bool CLAP_CALL IsMainThread(const clap::clap_host* host);
    static bool CLAP_CALL IsAudioThread(const clap::clap_host* host);
    static void CLAP_CALL Rescan(const clap::clap_host* host, uint32_t flags);
    static void CLAP_CALL Clear(const clap::clap_host* host, clap::clap_id id, uint32_t flags);
    static void CLAP_CALL RequestFlush(const clap::clap_host* host);
#ifndef _WIN32
    static bool CLAP_CALL RegisterTimer(const clap::clap_host* host, uint32_t periodMs, clap::clap_id* id);
    static bool CLAP_CALL UnregisterTimer(const clap::clap_host* host, clap::clap_id id);
    static bool CLAP_CALL RegisterFd(const clap::clap_host* host, int fd, uint32_t flags);
    static bool CLAP_CALL ModifyFd(const clap::clap_host* host, int fd, uint32_t flags);
    static bool CLAP_CALL UnregisterFd(const clap::clap_host* host, int fd);

    RunLoop loop;
#endif

    clap::clap_host host{};
    const clap::clap_plugin* plugin = nullptr;
    const std::thread::id thread = std::this_thread::get_id();
    bool audioThread = false;
    // Plug-ins may ask from threads of their own.
    std::atomic<int> rescans{0};
    std::atomic<int> clears{0};
    std::atomic<int> flushes{0};
    std::atomic<int> restarts{0};
    std::atomic<int> processes{0};
    std::atomic<int> callbacks{0};
    std::atomic<bool> callbackDue{false};
};

} // namespace ksphost
