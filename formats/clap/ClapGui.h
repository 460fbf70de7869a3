#pragma once

// The CLAP binary interface: the editor inside the host's window, and the host's timers and file
// descriptor callbacks that let a Linux editor run on the main thread without a thread of its
// own.

#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapTypes.h"

namespace clap {

inline constexpr char CLAP_EXT_GUI[] = "clap.gui";

// Window systems. win32 and x11 embed (by SetParent, by XEmbed) and count physical pixels;
// wayland only floats; cocoa and uikit count logical pixels and take no scale.
inline constexpr char CLAP_WINDOW_API_WIN32[] = "win32";
inline constexpr char CLAP_WINDOW_API_X11[] = "x11";
inline constexpr char CLAP_WINDOW_API_WAYLAND[] = "wayland";
inline constexpr char CLAP_WINDOW_API_COCOA[] = "cocoa";
inline constexpr char CLAP_WINDOW_API_UIKIT[] = "uikit";

// A window of the host's, on the system api names.
struct clap_window {
    const char* api;
    union {
        void* cocoa;
        void* uikit;
        // The X Window id: 8 bytes on Linux, 4 on Windows.
        unsigned long x11;
        // The HWND.
        void* win32;
        void* ptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};

// The editor. The host embeds it in this order: is_api_supported, create, set_scale, can_resize,
// get_size (or set_size to a size it remembers for a resizable editor), set_parent, show, any
// number of hide and show, destroy. Sizes are in the api's pixels.
struct clap_plugin_gui {
    // [ui] Whether the editor runs on that system, embedded or floating.
    bool(CLAP_CALL* is_api_supported)(const clap_plugin* plugin, const char* api, bool is_floating);
    // [ui] Points *api at the plug-in's constant string, not a copy.
    bool(CLAP_CALL* get_preferred_api)(const clap_plugin* plugin, const char** api, bool* is_floating);
    // [ui] Makes the editor, not yet visible; destroy frees it, its timers and descriptors
    // unregistered.
    bool(CLAP_CALL* create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    // [ui] 2.0 for 200 %; false when the editor ignores it.
    bool(CLAP_CALL* set_scale)(const clap_plugin* plugin, double scale);
    // [ui] After create only.
    bool(CLAP_CALL* get_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    // [ui] Embedded only; a fixed-size editor answers false to both.
    bool(CLAP_CALL* can_resize)(const clap_plugin* plugin);
    bool(CLAP_CALL* get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    // [ui] Moves the size to the nearest the editor takes, without applying it. A drag in the
    // host calls it, then set_size.
    bool(CLAP_CALL* adjust_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    // [ui] Embedded only.
    bool(CLAP_CALL* set_size)(const clap_plugin* plugin, uint32_t width, uint32_t height);
    // [ui] Embedded only: the editor becomes a child of window.
    bool(CLAP_CALL* set_parent)(const clap_plugin* plugin, const clap_window* window);
    // [ui] Floating only: the editor stays above window, and takes the title suggested.
    bool(CLAP_CALL* set_transient)(const clap_plugin* plugin, const clap_window* window);
    void(CLAP_CALL* suggest_title)(const clap_plugin* plugin, const char* title);
    // [ui] hide keeps the editor's resources but stops its repaint timers.
    bool(CLAP_CALL* show)(const clap_plugin* plugin);
    bool(CLAP_CALL* hide)(const clap_plugin* plugin);
};

struct clap_host_gui {
    // [any] Embedded only: get_resize_hints' answer changed.
    void(CLAP_CALL* resize_hints_changed)(const clap_host* host);
    // [any] Embedded only: true accepts the size, and the host calls no set_size for it; off the
    // main thread true only means queued.
    bool(CLAP_CALL* request_resize)(const clap_host* host, uint32_t width, uint32_t height);
    // [any] Asks the host to show or hide the editor.
    bool(CLAP_CALL* request_show)(const clap_host* host);
    bool(CLAP_CALL* request_hide)(const clap_host* host);
    // [any] A floating window was closed, or the connection to the window system lost; when
    // was_destroyed, the host then calls clap_plugin_gui::destroy.
    void(CLAP_CALL* closed)(const clap_host* host, bool was_destroyed);
};

inline constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";

struct clap_plugin_timer_support {
    // [ui] A timer the plug-in registered fired.
    void(CLAP_CALL* on_timer)(const clap_plugin* plugin, clap_id timer_id);
};

struct clap_host_timer_support {
    // [ui] Calls on_timer about every period_ms (very short periods may be lengthened; ~30 Hz
    // works); the timer's id goes to *timer_id.
    bool(CLAP_CALL* register_timer)(const clap_host* host, uint32_t period_ms, clap_id* timer_id);
    bool(CLAP_CALL* unregister_timer)(const clap_host* host, clap_id timer_id);
};

inline constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

// The conditions a descriptor is watched for.
constexpr uint32_t CLAP_POSIX_FD_READ = 1;
constexpr uint32_t CLAP_POSIX_FD_WRITE = 2;
constexpr uint32_t CLAP_POSIX_FD_ERROR = 4;

struct clap_plugin_posix_fd_support {
    // [ui] Level-triggered: called again while the condition holds.
    void(CLAP_CALL* on_fd)(const clap_plugin* plugin, int fd, uint32_t flags);
};

struct clap_host_posix_fd_support {
    // [ui] Watch fd for the CLAP_POSIX_FD_ flags, change them, stop.
    bool(CLAP_CALL* register_fd)(const clap_host* host, int fd, uint32_t flags);
    bool(CLAP_CALL* modify_fd)(const clap_host* host, int fd, uint32_t flags);
    bool(CLAP_CALL* unregister_fd)(const clap_host* host, int fd);
};

} // namespace clap
