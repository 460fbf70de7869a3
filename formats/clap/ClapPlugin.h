#pragma once

// The CLAP binary interface: the module's entry, the factory that describes and creates its
// plug-ins, a plug-in instance and the host it lives in.

#include "formats/clap/ClapTypes.h"

namespace clap {

struct clap_process;

// Feature keywords for clap_plugin_descriptor::features: exactly one main category, then any
// sub-categories and the channel layout. Custom ones read "namespace:word".
inline constexpr char CLAP_PLUGIN_FEATURE_INSTRUMENT[] = "instrument";
inline constexpr char CLAP_PLUGIN_FEATURE_AUDIO_EFFECT[] = "audio-effect";
inline constexpr char CLAP_PLUGIN_FEATURE_NOTE_EFFECT[] = "note-effect";
inline constexpr char CLAP_PLUGIN_FEATURE_NOTE_DETECTOR[] = "note-detector";
inline constexpr char CLAP_PLUGIN_FEATURE_ANALYZER[] = "analyzer";
inline constexpr char CLAP_PLUGIN_FEATURE_PHASER[] = "phaser";
inline constexpr char CLAP_PLUGIN_FEATURE_FILTER[] = "filter";
inline constexpr char CLAP_PLUGIN_FEATURE_FLANGER[] = "flanger";
inline constexpr char CLAP_PLUGIN_FEATURE_CHORUS[] = "chorus";
inline constexpr char CLAP_PLUGIN_FEATURE_DELAY[] = "delay";
inline constexpr char CLAP_PLUGIN_FEATURE_MONO[] = "mono";
inline constexpr char CLAP_PLUGIN_FEATURE_STEREO[] = "stereo";
inline constexpr char CLAP_PLUGIN_FEATURE_SURROUND[] = "surround";
inline constexpr char CLAP_PLUGIN_FEATURE_AMBISONIC[] = "ambisonic";

// What the factory tells about a plug-in before creating it; valid until the entry's deinit.
// id and name are mandatory and not blank; the other strings may be null, "" is safer.
struct clap_plugin_descriptor {
    struct clap_version clap_version;
    // Reverse-domain ("org.example.phaser"), unique, never changed.
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    // MAJOR(.MINOR(.REVISION)?)?( (Alpha|Beta) XREV)? is what hosts understand.
    const char* version;
    const char* description;
    // Keywords, ended by a null pointer.
    const char* const* features;
};

// One instance, made by the factory. The host calls it in this order: init, then any number of
// (activate, any number of (start_processing, process..., stop_processing), deactivate), then
// destroy.
struct clap_plugin {
    // The factory's descriptor of this plug-in, the same pointer.
    const clap_plugin_descriptor* desc;
    // The plug-in's own object.
    void* plugin_data;

    // [ui] The host is usable from here on: fetch its extensions (each table, and each function
    // in one, may be null). On false the host destroys the instance.
    bool(CLAP_CALL* init)(const clap_plugin* plugin);
    // [ui] While inactive. Frees the instance.
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    // [ui] While inactive; allocate here. The sample rate holds until deactivate, and every
    // process call's frames_count lies in [min_frames_count, max_frames_count], within
    // [1, INT32_MAX]. Inside it the plug-in may call clap_host_latency::changed; latency and ports
    // stay fixed while active.
    bool(CLAP_CALL* activate)(const clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                              uint32_t max_frames_count);
    // [ui] While active.
    void(CLAP_CALL* deactivate)(const clap_plugin* plugin);
    // [audio] While active and not processing; stop_processing while processing. Stopped, the
    // plug-in may sleep until the host starts it again.
    bool(CLAP_CALL* start_processing)(const clap_plugin* plugin);
    void(CLAP_CALL* stop_processing)(const clap_plugin* plugin);
    // [audio] While active: clears the signal state, not the parameter values. steady_time may
    // go back afterwards.
    void(CLAP_CALL* reset)(const clap_plugin* plugin);
    // [audio] While processing: one block; real-time safe. Answers a CLAP_PROCESS_ status.
    clap_process_status(CLAP_CALL* process)(const clap_plugin* plugin, const clap_process* process);
    // [any] From init on: the extension's table, alive until destroy, or null for an id it does
    // not know (compared as text).
    const void*(CLAP_CALL* get_extension)(const clap_plugin* plugin, const char* id);
    // [ui] Answers the plug-in's own clap_host::request_callback.
    void(CLAP_CALL* on_main_thread)(const clap_plugin* plugin);
};

// The host as an instance sees it; it and its extension tables stay valid until after destroy.
struct clap_host {
    struct clap_version clap_version;
    // The host's own object.
    void* host_data;
    // name and version are mandatory.
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;

