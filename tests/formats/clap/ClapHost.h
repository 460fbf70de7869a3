#pragma once

// The tests' CLAP host from the published layouts: the structures the tests read and fill, the
// host's tables, and the module loaded as hosts load it. The plug-in's tables are arrays of
// functions, called by position with the plug-in (a factory: the table) as first argument.
#include "tests/integration/PluginLibrary.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#define KSP_CLAPCALL __cdecl
#else
#define KSP_CLAPCALL
#endif

namespace clap {

using Fn = void(KSP_CLAPCALL*)();
using Bytes = std::vector<uint8_t>;
constexpr bool k64 = sizeof(void*) == 8;

template <class R = bool, class... A>
R Call(Fn function, A... arguments) {
    return reinterpret_cast<R(KSP_CLAPCALL*)(A...)>(function)(arguments...);
}
// The values, each followed by a space.
template <class... T>
std::string Join(const T&... values) {
    std::ostringstream out;
    ((out << values << ' '), ...);
    return out.str();
}

// Positions in the tables of the entry, the factories, the plug-in and preset provider, params
// and gui.
constexpr int kEntryInit = 0, kEntryDeinit = 1, kGetFactory = 2, kCount = 0, kGetDescriptor = 1, kCreate = 2;
constexpr int kInit = 0, kDestroy = 1, kActivate = 2, kDeactivate = 3, kStartProcessing = 4,
              kStopProcessing = 5, kProcess = 7, kGetExtension = 8, kGetMetadata = 2;
constexpr int kGetInfo = 1, kGetValue = 2, kValueToText = 3, kTextToValue = 4, kFlush = 5;
constexpr int kIsApiSupported = 0, kGuiCreate = 2, kGuiDestroy = 3, kSetScale = 4, kGetSize = 5,
              kCanResize = 6, kSetParent = 10, kShow = 13, kHide = 14;
constexpr uint16_t kParamValue = 5, kGestureBegin = 7, kGestureEnd = 8, kTransport = 9;
constexpr uint32_t kPluginLocation = 1;
constexpr const char* kNoLocation = nullptr;

struct PluginEntry {
    uint32_t version[3];
    Fn functions[3];
};
// A preset provider's descriptor starts as this: version, id.
struct Descriptor {
    uint32_t version[3];
    const char *id, *name, *vendor, *url, *manual_url, *support_url, *version_text, *description;
    const char* const* features;
};
// A plug-in (N = 10) or a preset provider (N = 4).
template <int N>
struct Object {
    const void* desc;
    void* data;
    Fn functions[N];
};
// An event list or stream (ctx, then its functions), or a preset metadata receiver (N = 10).
template <int N>
struct Table {
    void* ctx;
    Fn functions[N];
};
struct Host {
    uint32_t version[3];
    void* host_data;
    const char *name, *vendor, *url, *version_text;
    Fn functions[4];
};
struct EventHeader {
    uint32_t size, time;
    uint16_t space_id, type;
    uint32_t flags;
};
struct ParamValue {
    EventHeader header;
    uint32_t param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index, channel, key;
    double value;
};
struct Transport {
    EventHeader header;
    uint32_t flags;
    int64_t song_pos_beats, song_pos_seconds;
    double tempo;
    uint8_t unused[56]; // the tempo increment, loop, bar and time signature
};
struct AudioBuffer {
    float** data32;
    double** data64;
    uint32_t channel_count, latency;
    uint64_t constant_mask;
};
struct Process {
    int64_t steady_time;
    uint32_t frames_count;
    const Transport* transport;
    const AudioBuffer* audio_inputs;
    AudioBuffer* audio_outputs;
    uint32_t audio_inputs_count, audio_outputs_count;
    const void *in_events, *out_events;
};
struct PortInfo {
    uint32_t id;
    char name[256];
    uint32_t flags, channel_count;
    const char* port_type;
    uint32_t in_place_pair;
};
struct ParamInfo {
    uint32_t id, flags;
    void* cookie;
    char name[256], module[1024];
    double min_value, max_value, default_value;
};
struct Window {
    const char* api;
    uintptr_t handle; // the X11 window or the HWND
};
struct Indexer {
    uint32_t version[3];
    const char *name, *vendor, *url, *version_text;
    void* indexer_data;
    Fn functions[4];
};
struct Location {
    uint32_t flags;
    const char* name;
    uint32_t kind;
    const char* location;
};
static_assert(sizeof(PluginEntry) == (k64 ? 40 : 24) && sizeof(Descriptor) == (k64 ? 88 : 48));
static_assert(sizeof(Object<10>) == (k64 ? 96 : 48) && sizeof(Host) == (k64 ? 88 : 48));
static_assert(sizeof(ParamValue) == (k64 ? 56 : 48) && sizeof(Transport) == 104 &&
              sizeof(Window) == (k64 ? 16 : 8));
static_assert(sizeof(AudioBuffer) == (k64 ? 32 : 24) && sizeof(Process) == (k64 ? 64 : 40));
static_assert(sizeof(PortInfo) == (k64 ? 288 : 276) && sizeof(ParamInfo) == 1320);
static_assert(sizeof(Indexer) == (k64 ? 88 : 48) && sizeof(Location) == (k64 ? 32 : 16));

// What a table's ctx points at.
template <class T>
T& Of(const void* table) {
    return **static_cast<T* const*>(table);
}

// Events for the plug-in, or from it, each kept as its bytes.
struct EventList {
    EventList() = default;
    EventList(const EventList&) = delete;
    void Add(const EventHeader* event) {
        events.emplace_back(reinterpret_cast<const uint8_t*>(event),
                            reinterpret_cast<const uint8_t*>(event) + event->size);
    }
    void Value(uint32_t time, uint32_t id, double value) {
        const ParamValue event = {
            {sizeof(ParamValue), time, 0, kParamValue, 0}, id, nullptr, -1, -1, -1, -1, value};
        Add(&event.header);
    }
    // "begin 1 value 1 end 1 " for a gesture on parameter 1; "bad " for an event of another type,
    // space or size.
    std::string Text() const {
        std::string text;
        for (const Bytes& bytes : events) {
            const auto& event = *reinterpret_cast<const ParamValue*>(bytes.data());
            const int type = event.header.space_id == 0 ? event.header.type : -1;
            const char* name = type == kParamValue     ? "value"
                               : type == kGestureBegin ? "begin"
                               : type == kGestureEnd   ? "end"
                                                       : nullptr;
            // A gesture is a header and a parameter id.
            const size_t size = type == kParamValue ? sizeof(ParamValue) : sizeof(EventHeader) + 4;
            text += name != nullptr && bytes.size() == size ? Join(name, event.param_id) : "bad ";
        }
        return text;
    }
    static uint32_t KSP_CLAPCALL Size(const void* list) {
        return uint32_t(Of<EventList>(list).events.size());
    }
    static const void* KSP_CLAPCALL Get(const void* list, uint32_t i) {
        return Of<EventList>(list).events.at(i).data();
    }
    static bool KSP_CLAPCALL Push(const void* list, const EventHeader* event) {
        return Of<EventList>(list).Add(event), true;
    }

