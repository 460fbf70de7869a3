#pragma once

// The CLAP binary interface: what one process call receives and returns, the events in and out
// of it and the transport.

#include "formats/clap/ClapTypes.h"

namespace clap {

// What process answers: ERROR has the output discarded; CONTINUE_IF_NOT_QUIET asks for calls
// while the output is not silent; TAIL leaves it to the tail extension; SLEEP needs no calls
// until new events or input audio.
constexpr clap_process_status CLAP_PROCESS_ERROR = 0;
constexpr clap_process_status CLAP_PROCESS_CONTINUE = 1;
constexpr clap_process_status CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2;
constexpr clap_process_status CLAP_PROCESS_TAIL = 3;
constexpr clap_process_status CLAP_PROCESS_SLEEP = 4;

// Every event starts with it; events are flat, size bytes long, and copied as bytes.
struct clap_event_header {
    // The whole event's size in bytes: step by it, never by an assumed size.
    uint32_t size;
    // The sample offset within the block.
    uint32_t time;
    // Only the core space's types are known: skip other spaces and unknown types.
    uint16_t space_id;
    uint16_t type;
    // CLAP_EVENT_IS_LIVE, CLAP_EVENT_DONT_RECORD.
    uint32_t flags;
};

constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

// Event types of the core space.
constexpr uint16_t CLAP_EVENT_NOTE_ON = 0;
constexpr uint16_t CLAP_EVENT_NOTE_OFF = 1;
constexpr uint16_t CLAP_EVENT_NOTE_CHOKE = 2;
constexpr uint16_t CLAP_EVENT_NOTE_END = 3;
constexpr uint16_t CLAP_EVENT_NOTE_EXPRESSION = 4;
constexpr uint16_t CLAP_EVENT_PARAM_VALUE = 5;
constexpr uint16_t CLAP_EVENT_PARAM_MOD = 6;
constexpr uint16_t CLAP_EVENT_PARAM_GESTURE_BEGIN = 7;
constexpr uint16_t CLAP_EVENT_PARAM_GESTURE_END = 8;
constexpr uint16_t CLAP_EVENT_TRANSPORT = 9;
constexpr uint16_t CLAP_EVENT_MIDI = 10;
constexpr uint16_t CLAP_EVENT_MIDI_SYSEX = 11;
constexpr uint16_t CLAP_EVENT_MIDI2 = 12;

// clap_event_header::flags: a live user action; an event not to record.
constexpr uint32_t CLAP_EVENT_IS_LIVE = 1;
constexpr uint32_t CLAP_EVENT_DONT_RECORD = 2;

// CLAP_EVENT_PARAM_VALUE: the parameter's plain value in [min, max], not normalised; a stepped
// parameter truncates it. The address fields are -1 for all (an effect that is not polyphonic
// reads every event as global, and sends -1 in all four).
struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    // clap_param_info::cookie as the plug-in gave it, or null.
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

// CLAP_EVENT_PARAM_MOD, only for modulatable parameters: the parameter sounds at value + amount.
struct clap_event_param_mod {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double amount;
};

// CLAP_EVENT_PARAM_GESTURE_BEGIN and _END: bracket the values of one editor drag.
struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

// clap_event_transport::flags; a field is valid only when its HAS_ flag is set.
constexpr uint32_t CLAP_TRANSPORT_HAS_TEMPO = 1;
constexpr uint32_t CLAP_TRANSPORT_HAS_BEATS_TIMELINE = 2;
constexpr uint32_t CLAP_TRANSPORT_HAS_SECONDS_TIMELINE = 4;
constexpr uint32_t CLAP_TRANSPORT_HAS_TIME_SIGNATURE = 8;
constexpr uint32_t CLAP_TRANSPORT_IS_PLAYING = 16;
constexpr uint32_t CLAP_TRANSPORT_IS_RECORDING = 32;
constexpr uint32_t CLAP_TRANSPORT_IS_LOOP_ACTIVE = 64;
constexpr uint32_t CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL = 128;

// One beat or second in clap_beattime and clap_sectime: 2^31, never to change. beats =
// song_pos_beats / 2^31; encoding rounds x * 2^31.
constexpr clap_beattime CLAP_BEATTIME_FACTOR = int64_t{1} << 31;
constexpr clap_sectime CLAP_SECTIME_FACTOR = int64_t{1} << 31;

// CLAP_EVENT_TRANSPORT, from its time on; also clap_process::transport, the state at sample 0.
struct clap_event_transport {
    clap_event_header header;
    uint32_t flags;
    clap_beattime song_pos_beats;
    clap_sectime song_pos_seconds;
    // Beats per minute, and its change per sample until the next transport event.
    double tempo;
    double tempo_inc;
    clap_beattime loop_start_beats;
    clap_beattime loop_end_beats;
    clap_sectime loop_start_seconds;
    clap_sectime loop_end_seconds;
    // Where the current bar starts; bar 0 is at song position 0.
    clap_beattime bar_start;
    int32_t bar_number;
    uint16_t tsig_num;
    uint16_t tsig_denom;
};

// The events an effect only skips. clap_event_note is CLAP_EVENT_NOTE_ON, _OFF, _CHOKE and _END.
struct clap_event_note {
    clap_event_header header;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double velocity;
};

struct clap_event_note_expression {
    clap_event_header header;
    int32_t expression_id;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

struct clap_event_midi {
    clap_event_header header;
    uint16_t port_index;
    uint8_t data[3];
};

struct clap_event_midi_sysex {
    clap_event_header header;
    uint16_t port_index;
    const uint8_t* buffer;
    uint32_t size;
};

struct clap_event_midi2 {
    clap_event_header header;
    uint16_t port_index;
    uint32_t data[4];
};

// The host's events for one process or flush call, sorted by time; owned by the host.
struct clap_input_events {
    void* ctx;
    // [audio] During process, or during flush (then [ui] while inactive): the events by index.
    uint32_t(CLAP_CALL* size)(const clap_input_events* list);
    const clap_event_header*(CLAP_CALL* get)(const clap_input_events* list, uint32_t index);
};

// Where the plug-in sends events during process or flush, in non-decreasing time below the
// block's frames_count (any time in flush, where 0 is usual).
struct clap_output_events {
    void* ctx;
    // [audio] As clap_input_events: copies event; false when it could not.
    bool(CLAP_CALL* try_push)(const clap_output_events* list, const clap_event_header* event);
};

// One port's channels for one block. Exactly one of data32 and data64 is set (data64 only where
// the port's flags offer it); input buffers are read-only.
struct clap_audio_buffer {
    // One pointer per channel.
    float** data32;
    double** data64;
    uint32_t channel_count;
    // The latency to or from the audio interface; for information.
    uint32_t latency;
    // Bit i: channel i repeats one value. A hint; the buffers are always fully written, and 0 is
    // always right on output.
    uint64_t constant_mask;
};

// One process call's work. Every pointer is valid only during the call.
struct clap_process {
    // -1 when unknown; otherwise at least 0, and it grows by at least frames_count a call, per
    // instance. reset may take it back.
    int64_t steady_time;
    uint32_t frames_count;
    // Null for a host that runs free, with no transport events.
    const clap_event_transport* transport;
    // One buffer per declared audio port, in order.
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

} // namespace clap