    // [any] From clap_plugin::init on: the host's table for the extension, or null.
    const void*(CLAP_CALL* get_extension)(const clap_host* host, const char* extension_id);
    // [any] Asks for deactivate and activate, perhaps later.
    void(CLAP_CALL* request_restart)(const clap_host* host);
    // [any] Asks to be activated and processed.
    void(CLAP_CALL* request_process)(const clap_host* host);
    // [any] Asks for a call of clap_plugin::on_main_thread, typically within ~33 ms but not
    // promised.
    void(CLAP_CALL* request_callback)(const clap_host* host);
};

inline constexpr char CLAP_EXT_LOG[] = "clap.log";

constexpr int32_t CLAP_LOG_DEBUG = 0;
constexpr int32_t CLAP_LOG_INFO = 1;
constexpr int32_t CLAP_LOG_WARNING = 2;
constexpr int32_t CLAP_LOG_ERROR = 3;
constexpr int32_t CLAP_LOG_FATAL = 4;
constexpr int32_t CLAP_LOG_HOST_MISBEHAVING = 5;
constexpr int32_t CLAP_LOG_PLUGIN_MISBEHAVING = 6;

struct clap_host_log {
    // [any] Not real-time safe: never from process. severity: a CLAP_LOG_ value.
    void(CLAP_CALL* log)(const clap_host* host, int32_t severity, const char* message);
};

inline constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";

// For debug assertions.
struct clap_host_thread_check {
    // [any] Whether the caller is the main thread, or holds the audio thread's role.
    bool(CLAP_CALL* is_main_thread)(const clap_host* host);
    bool(CLAP_CALL* is_audio_thread)(const clap_host* host);
};

inline constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";

// Returned by the entry's get_factory for CLAP_PLUGIN_FACTORY_ID. Every function is [any]: it may
// run on any thread, concurrently, and answers fast.
struct clap_plugin_factory {
    // [any] The plug-ins, by index.
    uint32_t(CLAP_CALL* get_plugin_count)(const clap_plugin_factory* factory);
    // [any] null for an index out of range.
    const clap_plugin_descriptor*(CLAP_CALL* get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                                    uint32_t index);
    // [any] A new instance, freed only by its destroy; null for an id that is not exactly one of
    // the descriptors'. Keeps host, valid until after destroy, and calls nothing of it.
    const clap_plugin*(CLAP_CALL* create_plugin)(const clap_plugin_factory* factory, const clap_host* host,
                                                 const char* plugin_id);
};

// The module's one export: a data object, not a function.
struct clap_plugin_entry {
    // The version the module was built against.
    struct clap_version clap_version;

    // [any] Never concurrently with another call into the module. plugin_path is the module's
    // own file. Fast, with no user interaction: hosts call it while scanning. init and deinit
    // may each come more than once: the module counts them, works only on the first init and the
    // last deinit, and answers a repeated init true. On false the host calls nothing more, not
    // even deinit.
    bool(CLAP_CALL* init)(const char* plugin_path);
    // [any] As init: undoes it. Afterwards only init may be called.
    void(CLAP_CALL* deinit)();
    // [any] Concurrently too: the module's factory for the id (compared as text), or null.
    const void*(CLAP_CALL* get_factory)(const char* factory_id);
};

// The exported symbol, named clap_entry unmangled on every target; the binding defines it.
extern "C" {
extern const clap_plugin_entry clap_entry;
}

} // namespace clap