    std::vector<Bytes> events;
    Table<2> in = {this, {Fn(Size), Fn(Get)}};
    Table<1> out = {this, {Fn(Push)}};
};

// Bytes read or written in pieces of at most limit bytes.
struct Stream {
    static int64_t KSP_CLAPCALL Read(const void* stream, void* to, uint64_t size) {
        Stream& s = Of<Stream>(stream);
        const size_t n = std::min({size_t(size), s.limit, s.bytes.size() - s.position});
        std::copy_n(s.bytes.begin() + s.position, n, static_cast<uint8_t*>(to));
        s.position += n;
        return int64_t(n);
    }
    static int64_t KSP_CLAPCALL Write(const void* stream, const void* from, uint64_t size) {
        Stream& s = Of<Stream>(stream);
        const size_t n = std::min(size_t(size), s.limit);
        s.bytes.insert(s.bytes.end(), static_cast<const uint8_t*>(from),
                       static_cast<const uint8_t*>(from) + n);
        return int64_t(n);
    }

    Bytes bytes;
    size_t limit, position = 0;
    Table<1> reader = {this, {Fn(Read)}}, writer = {this, {Fn(Write)}};
};

// The host: offers the extensions the plug-in may call (timer and descriptor support only with
// editorSupport) and records its calls as text ("rescan 1 "), those made from a thread they are
// not allowed on also in wrongThread. The test's thread is the main thread, and plays the audio
// thread's part while audio is set.
struct TestHost {
    enum Rule { kMain, kNotAudio, kAny };
    explicit TestHost(bool editorSupport = true) : editorSupport(editorSupport) {}
    TestHost(const TestHost&) = delete;
    template <class... T>
    void Record(Rule rule, const T&... parts) {
        calls.push_back(Join(parts...));
        if ((rule == kMain && !IsMain(&host)) || (rule == kNotAudio && audio)) {
            wrongThread.push_back(calls.back());
        }
    }
    int Count(const std::string& call) const { return int(std::count(calls.begin(), calls.end(), call)); }
    static TestHost& Of(const Host* h) { return *static_cast<TestHost*>(h->host_data); }

