#include "formats/clap/ClapAudioExtensions.h"
#include "formats/clap/ClapGui.h"
#include "formats/clap/ClapParams.h"
#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapPresets.h"
#include "formats/clap/ClapProcess.h"
#include "formats/clap/ClapTypes.h"

#include <cstddef>
#include <type_traits>

// Compile-time checks of the declarations against the published numbers of the target being
// compiled: 64-bit Linux and 64-bit Windows share one layout, 32-bit Windows has its own. A host
// reads these layouts as raw bytes, so any difference is a crash or a missing plug-in.

namespace clap {
namespace {

#if defined(_WIN32) && !defined(_WIN64)
constexpr bool kWindows32 = true;
#else
constexpr bool kWindows32 = false;
#endif

// The number given for the target being compiled.
constexpr std::size_t OnTarget(std::size_t bits64, std::size_t windows32) {
    return kWindows32 ? windows32 : bits64;
}

// The offset of member index of a structure of pointers only.
constexpr std::size_t Slot(std::size_t index) {
    return index * OnTarget(8, 4);
}

// The size and alignment of a structure of pointers only.
template <typename Table>
constexpr bool IsTable(std::size_t size64, std::size_t size32) {
    return sizeof(Table) == OnTarget(size64, size32) && alignof(Table) == OnTarget(8, 4);
}

} // namespace

#if defined(_WIN32) && !defined(_WIN64)
static_assert(std::is_same_v<decltype(clap_plugin_entry::init), bool(__cdecl*)(const char*)> &&
                  std::is_same_v<decltype(clap_plugin::activate),
                                 bool(__cdecl*)(const clap_plugin*, double, uint32_t, uint32_t)> &&
                  std::is_same_v<decltype(clap_host::request_callback), void(__cdecl*)(const clap_host*)> &&
                  std::is_same_v<decltype(clap_output_events::try_push),
                                 bool(__cdecl*)(const clap_output_events*, const clap_event_header*)>,
              "the caller pops the arguments");
#endif

static_assert(sizeof(void*) == OnTarget(8, 4) && sizeof(void (*)()) == OnTarget(8, 4), "pointers");
static_assert(sizeof(bool) == 1 && alignof(bool) == 1, "bool");
static_assert(alignof(int64_t) == 8 && alignof(uint64_t) == 8 && alignof(double) == 8,
              "8-byte types align to 8 in structures on every target");
#ifdef _WIN32
static_assert(sizeof(unsigned long) == 4, "X11 window id");
#else
static_assert(sizeof(unsigned long) == 8, "X11 window id");
#endif

static_assert(sizeof(clap_version) == 12 && alignof(clap_version) == 4 &&
                  offsetof(clap_version, major) == 0 && offsetof(clap_version, minor) == 4 &&
                  offsetof(clap_version, revision) == 8,
              "clap_version");
static_assert(clap_version_is_compatible(CLAP_VERSION) && clap_version_is_compatible({1, 0, 0}) &&
                  !clap_version_is_compatible({0, 19, 0}),
              "version rule");

static_assert(std::is_same_v<decltype(clap_entry), const clap_plugin_entry>, "clap_entry");
static_assert(sizeof(clap_plugin_entry) == OnTarget(40, 24) && alignof(clap_plugin_entry) == OnTarget(8, 4) &&
                  offsetof(clap_plugin_entry, clap_version) == 0 &&
                  offsetof(clap_plugin_entry, init) == OnTarget(16, 12) &&
                  offsetof(clap_plugin_entry, deinit) == OnTarget(24, 16) &&
                  offsetof(clap_plugin_entry, get_factory) == OnTarget(32, 20),
              "clap_plugin_entry");
static_assert(IsTable<clap_plugin_factory>(24, 12) &&
                  offsetof(clap_plugin_factory, get_plugin_count) == Slot(0) &&
                  offsetof(clap_plugin_factory, get_plugin_descriptor) == Slot(1) &&
                  offsetof(clap_plugin_factory, create_plugin) == Slot(2),
              "clap_plugin_factory");
static_assert(sizeof(clap_plugin_descriptor) == OnTarget(88, 48) &&
                  alignof(clap_plugin_descriptor) == OnTarget(8, 4) &&
                  offsetof(clap_plugin_descriptor, clap_version) == 0 &&
                  offsetof(clap_plugin_descriptor, id) == OnTarget(16, 12) &&
                  offsetof(clap_plugin_descriptor, name) == OnTarget(24, 16) &&
                  offsetof(clap_plugin_descriptor, vendor) == OnTarget(32, 20) &&
                  offsetof(clap_plugin_descriptor, url) == OnTarget(40, 24) &&
                  offsetof(clap_plugin_descriptor, manual_url) == OnTarget(48, 28) &&
                  offsetof(clap_plugin_descriptor, support_url) == OnTarget(56, 32) &&
                  offsetof(clap_plugin_descriptor, version) == OnTarget(64, 36) &&
                  offsetof(clap_plugin_descriptor, description) == OnTarget(72, 40) &&
                  offsetof(clap_plugin_descriptor, features) == OnTarget(80, 44),
              "clap_plugin_descriptor");
static_assert(IsTable<clap_plugin>(96, 48) && offsetof(clap_plugin, desc) == Slot(0) &&
                  offsetof(clap_plugin, plugin_data) == Slot(1) && offsetof(clap_plugin, init) == Slot(2) &&
                  offsetof(clap_plugin, destroy) == Slot(3) && offsetof(clap_plugin, activate) == Slot(4) &&
                  offsetof(clap_plugin, deactivate) == Slot(5) &&
                  offsetof(clap_plugin, start_processing) == Slot(6) &&
                  offsetof(clap_plugin, stop_processing) == Slot(7) &&
                  offsetof(clap_plugin, reset) == Slot(8) && offsetof(clap_plugin, process) == Slot(9) &&
                  offsetof(clap_plugin, get_extension) == Slot(10) &&
                  offsetof(clap_plugin, on_main_thread) == Slot(11),
              "clap_plugin");
static_assert(sizeof(clap_host) == OnTarget(88, 48) && alignof(clap_host) == OnTarget(8, 4) &&
                  offsetof(clap_host, clap_version) == 0 &&
                  offsetof(clap_host, host_data) == OnTarget(16, 12) &&
                  offsetof(clap_host, name) == OnTarget(24, 16) &&
                  offsetof(clap_host, vendor) == OnTarget(32, 20) &&
                  offsetof(clap_host, url) == OnTarget(40, 24) &&
                  offsetof(clap_host, version) == OnTarget(48, 28) &&
                  offsetof(clap_host, get_extension) == OnTarget(56, 32) &&
                  offsetof(clap_host, request_restart) == OnTarget(64, 36) &&
                  offsetof(clap_host, request_process) == OnTarget(72, 40) &&
                  offsetof(clap_host, request_callback) == OnTarget(80, 44),
              "clap_host");
static_assert(IsTable<clap_host_log>(8, 4) && offsetof(clap_host_log, log) == Slot(0) &&
                  IsTable<clap_host_thread_check>(16, 8) &&
                  offsetof(clap_host_thread_check, is_main_thread) == Slot(0) &&
                  offsetof(clap_host_thread_check, is_audio_thread) == Slot(1),
              "clap_host_log, clap_host_thread_check");

static_assert(sizeof(clap_event_header) == 16 && alignof(clap_event_header) == 4 &&
                  offsetof(clap_event_header, size) == 0 && offsetof(clap_event_header, time) == 4 &&
                  offsetof(clap_event_header, space_id) == 8 && offsetof(clap_event_header, type) == 10 &&
                  offsetof(clap_event_header, flags) == 12,
              "clap_event_header");
static_assert(sizeof(clap_event_param_value) == OnTarget(56, 48) && alignof(clap_event_param_value) == 8 &&
                  offsetof(clap_event_param_value, header) == 0 &&
                  offsetof(clap_event_param_value, param_id) == 16 &&
                  offsetof(clap_event_param_value, cookie) == OnTarget(24, 20) &&
                  offsetof(clap_event_param_value, note_id) == OnTarget(32, 24) &&
                  offsetof(clap_event_param_value, port_index) == OnTarget(36, 28) &&
                  offsetof(clap_event_param_value, channel) == OnTarget(38, 30) &&
                  offsetof(clap_event_param_value, key) == OnTarget(40, 32) &&
                  offsetof(clap_event_param_value, value) == OnTarget(48, 40),
              "clap_event_param_value");
static_assert(sizeof(clap_event_param_mod) == OnTarget(56, 48) && alignof(clap_event_param_mod) == 8 &&
                  offsetof(clap_event_param_mod, header) == 0 &&
                  offsetof(clap_event_param_mod, param_id) == 16 &&
                  offsetof(clap_event_param_mod, cookie) == OnTarget(24, 20) &&
                  offsetof(clap_event_param_mod, note_id) == OnTarget(32, 24) &&
                  offsetof(clap_event_param_mod, port_index) == OnTarget(36, 28) &&
                  offsetof(clap_event_param_mod, channel) == OnTarget(38, 30) &&
                  offsetof(clap_event_param_mod, key) == OnTarget(40, 32) &&
                  offsetof(clap_event_param_mod, amount) == OnTarget(48, 40),
              "clap_event_param_mod");
static_assert(sizeof(clap_event_param_gesture) == 20 && alignof(clap_event_param_gesture) == 4 &&
                  offsetof(clap_event_param_gesture, header) == 0 &&
                  offsetof(clap_event_param_gesture, param_id) == 16,
              "clap_event_param_gesture");
static_assert(
    sizeof(clap_event_transport) == 104 && alignof(clap_event_transport) == 8 &&
        offsetof(clap_event_transport, header) == 0 && offsetof(clap_event_transport, flags) == 16 &&
        offsetof(clap_event_transport, song_pos_beats) == 24 &&
        offsetof(clap_event_transport, song_pos_seconds) == 32 &&
        offsetof(clap_event_transport, tempo) == 40 && offsetof(clap_event_transport, tempo_inc) == 48 &&
        offsetof(clap_event_transport, loop_start_beats) == 56 &&
        offsetof(clap_event_transport, loop_end_beats) == 64 &&
        offsetof(clap_event_transport, loop_start_seconds) == 72 &&
        offsetof(clap_event_transport, loop_end_seconds) == 80 &&
        offsetof(clap_event_transport, bar_start) == 88 && offsetof(clap_event_transport, bar_number) == 96 &&
        offsetof(clap_event_transport, tsig_num) == 100 && offsetof(clap_event_transport, tsig_denom) == 102,
    "clap_event_transport");
static_assert(sizeof(clap_event_note) == 40 && alignof(clap_event_note) == 8 &&
                  offsetof(clap_event_note, note_id) == 16 && offsetof(clap_event_note, port_index) == 20 &&
                  offsetof(clap_event_note, channel) == 22 && offsetof(clap_event_note, key) == 24 &&
                  offsetof(clap_event_note, velocity) == 32,
              "clap_event_note");
static_assert(sizeof(clap_event_note_expression) == 40 && alignof(clap_event_note_expression) == 8 &&
                  offsetof(clap_event_note_expression, expression_id) == 16 &&
                  offsetof(clap_event_note_expression, note_id) == 20 &&
                  offsetof(clap_event_note_expression, port_index) == 24 &&
                  offsetof(clap_event_note_expression, channel) == 26 &&
                  offsetof(clap_event_note_expression, key) == 28 &&
                  offsetof(clap_event_note_expression, value) == 32,
              "clap_event_note_expression");
static_assert(sizeof(clap_event_midi) == 24 && alignof(clap_event_midi) == 4 &&
                  offsetof(clap_event_midi, port_index) == 16 && offsetof(clap_event_midi, data) == 18 &&
                  sizeof(clap_event_midi2) == 36 && alignof(clap_event_midi2) == 4 &&
                  offsetof(clap_event_midi2, port_index) == 16 && offsetof(clap_event_midi2, data) == 20,
              "clap_event_midi, clap_event_midi2");
static_assert(sizeof(clap_event_midi_sysex) == OnTarget(40, 28) &&
                  alignof(clap_event_midi_sysex) == OnTarget(8, 4) &&
                  offsetof(clap_event_midi_sysex, port_index) == 16 &&
                  offsetof(clap_event_midi_sysex, buffer) == OnTarget(24, 20) &&
                  offsetof(clap_event_midi_sysex, size) == OnTarget(32, 24),
              "clap_event_midi_sysex");
static_assert(IsTable<clap_input_events>(24, 12) && offsetof(clap_input_events, ctx) == Slot(0) &&
                  offsetof(clap_input_events, size) == Slot(1) &&
                  offsetof(clap_input_events, get) == Slot(2) && IsTable<clap_output_events>(16, 8) &&
                  offsetof(clap_output_events, ctx) == Slot(0) &&
                  offsetof(clap_output_events, try_push) == Slot(1),
              "clap_input_events, clap_output_events");
static_assert(sizeof(clap_audio_buffer) == OnTarget(32, 24) && alignof(clap_audio_buffer) == 8 &&
                  offsetof(clap_audio_buffer, data32) == 0 &&
                  offsetof(clap_audio_buffer, data64) == OnTarget(8, 4) &&
                  offsetof(clap_audio_buffer, channel_count) == OnTarget(16, 8) &&
                  offsetof(clap_audio_buffer, latency) == OnTarget(20, 12) &&
                  offsetof(clap_audio_buffer, constant_mask) == OnTarget(24, 16),
              "clap_audio_buffer");
static_assert(sizeof(clap_process) == OnTarget(64, 40) && alignof(clap_process) == 8 &&
                  offsetof(clap_process, steady_time) == 0 && offsetof(clap_process, frames_count) == 8 &&
                  offsetof(clap_process, transport) == OnTarget(16, 12) &&
                  offsetof(clap_process, audio_inputs) == OnTarget(24, 16) &&
                  offsetof(clap_process, audio_outputs) == OnTarget(32, 20) &&
                  offsetof(clap_process, audio_inputs_count) == OnTarget(40, 24) &&
                  offsetof(clap_process, audio_outputs_count) == OnTarget(44, 28) &&
                  offsetof(clap_process, in_events) == OnTarget(48, 32) &&
                  offsetof(clap_process, out_events) == OnTarget(56, 36),
              "clap_process");

static_assert(sizeof(clap_audio_port_info) == OnTarget(288, 276) &&
                  alignof(clap_audio_port_info) == OnTarget(8, 4) &&
                  offsetof(clap_audio_port_info, id) == 0 && offsetof(clap_audio_port_info, name) == 4 &&
                  offsetof(clap_audio_port_info, flags) == 260 &&
                  offsetof(clap_audio_port_info, channel_count) == 264 &&
                  offsetof(clap_audio_port_info, port_type) == OnTarget(272, 268) &&
                  offsetof(clap_audio_port_info, in_place_pair) == OnTarget(280, 272),
              "clap_audio_port_info");
static_assert(IsTable<clap_plugin_audio_ports>(16, 8) &&
                  offsetof(clap_plugin_audio_ports, count) == Slot(0) &&
                  offsetof(clap_plugin_audio_ports, get) == Slot(1) &&
                  IsTable<clap_host_audio_ports>(16, 8) &&
                  offsetof(clap_host_audio_ports, is_rescan_flag_supported) == Slot(0) &&
                  offsetof(clap_host_audio_ports, rescan) == Slot(1),
              "clap_plugin_audio_ports, clap_host_audio_ports");
static_assert(sizeof(clap_note_port_info) == 268 && alignof(clap_note_port_info) == 4 &&
                  offsetof(clap_note_port_info, id) == 0 &&
                  offsetof(clap_note_port_info, supported_dialects) == 4 &&
                  offsetof(clap_note_port_info, preferred_dialect) == 8 &&
                  offsetof(clap_note_port_info, name) == 12 && IsTable<clap_plugin_note_ports>(16, 8) &&
                  offsetof(clap_plugin_note_ports, count) == Slot(0) &&
                  offsetof(clap_plugin_note_ports, get) == Slot(1),
              "clap_note_port_info, clap_plugin_note_ports");
static_assert(IsTable<clap_plugin_latency>(8, 4) && offsetof(clap_plugin_latency, get) == Slot(0) &&
                  IsTable<clap_host_latency>(8, 4) && offsetof(clap_host_latency, changed) == Slot(0) &&
                  IsTable<clap_plugin_tail>(8, 4) && offsetof(clap_plugin_tail, get) == Slot(0) &&
                  IsTable<clap_host_tail>(8, 4) && offsetof(clap_host_tail, changed) == Slot(0),
              "latency, tail");
static_assert(IsTable<clap_plugin_render>(16, 8) &&
                  offsetof(clap_plugin_render, has_hard_realtime_requirement) == Slot(0) &&
                  offsetof(clap_plugin_render, set) == Slot(1),
              "clap_plugin_render");

static_assert(sizeof(clap_param_info) == 1320 && alignof(clap_param_info) == 8 &&
                  offsetof(clap_param_info, id) == 0 && offsetof(clap_param_info, flags) == 4 &&
                  offsetof(clap_param_info, cookie) == 8 &&
                  offsetof(clap_param_info, name) == OnTarget(16, 12) &&
                  offsetof(clap_param_info, module) == OnTarget(272, 268) &&
                  offsetof(clap_param_info, min_value) == 1296 &&
                  offsetof(clap_param_info, max_value) == 1304 &&
                  offsetof(clap_param_info, default_value) == 1312,
              "clap_param_info");
static_assert(IsTable<clap_plugin_params>(48, 24) && offsetof(clap_plugin_params, count) == Slot(0) &&
                  offsetof(clap_plugin_params, get_info) == Slot(1) &&
                  offsetof(clap_plugin_params, get_value) == Slot(2) &&
                  offsetof(clap_plugin_params, value_to_text) == Slot(3) &&
                  offsetof(clap_plugin_params, text_to_value) == Slot(4) &&
                  offsetof(clap_plugin_params, flush) == Slot(5),
              "clap_plugin_params");
static_assert(IsTable<clap_host_params>(24, 12) && offsetof(clap_host_params, rescan) == Slot(0) &&
                  offsetof(clap_host_params, clear) == Slot(1) &&
                  offsetof(clap_host_params, request_flush) == Slot(2),
              "clap_host_params");
static_assert(IsTable<clap_ostream>(16, 8) && offsetof(clap_ostream, ctx) == Slot(0) &&
                  offsetof(clap_ostream, write) == Slot(1) && IsTable<clap_istream>(16, 8) &&
                  offsetof(clap_istream, ctx) == Slot(0) && offsetof(clap_istream, read) == Slot(1),
              "clap_ostream, clap_istream");
static_assert(IsTable<clap_plugin_state>(16, 8) && offsetof(clap_plugin_state, save) == Slot(0) &&
                  offsetof(clap_plugin_state, load) == Slot(1) && IsTable<clap_host_state>(8, 4) &&
                  offsetof(clap_host_state, mark_dirty) == Slot(0) &&
                  IsTable<clap_plugin_state_context>(16, 8) &&
                  offsetof(clap_plugin_state_context, save) == Slot(0) &&
                  offsetof(clap_plugin_state_context, load) == Slot(1),
              "state, state-context");

static_assert(IsTable<clap_window>(16, 8) && offsetof(clap_window, api) == 0 &&
                  offsetof(clap_window, cocoa) == Slot(1) && offsetof(clap_window, uikit) == Slot(1) &&
                  offsetof(clap_window, x11) == Slot(1) && offsetof(clap_window, win32) == Slot(1) &&
                  offsetof(clap_window, ptr) == Slot(1) && sizeof(clap_window::x11) == sizeof(unsigned long),
              "clap_window");
static_assert(sizeof(clap_gui_resize_hints) == 12 && alignof(clap_gui_resize_hints) == 4 &&
                  offsetof(clap_gui_resize_hints, can_resize_horizontally) == 0 &&
                  offsetof(clap_gui_resize_hints, can_resize_vertically) == 1 &&
                  offsetof(clap_gui_resize_hints, preserve_aspect_ratio) == 2 &&
                  offsetof(clap_gui_resize_hints, aspect_ratio_width) == 4 &&
                  offsetof(clap_gui_resize_hints, aspect_ratio_height) == 8,
              "clap_gui_resize_hints");
static_assert(IsTable<clap_plugin_gui>(120, 60) && offsetof(clap_plugin_gui, is_api_supported) == Slot(0) &&
                  offsetof(clap_plugin_gui, get_preferred_api) == Slot(1) &&
                  offsetof(clap_plugin_gui, create) == Slot(2) &&
                  offsetof(clap_plugin_gui, destroy) == Slot(3) &&
                  offsetof(clap_plugin_gui, set_scale) == Slot(4) &&
                  offsetof(clap_plugin_gui, get_size) == Slot(5) &&
                  offsetof(clap_plugin_gui, can_resize) == Slot(6) &&
                  offsetof(clap_plugin_gui, get_resize_hints) == Slot(7) &&
                  offsetof(clap_plugin_gui, adjust_size) == Slot(8) &&
                  offsetof(clap_plugin_gui, set_size) == Slot(9) &&
                  offsetof(clap_plugin_gui, set_parent) == Slot(10) &&
                  offsetof(clap_plugin_gui, set_transient) == Slot(11) &&
                  offsetof(clap_plugin_gui, suggest_title) == Slot(12) &&
                  offsetof(clap_plugin_gui, show) == Slot(13) && offsetof(clap_plugin_gui, hide) == Slot(14),
              "clap_plugin_gui");
static_assert(IsTable<clap_host_gui>(40, 20) && offsetof(clap_host_gui, resize_hints_changed) == Slot(0) &&
                  offsetof(clap_host_gui, request_resize) == Slot(1) &&
                  offsetof(clap_host_gui, request_show) == Slot(2) &&
                  offsetof(clap_host_gui, request_hide) == Slot(3) &&
                  offsetof(clap_host_gui, closed) == Slot(4),
              "clap_host_gui");
static_assert(IsTable<clap_plugin_timer_support>(8, 4) &&
                  offsetof(clap_plugin_timer_support, on_timer) == Slot(0) &&
                  IsTable<clap_host_timer_support>(16, 8) &&
                  offsetof(clap_host_timer_support, register_timer) == Slot(0) &&
                  offsetof(clap_host_timer_support, unregister_timer) == Slot(1),
              "timer-support");
static_assert(IsTable<clap_plugin_posix_fd_support>(8, 4) &&
                  offsetof(clap_plugin_posix_fd_support, on_fd) == Slot(0) &&
                  IsTable<clap_host_posix_fd_support>(24, 12) &&
                  offsetof(clap_host_posix_fd_support, register_fd) == Slot(0) &&
                  offsetof(clap_host_posix_fd_support, modify_fd) == Slot(1) &&
                  offsetof(clap_host_posix_fd_support, unregister_fd) == Slot(2),
              "posix-fd-support");

static_assert(IsTable<clap_preset_discovery_factory>(24, 12) &&
                  offsetof(clap_preset_discovery_factory, count) == Slot(0) &&
                  offsetof(clap_preset_discovery_factory, get_descriptor) == Slot(1) &&
                  offsetof(clap_preset_discovery_factory, create) == Slot(2),
              "clap_preset_discovery_factory");
static_assert(sizeof(clap_preset_discovery_provider_descriptor) == OnTarget(40, 24) &&
                  alignof(clap_preset_discovery_provider_descriptor) == OnTarget(8, 4) &&
                  offsetof(clap_preset_discovery_provider_descriptor, clap_version) == 0 &&
                  offsetof(clap_preset_discovery_provider_descriptor, id) == OnTarget(16, 12) &&
                  offsetof(clap_preset_discovery_provider_descriptor, name) == OnTarget(24, 16) &&
                  offsetof(clap_preset_discovery_provider_descriptor, vendor) == OnTarget(32, 20),
              "clap_preset_discovery_provider_descriptor");
static_assert(IsTable<clap_preset_discovery_provider>(48, 24) &&
                  offsetof(clap_preset_discovery_provider, desc) == Slot(0) &&
                  offsetof(clap_preset_discovery_provider, provider_data) == Slot(1) &&
                  offsetof(clap_preset_discovery_provider, init) == Slot(2) &&
                  offsetof(clap_preset_discovery_provider, destroy) == Slot(3) &&
                  offsetof(clap_preset_discovery_provider, get_metadata) == Slot(4) &&
                  offsetof(clap_preset_discovery_provider, get_extension) == Slot(5),
              "clap_preset_discovery_provider");
static_assert(sizeof(clap_preset_discovery_indexer) == OnTarget(88, 48) &&
                  alignof(clap_preset_discovery_indexer) == OnTarget(8, 4) &&
                  offsetof(clap_preset_discovery_indexer, clap_version) == 0 &&
                  offsetof(clap_preset_discovery_indexer, name) == OnTarget(16, 12) &&
                  offsetof(clap_preset_discovery_indexer, vendor) == OnTarget(24, 16) &&
                  offsetof(clap_preset_discovery_indexer, url) == OnTarget(32, 20) &&
                  offsetof(clap_preset_discovery_indexer, version) == OnTarget(40, 24) &&
                  offsetof(clap_preset_discovery_indexer, indexer_data) == OnTarget(48, 28) &&
                  offsetof(clap_preset_discovery_indexer, declare_filetype) == OnTarget(56, 32) &&
                  offsetof(clap_preset_discovery_indexer, declare_location) == OnTarget(64, 36) &&
                  offsetof(clap_preset_discovery_indexer, declare_soundpack) == OnTarget(72, 40) &&
                  offsetof(clap_preset_discovery_indexer, get_extension) == OnTarget(80, 44),
              "clap_preset_discovery_indexer");
static_assert(IsTable<clap_preset_discovery_metadata_receiver>(88, 44) &&
                  offsetof(clap_preset_discovery_metadata_receiver, receiver_data) == Slot(0) &&
                  offsetof(clap_preset_discovery_metadata_receiver, on_error) == Slot(1) &&
                  offsetof(clap_preset_discovery_metadata_receiver, begin_preset) == Slot(2) &&
                  offsetof(clap_preset_discovery_metadata_receiver, add_plugin_id) == Slot(3) &&
                  offsetof(clap_preset_discovery_metadata_receiver, set_soundpack_id) == Slot(4) &&
                  offsetof(clap_preset_discovery_metadata_receiver, set_flags) == Slot(5) &&
                  offsetof(clap_preset_discovery_metadata_receiver, add_creator) == Slot(6) &&
                  offsetof(clap_preset_discovery_metadata_receiver, set_description) == Slot(7) &&
                  offsetof(clap_preset_discovery_metadata_receiver, set_timestamps) == Slot(8) &&
                  offsetof(clap_preset_discovery_metadata_receiver, add_feature) == Slot(9) &&
                  offsetof(clap_preset_discovery_metadata_receiver, add_extra_info) == Slot(10),
              "clap_preset_discovery_metadata_receiver");
static_assert(IsTable<clap_universal_plugin_id>(16, 8) &&
                  offsetof(clap_universal_plugin_id, abi) == Slot(0) &&
                  offsetof(clap_universal_plugin_id, id) == Slot(1) &&
                  IsTable<clap_preset_discovery_filetype>(24, 12) &&
                  offsetof(clap_preset_discovery_filetype, name) == Slot(0) &&
                  offsetof(clap_preset_discovery_filetype, description) == Slot(1) &&
                  offsetof(clap_preset_discovery_filetype, file_extension) == Slot(2),
              "clap_universal_plugin_id, clap_preset_discovery_filetype");
static_assert(sizeof(clap_preset_discovery_location) == OnTarget(32, 16) &&
                  alignof(clap_preset_discovery_location) == OnTarget(8, 4) &&
                  offsetof(clap_preset_discovery_location, flags) == 0 &&
                  offsetof(clap_preset_discovery_location, name) == OnTarget(8, 4) &&
                  offsetof(clap_preset_discovery_location, kind) == OnTarget(16, 8) &&
                  offsetof(clap_preset_discovery_location, location) == OnTarget(24, 12),
              "clap_preset_discovery_location");
static_assert(sizeof(clap_preset_discovery_soundpack) == OnTarget(64, 40) &&
                  alignof(clap_preset_discovery_soundpack) == 8 &&
                  offsetof(clap_preset_discovery_soundpack, flags) == 0 &&
                  offsetof(clap_preset_discovery_soundpack, id) == OnTarget(8, 4) &&
                  offsetof(clap_preset_discovery_soundpack, name) == OnTarget(16, 8) &&
                  offsetof(clap_preset_discovery_soundpack, description) == OnTarget(24, 12) &&
                  offsetof(clap_preset_discovery_soundpack, homepage_url) == OnTarget(32, 16) &&
                  offsetof(clap_preset_discovery_soundpack, vendor) == OnTarget(40, 20) &&
                  offsetof(clap_preset_discovery_soundpack, image_path) == OnTarget(48, 24) &&
                  offsetof(clap_preset_discovery_soundpack, release_timestamp) == OnTarget(56, 32),
              "clap_preset_discovery_soundpack");
static_assert(IsTable<clap_plugin_preset_load>(8, 4) &&
                  offsetof(clap_plugin_preset_load, from_location) == Slot(0) &&
                  IsTable<clap_host_preset_load>(16, 8) &&
                  offsetof(clap_host_preset_load, on_error) == Slot(0) &&
                  offsetof(clap_host_preset_load, loaded) == Slot(1),
              "preset-load");

} // namespace clap
