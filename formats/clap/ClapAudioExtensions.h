#pragma once

// The CLAP binary interface: the extensions that shape processing: audio and note ports,
// latency, tail and render mode. Ports and latency change only while the plug-in is inactive.

#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapTypes.h"

namespace clap {

inline constexpr char CLAP_EXT_AUDIO_PORTS[] = "clap.audio-ports";

// clap_audio_port_info::port_type; null or "" names no layout.
inline constexpr char CLAP_PORT_MONO[] = "mono";
inline constexpr char CLAP_PORT_STEREO[] = "stereo";

// clap_audio_port_info::flags. IS_MAIN: at most one main input and one main output, each at index
// 0. Every port with REQUIRES_COMMON_SAMPLE_SIZE uses the same sample size.
constexpr uint32_t CLAP_AUDIO_PORT_IS_MAIN = 1;
constexpr uint32_t CLAP_AUDIO_PORT_SUPPORTS_64BITS = 2;
constexpr uint32_t CLAP_AUDIO_PORT_PREFERS_64BITS = 4;
constexpr uint32_t CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 8;

struct clap_audio_port_info {
    // Stable; input and output ids may overlap.
    clap_id id;
    char name[CLAP_NAME_SIZE];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;
    // The port of the other direction that may share this one's buffer, or CLAP_INVALID_ID.
    clap_id in_place_pair;
};

struct clap_plugin_audio_ports {
    // [ui] The ports of one direction, by index.
    uint32_t(CLAP_CALL* count)(const clap_plugin* plugin, bool is_input);
    bool(CLAP_CALL* get)(const clap_plugin* plugin, uint32_t index, bool is_input,
                         clap_audio_port_info* info);
};

// clap_host_audio_ports::rescan: what changed.
constexpr uint32_t CLAP_AUDIO_PORTS_RESCAN_NAMES = 1;
constexpr uint32_t CLAP_AUDIO_PORTS_RESCAN_FLAGS = 2;
constexpr uint32_t CLAP_AUDIO_PORTS_RESCAN_CHANNEL_COUNT = 4;
constexpr uint32_t CLAP_AUDIO_PORTS_RESCAN_PORT_TYPE = 8;
constexpr uint32_t CLAP_AUDIO_PORTS_RESCAN_IN_PLACE_PAIR = 16;
constexpr uint32_t CLAP_AUDIO_PORTS_RESCAN_LIST = 32;

struct clap_host_audio_ports {
    // [ui] Whether the host takes a CLAP_AUDIO_PORTS_RESCAN_ flag.
    bool(CLAP_CALL* is_rescan_flag_supported)(const clap_host* host, uint32_t flag);
    // [ui] While inactive: the ports changed as flags say.
    void(CLAP_CALL* rescan)(const clap_host* host, uint32_t flags);
};

// Absent, the plug-in has no note ports.
inline constexpr char CLAP_EXT_NOTE_PORTS[] = "clap.note-ports";

// clap_note_port_info's dialects.
constexpr uint32_t CLAP_NOTE_DIALECT_CLAP = 1;
constexpr uint32_t CLAP_NOTE_DIALECT_MIDI = 2;
constexpr uint32_t CLAP_NOTE_DIALECT_MIDI_MPE = 4;
constexpr uint32_t CLAP_NOTE_DIALECT_MIDI2 = 8;

struct clap_note_port_info {
    clap_id id;
    uint32_t supported_dialects;
    uint32_t preferred_dialect;
    char name[CLAP_NAME_SIZE];
};

struct clap_plugin_note_ports {
    // [ui] The note ports of one direction, by index.
    uint32_t(CLAP_CALL* count)(const clap_plugin* plugin, bool is_input);
    bool(CLAP_CALL* get)(const clap_plugin* plugin, uint32_t index, bool is_input, clap_note_port_info* info);
};

inline constexpr char CLAP_EXT_LATENCY[] = "clap.latency";

struct clap_plugin_latency {
    // [ui] While being activated or active: the latency in samples.
    uint32_t(CLAP_CALL* get)(const clap_plugin* plugin);
};

struct clap_host_latency {
    // [ui] Only inside clap_plugin::activate; an active plug-in asks for a restart instead.
    void(CLAP_CALL* changed)(const clap_host* host);
};

inline constexpr char CLAP_EXT_TAIL[] = "clap.tail";

struct clap_plugin_tail {
    // [ui] or [audio]: the samples the output rings on after the input falls silent; INT32_MAX
    // or more for ever.
    uint32_t(CLAP_CALL* get)(const clap_plugin* plugin);
};

struct clap_host_tail {
    // [audio] The tail's length changed.
    void(CLAP_CALL* changed)(const clap_host* host);
};

// Without it, every function called on the audio thread is real-time safe.
inline constexpr char CLAP_EXT_RENDER[] = "clap.render";

constexpr int32_t CLAP_RENDER_REALTIME = 0;
constexpr int32_t CLAP_RENDER_OFFLINE = 1;

struct clap_plugin_render {
    // [ui] Whether the plug-in must always be processed in real time.
    bool(CLAP_CALL* has_hard_realtime_requirement)(const clap_plugin* plugin);
    // [ui] mode: CLAP_RENDER_REALTIME or _OFFLINE; answers whether the plug-in took it.
    bool(CLAP_CALL* set)(const clap_plugin* plugin, int32_t mode);
};

} // namespace clap