    static const void* KSP_CLAPCALL Extension(const Host* h, const char* id) {
        static const Fn threadCheck[] = {Fn(IsMain), Fn(IsAudio)}, state[] = {Fn(MarkDirty)},
                        params[] = {Fn(Rescan), Fn(Clear), Fn(RequestFlush)},
                        presetLoad[] = {Fn(PresetError), Fn(PresetLoaded)},
                        timer[] = {Fn(RegisterTimer), Fn(UnregisterTimer)},
                        fd[] = {Fn(RegisterFd), Fn(ModifyFd), Fn(UnregisterFd)};
        const std::string name = id;
        const bool editor = Of(h).editorSupport;
        return name == "clap.thread-check"                                          ? threadCheck
               : name == "clap.params"                                              ? params
               : name == "clap.state"                                               ? state
               : name == "clap.preset-load/2" || name == "clap.preset-load.draft/2" ? presetLoad
               : name == "clap.timer-support" && editor                             ? timer
               : name == "clap.posix-fd-support" && editor                          ? fd
                                                                                    : nullptr;
    }
    static bool KSP_CLAPCALL IsMain(const Host* h) {
        return !Of(h).audio && std::this_thread::get_id() == Of(h).mainThread;
    }
    static bool KSP_CLAPCALL IsAudio(const Host* h) { return Of(h).audio; }
    static void KSP_CLAPCALL Request(const Host* h) { Of(h).Record(kAny, "request"); }
    static void KSP_CLAPCALL Rescan(const Host* h, uint32_t flags) { Of(h).Record(kMain, "rescan", flags); }
    static void KSP_CLAPCALL Clear(const Host* h, uint32_t id, uint32_t) { Of(h).Record(kMain, "clear", id); }
    static void KSP_CLAPCALL RequestFlush(const Host* h) { Of(h).Record(kNotAudio, "request_flush"); }
    static void KSP_CLAPCALL MarkDirty(const Host* h) { Of(h).Record(kMain, "mark_dirty"); }
    static void KSP_CLAPCALL PresetError(const Host* h, uint32_t kind, const char*, const char* key, int32_t,
                                         const char*) {
        Of(h).Record(kMain, "on_error", kind, key);
    }
    static void KSP_CLAPCALL PresetLoaded(const Host* h, uint32_t kind, const char* location,
                                          const char* key) {
        Of(h).Record(kMain, "loaded", kind, location == nullptr, key);
    }
    static bool KSP_CLAPCALL RegisterTimer(const Host* h, uint32_t period, uint32_t* id) {
        Of(h).Record(kMain, "register_timer");
        return *id = 7, Of(h).timerPeriod = period, true;
    }
    static bool KSP_CLAPCALL UnregisterTimer(const Host* h, uint32_t id) {
        Of(h).Record(kMain, "unregister_timer");
        return std::exchange(Of(h).timerPeriod, 0) != 0 && id == 7;
    }
    static bool KSP_CLAPCALL RegisterFd(const Host* h, int fd, uint32_t) {
        return Of(h).Record(kMain, "register_fd"), Of(h).fd = fd, true;
    }
    static bool KSP_CLAPCALL ModifyFd(const Host* h, int, uint32_t) {
        return Of(h).Record(kMain, "modify_fd"), true;
    }
    static bool KSP_CLAPCALL UnregisterFd(const Host* h, int fd) {
        Of(h).Record(kMain, "unregister_fd");
        return std::exchange(Of(h).fd, -1) == fd;
    }

