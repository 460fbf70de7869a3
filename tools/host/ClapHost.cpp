#include "tools/host/ClapHost.h"

#include "formats/clap/ClapGui.h"
#include "formats/clap/ClapParams.h"
#include "tools/host/ClapModule.h"

#include <cstring>

namespace ksphost {

namespace {

#ifndef _WIN32
// The loop's conditions are CLAP's, bit for bit.
static_assert(RunLoop::kReadable == clap::CLAP_POSIX_FD_READ &&
              RunLoop::kWritable == clap::CLAP_POSIX_FD_WRITE &&
              RunLoop::kFailed == clap::CLAP_POSIX_FD_ERROR);

// How often the loop looks for callbacks the plug-in asked for: about 30 times a second.
constexpr auto kCallbackInterval = std::chrono::milliseconds(33);
#endif

} // namespace

ClapHost::ClapHost() {
    host.clap_version = clap::CLAP_VERSION;
    host.host_data = this;
    host.name = kHostName;
    host.vendor = kHostVendor;
    host.url = "";
    host.version = KSP_HOST_VERSION;
    host.get_extension = Extension;
    host.request_restart = RequestRestart;
    host.request_process = RequestProcess;
    host.request_callback = RequestCallback;
}

ClapHost& ClapHost::Of(const clap::clap_host* host) {
    return *static_cast<ClapHost*>(host->host_data);
}

ClapHostRequests ClapHost::Requests() const {
    return {rescans, clears, flushes, restarts, processes, callbacks};
}

const void* CLAP_CALL ClapHost::Extension(const clap::clap_host* /*host*/, const char* id) {
    static const clap::clap_host_thread_check threadCheck = {IsMainThread, IsAudioThread};
    static const clap::clap_host_params params = {Rescan, Clear, RequestFlush};
#ifndef _WIN32
    static const clap::clap_host_timer_support timers = {RegisterTimer, UnregisterTimer};
    static const clap::clap_host_posix_fd_support fds = {RegisterFd, ModifyFd, UnregisterFd};
#endif
    if (id == nullptr) {
        return nullptr;
    }
    const struct {
        const char* id;
        const void* table;
    } extensions[] = {
        {clap::CLAP_EXT_THREAD_CHECK, &threadCheck},
        {clap::CLAP_EXT_PARAMS, &params},
#ifndef _WIN32
        {clap::CLAP_EXT_TIMER_SUPPORT, &timers},
        {clap::CLAP_EXT_POSIX_FD_SUPPORT, &fds},
#endif
    };
    for (const auto& extension : extensions) {
        if (std::strcmp(id, extension.id) == 0) {
            return extension.table;
        }
    }
    return nullptr;
}

void CLAP_CALL ClapHost::RequestRestart(const clap::clap_host* host) {
    ++Of(host).restarts;
}

void CLAP_CALL ClapHost::RequestProcess(const clap::clap_host* host) {
    ++Of(host).processes;
}

void CLAP_CALL ClapHost::RequestCallback(const clap::clap_host* host) {
    ++Of(host).callbacks;
    Of(host).callbackDue = true;
}

bool CLAP_CALL ClapHost::IsMainThread(const clap::clap_host* host) {
    const ClapHost& self = Of(host);
    return std::this_thread::get_id() == self.thread && !self.audioThread;
}

bool CLAP_CALL ClapHost::IsAudioThread(const clap::clap_host* host) {
    const ClapHost& self = Of(host);
    return std::this_thread::get_id() == self.thread && self.audioThread;
}

void CLAP_CALL ClapHost::Rescan(const clap::clap_host* host, uint32_t /*flags*/) {
    ++Of(host).rescans;
}

void CLAP_CALL ClapHost::Clear(const clap::clap_host* host, clap::clap_id /*id*/, uint32_t /*flags*/) {
    ++Of(host).clears;
}

void CLAP_CALL ClapHost::RequestFlush(const clap::clap_host* host) {
    ++Of(host).flushes;
}

#ifndef _WIN32

void ClapHost::RunEditor(RunLoop::Clock::duration time) {
    const uint32_t callbackTimer = loop.AddTimer(kCallbackInterval, [this](uint32_t /*id*/) {
        if (callbackDue.exchange(false) && plugin->on_main_thread != nullptr) {
            plugin->on_main_thread(plugin);
        }
    });
    loop.Run(time);
    loop.RemoveTimer(callbackTimer);
}

bool CLAP_CALL ClapHost::RegisterTimer(const clap::clap_host* host, uint32_t periodMs, clap::clap_id* id) {
    ClapHost& self = Of(host);
    const auto* timers =
        ClapExtension<clap::clap_plugin_timer_support>(self.plugin, clap::CLAP_EXT_TIMER_SUPPORT);
    if (id == nullptr || timers == nullptr || timers->on_timer == nullptr) {
        return false;
    }
    const clap::clap_plugin* plugin = self.plugin;
    // The loop's ids count from 1: none is CLAP_INVALID_ID.
    *id = self.loop.AddTimer(std::chrono::milliseconds(periodMs),
                             [plugin, timers](uint32_t timer) { timers->on_timer(plugin, timer); });
    return true;
}

bool CLAP_CALL ClapHost::UnregisterTimer(const clap::clap_host* host, clap::clap_id id) {
    return Of(host).loop.RemoveTimer(id);
}

bool CLAP_CALL ClapHost::RegisterFd(const clap::clap_host* host, int fd, uint32_t flags) {
    ClapHost& self = Of(host);
    const auto* fds =
        ClapExtension<clap::clap_plugin_posix_fd_support>(self.plugin, clap::CLAP_EXT_POSIX_FD_SUPPORT);
    if (fds == nullptr || fds->on_fd == nullptr) {
        return false;
    }
    const clap::clap_plugin* plugin = self.plugin;
    return self.loop.AddDescriptor(
        fd, flags, [plugin, fds](int ready, uint32_t found) { fds->on_fd(plugin, ready, found); });
}

bool CLAP_CALL ClapHost::ModifyFd(const clap::clap_host* host, int fd, uint32_t flags) {
    return Of(host).loop.ChangeDescriptor(fd, flags);
}

bool CLAP_CALL ClapHost::UnregisterFd(const clap::clap_host* host, int fd) {
    return Of(host).loop.RemoveDescriptor(fd);
}

#endif

} // namespace ksphost
