#pragma once

// The CLAP binary interface: parameters, and the state that carries their values (the host
// stores none itself) through the host's byte streams.

#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapProcess.h"
#include "formats/clap/ClapTypes.h"

namespace clap {

inline constexpr char CLAP_EXT_PARAMS[] = "clap.params";

// clap_param_info::flags. STEPPED: integer values, the host's double truncated. BYPASS implies
// STEPPED (0 off, 1 on), at most one parameter has it, and process goes on while bypassed.
// REQUIRES_PROCESS: changes while active go through process. ENUM needs STEPPED and a non-blank
// text for every integer in range.
constexpr uint32_t CLAP_PARAM_IS_STEPPED = 1;
constexpr uint32_t CLAP_PARAM_IS_PERIODIC = 2;
constexpr uint32_t CLAP_PARAM_IS_HIDDEN = 4;
constexpr uint32_t CLAP_PARAM_IS_READONLY = 8;
constexpr uint32_t CLAP_PARAM_IS_BYPASS = 16;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE = 32;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID = 64;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_KEY = 128;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL = 256;
constexpr uint32_t CLAP_PARAM_IS_AUTOMATABLE_PER_PORT = 512;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE = 1024;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID = 2048;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_KEY = 4096;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_CHANNEL = 8192;
constexpr uint32_t CLAP_PARAM_IS_MODULATABLE_PER_PORT = 16384;
constexpr uint32_t CLAP_PARAM_REQUIRES_PROCESS = 32768;
constexpr uint32_t CLAP_PARAM_IS_ENUM = 65536;

struct clap_param_info {
    // Fixed for ever: sessions and automation store it. Everything but get_info names a
    // parameter by id, not by index.
    clap_id id;
    uint32_t flags;
    // Optional; events echo it, and CLAP_PARAM_RESCAN_ALL ends it.
    void* cookie;
    // Without the module's prefix.
    char name[CLAP_NAME_SIZE];
    // The group, a path separated by '/'; may be "".
    char module[CLAP_PATH_SIZE];
    // Finite, with default_value between them.
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    // [ui] The parameters, by index from 0 to count - 1.
    uint32_t(CLAP_CALL* count)(const clap_plugin* plugin);
    bool(CLAP_CALL* get_info)(const clap_plugin* plugin, uint32_t param_index, clap_param_info* param_info);
    // [ui] Possibly while process runs: the plain value, automation included; false for an
    // unknown id.
    bool(CLAP_CALL* get_value)(const clap_plugin* plugin, clap_id param_id, double* out_value);
    // [ui] Null-terminated UTF-8 within out_buffer_capacity bytes, terminator included, truncated
    // rather than overflowed; false for an unknown id.
    bool(CLAP_CALL* value_to_text)(const clap_plugin* plugin, clap_id param_id, double value,
                                   char* out_buffer, uint32_t out_buffer_capacity);
    // [ui] Reads what value_to_text writes, with or without the unit; a plain value.
    bool(CLAP_CALL* text_to_value)(const clap_plugin* plugin, clap_id param_id, const char* param_value_text,
                                   double* out_value);
    // [audio] While active, [ui] while inactive; never during process: applies in's events and
    // sends the plug-in's pending ones to out, at time 0.
    void(CLAP_CALL* flush)(const clap_plugin* plugin, const clap_input_events* in,
                           const clap_output_events* out);
};

// clap_host_params::rescan: what changed. VALUES (after a preset load, say) is not recorded as
// automation. ALL (parameters added or removed; range, cookie or structural flags changed) only
// while inactive, and it ends every cookie.
constexpr uint32_t CLAP_PARAM_RESCAN_VALUES = 1;
constexpr uint32_t CLAP_PARAM_RESCAN_TEXT = 2;
constexpr uint32_t CLAP_PARAM_RESCAN_INFO = 4;
constexpr uint32_t CLAP_PARAM_RESCAN_ALL = 8;

// clap_host_params::clear: what the host drops of a parameter.
constexpr uint32_t CLAP_PARAM_CLEAR_ALL = 1;
constexpr uint32_t CLAP_PARAM_CLEAR_AUTOMATIONS = 2;
constexpr uint32_t CLAP_PARAM_CLEAR_MODULATIONS = 4;

struct clap_host_params {
    // [ui] flags: CLAP_PARAM_RESCAN_ values.
    void(CLAP_CALL* rescan)(const clap_host* host, uint32_t flags);
    // [ui] flags: CLAP_PARAM_CLEAR_ values.
    void(CLAP_CALL* clear)(const clap_host* host, clap_id param_id, uint32_t flags);
    // [any] Except the audio thread: asks for a process or flush call, where the plug-in sends
    // its editor's changes.
    void(CLAP_CALL* request_flush)(const clap_host* host);
};

// The host's streams for one save or load. Either may move fewer bytes than asked: loop until
// done.
struct clap_ostream {
    void* ctx;
    // [ui] The bytes written, or -1 on error.
    int64_t(CLAP_CALL* write)(const clap_ostream* stream, const void* buffer, uint64_t size);
};

struct clap_istream {
    void* ctx;
    // [ui] The bytes read, 0 at the end, or -1 on error.
    int64_t(CLAP_CALL* read)(const clap_istream* stream, void* buffer, uint64_t size);
};

inline constexpr char CLAP_EXT_STATE[] = "clap.state";

struct clap_plugin_state {
    // [ui] Possibly while audio runs: the whole state.
    bool(CLAP_CALL* save)(const clap_plugin* plugin, const clap_ostream* stream);
    // [ui] Possibly while audio runs. false for truncated or foreign data, leaving the instance
    // usable.
    bool(CLAP_CALL* load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_host_state {
    // [ui] The state changed other than through parameter events (which mark it themselves).
    void(CLAP_CALL* mark_dirty)(const clap_host* host);
};

// Requires CLAP_EXT_STATE too; what either saves, both load.
inline constexpr char CLAP_EXT_STATE_CONTEXT[] = "clap.state-context/2";

// clap_plugin_state_context's context_type.
constexpr uint32_t CLAP_STATE_CONTEXT_FOR_PRESET = 1;
constexpr uint32_t CLAP_STATE_CONTEXT_FOR_DUPLICATE = 2;
constexpr uint32_t CLAP_STATE_CONTEXT_FOR_PROJECT = 3;

struct clap_plugin_state_context {
    // [ui] As clap_plugin_state, for one purpose.
    bool(CLAP_CALL* save)(const clap_plugin* plugin, const clap_ostream* stream, uint32_t context_type);
    bool(CLAP_CALL* load)(const clap_plugin* plugin, const clap_istream* stream, uint32_t context_type);
};

} // namespace clap