    bool editorSupport, audio = false;
    std::thread::id mainThread = std::this_thread::get_id();
    std::vector<std::string> calls, wrongThread;
    int fd = -1;
    uint32_t timerPeriod = 0;
    Host host = {
        {1, 2, 10}, this, "tests", "", "", "1", {Fn(Extension), Fn(Request), Fn(Request), Fn(Request)}};
};

// The module loaded and entered as hosts do it, with its plug-in factory; left when destroyed.
struct Module : PluginLibrary {
    explicit Module(const char* path)
        : PluginLibrary(path), entry(reinterpret_cast<const PluginEntry*>(Entry("clap_entry"))) {
        entered = entry != nullptr && Call(entry->functions[kEntryInit], path);
        factory = Factory("clap.plugin-factory");
    }
    ~Module() {
        if (entered) {
            Call<void>(entry->functions[kEntryDeinit]);
        }
    }
    const Fn* Factory(const char* id) const {
        return entered ? Call<const Fn*>(entry->functions[kGetFactory], id) : nullptr;
    }

    const PluginEntry* entry;
    bool entered = false;
    const Fn* factory = nullptr;
};

// The phaser made by the module's factory for host and initialised, with the extensions the tests
// use and the events it sent; stopped, deactivated and destroyed when destroyed.
struct Instance {
    Instance(const Module& module, TestHost& host)
        : host(host), plugin(Call<const Object<10>*>(module.factory[kCreate], module.factory, &host.host,
                                                     "com.kestrunelle.phaser")) {}
    ~Instance() {
        if (processing) {
            InAudio<void>(true, plugin->functions, kStopProcessing);
        }
        if (active) {
            Do<void>(plugin->functions, kDeactivate);
        }
        if (plugin != nullptr) {
            Do<void>(plugin->functions, kDestroy);
        }
    }
    Instance(const Instance&) = delete;

    template <class R = bool, class... A>
    R Do(const Fn* table, int at, A... arguments) {
        return Call<R>(table[at], plugin, arguments...);
    }
    // Do, in the audio thread's part when audio is set.
    template <class R = bool, class... A>
    R InAudio(bool audio, const Fn* table, int at, A... arguments) {
        struct Role {
            TestHost& host;
            ~Role() { host.audio = false; }
        } role = {host};
        host.audio = audio;
        return Do<R>(table, at, arguments...);
    }
    const Fn* Extension(const char* id) {
        return initialised ? Do<const Fn*>(plugin->functions, kGetExtension, id) : nullptr;
    }
    // Activated at 44.1 kHz for blocks of up to 512 samples, and processing.
    bool Start() {
        active = Do(plugin->functions, kActivate, 44100.0, 1u, 512u);
        return processing = active && InAudio(true, plugin->functions, kStartProcessing);
    }
    // One block of the channels (float or double) of an input and an output.
    template <class S>
    int32_t Run(uint32_t frames, S** in, S** out, const EventList& events, const Transport* transport) {
        AudioBuffer input = {nullptr, nullptr, 2, 0, 0}, output = input;
        if constexpr (sizeof(S) == 8) {
            input.data64 = in, output.data64 = out;
        } else {
            input.data32 = in, output.data32 = out;
        }
        const Process process = {steady, frames, transport, &input, &output, 1, 1, &events.in, &sent.out};
        steady += frames;
        return InAudio<int32_t>(true, plugin->functions, kProcess, &process);
    }
    void Flush(const EventList& events) { InAudio<void>(active, params, kFlush, &events.in, &sent.out); }
    std::string Text(uint32_t id, double value) {
        char text[64] = {};
        return Do(params, kValueToText, id, value, text, uint32_t(sizeof text)) ? text : "(refused)";
    }
    double Value(uint32_t id) {
        double value = -1.0;
        return Do(params, kGetValue, id, &value) ? value : -1.0;
    }
    // The state in writes of at most limit bytes; empty when refused.
    Bytes Save(size_t limit = SIZE_MAX) {
        Stream stream = {{}, limit};
        return Do(state, 0, &stream.writer) ? stream.bytes : Bytes();
    }
    bool Load(const Bytes& bytes, size_t limit = SIZE_MAX) {
        Stream stream = {bytes, limit};
        return Do(state, 1, &stream.reader);
    }
    bool LoadPreset(const std::string& key) {
        return Do(presetLoad, 0, kPluginLocation, kNoLocation, key.c_str());
    }

