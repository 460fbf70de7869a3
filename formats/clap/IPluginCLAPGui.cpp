// The CLAP binding's editor: the panel embedded in the host's window; on Linux driven by the
// host's timer and its watch on the display connection, so the editor needs no thread.
#include "formats/clap/IPluginCLAP.h"

#include <cstring>

namespace {

#ifdef _WIN32
constexpr const char* kWindowApi = clap::CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kWindowApi = clap::CLAP_WINDOW_API_X11;
#endif

} // namespace

bool CLAP_CALL IPluginCLAP::GuiApiSupported(const clap::clap_plugin* plugin, const char* api, bool floating) {
    IPluginCLAP* self = Of(plugin);
    const IEditor* editor = self->plugin->Editor();
    bool supported = api != nullptr && !floating && std::strcmp(api, kWindowApi) == 0 && editor != nullptr &&
                     editor->CanOpenWindow();
#ifndef _WIN32
    // Without the host's timer and descriptor watch nothing would drive the window: no editor
    // rather than a frozen one.
    supported = supported && self->hostTimers != nullptr && self->hostTimers->register_timer != nullptr &&
                self->hostFds != nullptr && self->hostFds->register_fd != nullptr;
#endif
    return supported;
}

bool CLAP_CALL IPluginCLAP::GuiPreferredApi(const clap::clap_plugin* plugin, const char** api,
                                            bool* floating) {
    if (api == nullptr || floating == nullptr || !GuiApiSupported(plugin, kWindowApi, false)) {
        return false;
    }
    *api = kWindowApi;
    *floating = false;
    return true;
}

bool CLAP_CALL IPluginCLAP::GuiCreate(const clap::clap_plugin* plugin, const char* api, bool floating) {
    IPluginCLAP* self = Of(plugin);
    if (self->guiCreated || !GuiApiSupported(plugin, api, floating)) {
        return false;
    }
    self->guiCreated = true;
    return true;
}

void CLAP_CALL IPluginCLAP::GuiDestroy(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
    self->CloseEditor();
    self->guiCreated = false;
}

void IPluginCLAP::CloseEditor() {
#ifndef _WIN32
    if (timerId != clap::CLAP_INVALID_ID) {
        hostTimers->unregister_timer(host, timerId);
        timerId = clap::CLAP_INVALID_ID;
    }
    if (registeredFd >= 0) {
        hostFds->unregister_fd(host, registeredFd);
        registeredFd = -1;
    }
#endif
    if (windowOpen) {
        LockGuard guard(plugin->Lock());
        plugin->OnEditorClose();
        plugin->Editor()->CloseWindow();
        windowOpen = false;
    }
}

bool CLAP_CALL IPluginCLAP::GuiSetScale(const clap::clap_plugin* /*plugin*/, double /*scale*/) {
    return false;
}

bool CLAP_CALL IPluginCLAP::GuiSize(const clap::clap_plugin* plugin, uint32_t* width, uint32_t* height) {
    const IEditor* editor = Of(plugin)->plugin->Editor();
    if (width == nullptr || height == nullptr || editor == nullptr) {
        return false;
    }
    *width = static_cast<uint32_t>(editor->Width());
    *height = static_cast<uint32_t>(editor->Height());
    return true;
}

bool CLAP_CALL IPluginCLAP::GuiCanResize(const clap::clap_plugin* /*plugin*/) {
    return false;
}

bool CLAP_CALL IPluginCLAP::GuiResizeHints(const clap::clap_plugin* /*plugin*/,
                                           clap::clap_gui_resize_hints* /*hints*/) {
    return false;
}

bool CLAP_CALL IPluginCLAP::GuiSetSize(const clap::clap_plugin* plugin, uint32_t width, uint32_t height) {
    uint32_t ownWidth = 0;
    uint32_t ownHeight = 0;
    return GuiSize(plugin, &ownWidth, &ownHeight) && width == ownWidth && height == ownHeight;
}

bool CLAP_CALL IPluginCLAP::GuiSetParent(const clap::clap_plugin* plugin, const clap::clap_window* window) {
    IPluginCLAP* self = Of(plugin);
    if (!self->guiCreated || self->windowOpen || window == nullptr) {
        return false;
    }
#ifdef _WIN32
    void* parent = window->win32;
#else
    void* parent = reinterpret_cast<void*>(window->x11);
#endif
    IEditor* editor = self->plugin->Editor();
    {
        LockGuard guard(self->plugin->Lock());
        self->windowOpen = editor->OpenWindow(parent) != nullptr;
        if (self->windowOpen) {
            self->plugin->OnEditorOpen();
        }
    }
#ifndef _WIN32
    const int fd = editor->EventDescriptor();
    if (self->windowOpen && self->hostFds->register_fd(self->host, fd, clap::CLAP_POSIX_FD_READ)) {
        self->registeredFd = fd;
    }
    if (self->windowOpen && (self->registeredFd < 0 || !self->StartTimer())) {
        self->CloseEditor();
    }
#endif
    return self->windowOpen;
}

bool IPluginCLAP::StartTimer() {
#ifndef _WIN32
    if (timerId == clap::CLAP_INVALID_ID) {
        const int rate = plugin->Editor()->FrameRate() > 0 ? plugin->Editor()->FrameRate() : 25;
        clap::clap_id timer = clap::CLAP_INVALID_ID;
        if (!hostTimers->register_timer(host, static_cast<uint32_t>(1000 / rate), &timer)) {
            return false;
        }
        timerId = timer;
    }
#endif
    return true;
}

bool CLAP_CALL IPluginCLAP::GuiSetTransient(const clap::clap_plugin* /*plugin*/,
                                            const clap::clap_window* /*window*/) {
    return false;
}

void CLAP_CALL IPluginCLAP::GuiSuggestTitle(const clap::clap_plugin* /*plugin*/, const char* /*title*/) {}

bool CLAP_CALL IPluginCLAP::GuiShow(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
    return self->guiCreated && (!self->windowOpen || self->StartTimer());
}

bool CLAP_CALL IPluginCLAP::GuiHide(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
#ifndef _WIN32
    // Hidden, the editor keeps its window but paints nothing.
    if (self->timerId != clap::CLAP_INVALID_ID) {
        self->hostTimers->unregister_timer(self->host, self->timerId);
        self->timerId = clap::CLAP_INVALID_ID;
    }
#endif
    return self->guiCreated;
}

#ifndef _WIN32
void CLAP_CALL IPluginCLAP::OnTimer(const clap::clap_plugin* plugin, clap::clap_id timer) {
    IPluginCLAP* self = Of(plugin);
    if (self->windowOpen && timer == self->timerId) {
        self->plugin->Editor()->Idle();
    }
}

void CLAP_CALL IPluginCLAP::OnFd(const clap::clap_plugin* plugin, int fd, uint32_t /*flags*/) {
    IPluginCLAP* self = Of(plugin);
    if (self->windowOpen && fd == self->registeredFd) {
        self->plugin->Editor()->Idle();
    }
}
#endif