    TestHost& host;
    const Object<10>* plugin;
    bool initialised = plugin != nullptr && Do(plugin->functions, kInit);
    const Fn *ports = Extension("clap.audio-ports"), *params = Extension("clap.params");
    const Fn *state = Extension("clap.state"), *tail = Extension("clap.tail"), *gui = Extension("clap.gui");
    const Fn* presetLoad = Extension("clap.preset-load/2");
    bool active = false, processing = false;
    int64_t steady = 0;
    EventList sent;
};

// What the preset discovery factory's provider declares and lists: its locations as
// "flags kind named location-is-null ", each preset as its name, its load key and the "abi:id" of
// each plug-in it is for, an error as "error" and its message.
struct PresetIndex {
    explicit PresetIndex(const Module& module) {
        const Fn* factory = module.Factory("clap.preset-discovery-factory/2");
        providers = factory != nullptr ? Call<uint32_t>(factory[kCount], factory) : 0;
        const auto* about =
            providers > 0 ? Call<const Descriptor*>(factory[kGetDescriptor], factory, 0u) : nullptr;
        provider = about != nullptr ? Call<const Object<4>*>(factory[kCreate], factory, &indexer, about->id)
                                    : nullptr;
        listed = provider != nullptr && Call(provider->functions[kInit], provider) &&
                 Call(provider->functions[kGetMetadata], provider, kPluginLocation, kNoLocation, &receiver);
    }
    ~PresetIndex() {
        if (provider != nullptr) {
            Call<void>(provider->functions[kDestroy], provider);
        }
    }
    PresetIndex(const PresetIndex&) = delete;

    using Any = const void*;
    template <class... A>
    static bool KSP_CLAPCALL Ignore(const void*, A...) {
        return true;
    }
    static const void* KSP_CLAPCALL None(const void*, const char*) { return nullptr; }
    static bool KSP_CLAPCALL Declare(const Indexer* indexer, const Location* at) {
        auto& locations = static_cast<PresetIndex*>(indexer->indexer_data)->locations;
        return locations.push_back(Join(at->flags, at->kind, *at->name != 0, at->location == nullptr)), true;
    }
    static void KSP_CLAPCALL Error(const void* receiver, int32_t, const char* message) {
        Of<PresetIndex>(receiver).presets.push_back({"error", message});
    }
    static bool KSP_CLAPCALL Begin(const void* receiver, const char* name, const char* key) {
        return Of<PresetIndex>(receiver).presets.push_back({name, key != nullptr ? key : ""}), true;
    }
    static void KSP_CLAPCALL PluginId(const void* receiver, const char* const* id) {
        Of<PresetIndex>(receiver).presets.back().push_back(std::string(id[0]) + ":" + id[1]);
    }

    Table<10> receiver = {this,
                          {Fn(Error), Fn(Begin), Fn(PluginId), Fn(Ignore<Any>), Fn(Ignore<uint32_t>),
                           Fn(Ignore<Any>), Fn(Ignore<Any>), Fn(Ignore<uint64_t, uint64_t>), Fn(Ignore<Any>),
                           Fn(Ignore<Any, Any>)}};
    Indexer indexer = {
        {1, 2, 10}, "tests", "", "", "1", this, {Fn(Ignore<Any>), Fn(Declare), Fn(Ignore<Any>), Fn(None)}};
    uint32_t providers = 0;
    const Object<4>* provider = nullptr;
    bool listed = false;
    std::vector<std::string> locations;
    std::vector<std::vector<std::string>> presets;
};

} // namespace clap
