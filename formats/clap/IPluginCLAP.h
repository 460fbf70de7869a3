#pragma once

#include "core/IPluginBase.h"
#include "core/IPluginHost.h"
#include "formats/clap/ClapAudioExtensions.h"
#include "formats/clap/ClapGui.h"
#include "formats/clap/ClapParams.h"
#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapPresets.h"
#include "formats/clap/ClapProcess.h"

#include <atomic>
#include <memory>

// The bypass parameter beyond the effect's own, whose ids are their indices.
constexpr clap::clap_id kClapBypassId = 100;
// The most host changes one block takes; later ones in a full block act at its end.
constexpr int kClapMaxChanges = 512;
// Editor events (gestures and values) waiting for the next process or flush call.
constexpr uint32_t kClapEditorEventCapacity = 1024;
// The transports one block takes: the block's own and those changing inside it.
constexpr int kClapMaxTransports = 16;

// [any] No lock. The descriptor of the module's one plug-in, alive as long as the module.
const clap::clap_plugin_descriptor& ClapPluginDescriptor();

// The CLAP binding: one instance of the core's plug-in behind a clap_plugin and the extensions
// the phaser offers (audio ports, parameters, state, latency, tail, gui, timers and descriptors for
// the Linux editor, preset loading), answering the plug-in's calls to the host.
//
// Threads and the plug-in lock: the host calls each function on the thread the format gives it
// (main thread: [ui]; audio thread: [audio]); each holds the plug-in lock while it works on the
// plug-in. Editor changes reach the audio thread through a queue of its own without a lock.
class IPluginCLAP final : public QuietPluginHost {
public:
    // [any] An instance for host (kept, not called until init); null when memory ran out. The
    // host frees it through clap_plugin::destroy.
    static const clap::clap_plugin* Create(const clap::clap_host* host);
    IPluginCLAP(const IPluginCLAP&) = delete;
    IPluginCLAP& operator=(const IPluginCLAP&) = delete;

    // IPluginHost: the plug-in's calls to the host that this format answers (QuietPluginHost answers
    // the rest), on the threads and under the locks IPluginHost states.
    void BeginParameterGesture(int index) override;
    void EndParameterGesture(int index) override;
    void AutomateParameter(int index, double normalized) override;
    void RequestHostDisplayUpdate() override;
    int SamplePosition() override;
    double HostTempo() override;
    void HostTimeSignature(int& beatsPerBar, int& beatUnit) override;
    void HostTime(HostTimeInfo& info) override;
    void SetLatencySamples(int samples) override;

private:
    explicit IPluginCLAP(std::unique_ptr<::IPluginBase> plugin, const clap::clap_host* host);
    ~IPluginCLAP();

    static IPluginCLAP* Of(const clap::clap_plugin* plugin);
    // clap_plugin.
    static bool CLAP_CALL Init(const clap::clap_plugin* plugin);
    static void CLAP_CALL Destroy(const clap::clap_plugin* plugin);
    static bool CLAP_CALL Activate(const clap::clap_plugin* plugin, double sampleRate, uint32_t minFrames,
                                   uint32_t maxFrames);
    static void CLAP_CALL Deactivate(const clap::clap_plugin* plugin);
    static bool CLAP_CALL StartProcessing(const clap::clap_plugin* plugin);
    static void CLAP_CALL StopProcessing(const clap::clap_plugin* plugin);
    static void CLAP_CALL Reset(const clap::clap_plugin* plugin);
    static clap::clap_process_status CLAP_CALL Process(const clap::clap_plugin* plugin,
                                                       const clap::clap_process* process);
    static const void* CLAP_CALL GetExtension(const clap::clap_plugin* plugin, const char* id);
    static void CLAP_CALL OnMainThread(const clap::clap_plugin* plugin);
    // Audio ports, latency, tail.
    static uint32_t CLAP_CALL PortCount(const clap::clap_plugin* plugin, bool isInput);
    static bool CLAP_CALL PortInfo(const clap::clap_plugin* plugin, uint32_t index, bool isInput,
                                   clap::clap_audio_port_info* info);
    static uint32_t CLAP_CALL Latency(const clap::clap_plugin* plugin);
    static uint32_t CLAP_CALL Tail(const clap::clap_plugin* plugin);
    // Parameters.
    static uint32_t CLAP_CALL ParamCount(const clap::clap_plugin* plugin);
    static bool CLAP_CALL ParamInfo(const clap::clap_plugin* plugin, uint32_t index,
                                    clap::clap_param_info* info);
    static bool CLAP_CALL ParamValue(const clap::clap_plugin* plugin, clap::clap_id id, double* value);
    static bool CLAP_CALL ValueToText(const clap::clap_plugin* plugin, clap::clap_id id, double value,
                                      char* out, uint32_t capacity);
    static bool CLAP_CALL TextToValue(const clap::clap_plugin* plugin, clap::clap_id id, const char* text,
                                      double* value);
    static void CLAP_CALL Flush(const clap::clap_plugin* plugin, const clap::clap_input_events* in,
                                const clap::clap_output_events* out);
    // State and presets.
    static bool CLAP_CALL SaveState(const clap::clap_plugin* plugin, const clap::clap_ostream* stream);
    static bool CLAP_CALL LoadState(const clap::clap_plugin* plugin, const clap::clap_istream* stream);
    static bool CLAP_CALL LoadPreset(const clap::clap_plugin* plugin, uint32_t kind, const char* location,
                                     const char* loadKey);
    // The editor.
    static bool CLAP_CALL GuiApiSupported(const clap::clap_plugin* plugin, const char* api, bool floating);
    static bool CLAP_CALL GuiPreferredApi(const clap::clap_plugin* plugin, const char** api, bool* floating);
    static bool CLAP_CALL GuiCreate(const clap::clap_plugin* plugin, const char* api, bool floating);
    static void CLAP_CALL GuiDestroy(const clap::clap_plugin* plugin);
    static bool CLAP_CALL GuiSetScale(const clap::clap_plugin* plugin, double scale);
    static bool CLAP_CALL GuiSize(const clap::clap_plugin* plugin, uint32_t* width, uint32_t* height);
    static bool CLAP_CALL GuiCanResize(const clap::clap_plugin* plugin);
    static bool CLAP_CALL GuiResizeHints(const clap::clap_plugin* plugin, clap::clap_gui_resize_hints* hints);
    static bool CLAP_CALL GuiSetSize(const clap::clap_plugin* plugin, uint32_t width, uint32_t height);
    static bool CLAP_CALL GuiSetParent(const clap::clap_plugin* plugin, const clap::clap_window* window);
    static bool CLAP_CALL GuiSetTransient(const clap::clap_plugin* plugin, const clap::clap_window* window);
    static void CLAP_CALL GuiSuggestTitle(const clap::clap_plugin* plugin, const char* title);
    static bool CLAP_CALL GuiShow(const clap::clap_plugin* plugin);
    static bool CLAP_CALL GuiHide(const clap::clap_plugin* plugin);
#ifndef _WIN32
    static void CLAP_CALL OnTimer(const clap::clap_plugin* plugin, clap::clap_id timer);
    static void CLAP_CALL OnFd(const clap::clap_plugin* plugin, int fd, uint32_t flags);
#endif

    // [audio] Plug-in lock held (or [ui] while inactive). The host's events of a block: parameter
    // values and bypass into changes (rising offsets, as the host sorts them), the transport from
    // its event on. Answers how many changes.
    int CollectChanges(const clap::clap_input_events* in, uint32_t frames);
    // [audio] Plug-in lock held (or [ui] while inactive). Sends the editor's waiting gestures and
    // values to the host at time 0.
    void SendEditorEvents(const clap::clap_output_events* out);
    // [ui] No lock. Queues one editor event; asks the host for a flush while it is not processing.
    void QueueEditorEvent(uint16_t type, int index, double plain);
    // [ui] Plug-in lock held. The host's copies of the values are stale: it reads them again.
    void TellValuesChanged();
    // [ui] Closes the editor's window and leaves the host's timer and descriptor.
    void CloseEditor();
    // [audio] Plug-in lock held. The transport in force at the piece being processed, and the
    // frame from which it is; none without one.
    const clap::clap_event_transport* Transport(int& from) const;
    // [audio] Plug-in lock held. Quarter notes from that transport's frame to the piece's.
    double PieceBeats() const;
    // [ui] The repaint timer runs while the editor shows.
    bool StartTimer();
    // [any] No lock. The plain value of a host's value: stepped values are whole numbers of steps
    // (the fraction dropped), the rest is in the parameter's unit (IParameter::UnitValue).
    static double PlainValue(const IParameter& parameter, double value);

    struct EditorEvent {
        uint16_t type;
        clap::clap_id id;
        double value;
    };

    clap::clap_plugin clapPlugin;
    std::unique_ptr<::IPluginBase> plugin;
    const clap::clap_host* host;
    const clap::clap_host_params* hostParams = nullptr;
    const clap::clap_host_latency* hostLatency = nullptr;
    const clap::clap_host_timer_support* hostTimers = nullptr;
    const clap::clap_host_posix_fd_support* hostFds = nullptr;
    const clap::clap_host_preset_load* hostPresetLoad = nullptr;
    bool active = false;
    std::atomic<bool> processing{false};
    // The block's transports: the one at its start, then those its events bring, with their frames.
    const clap::clap_event_transport* transports[kClapMaxTransports] = {};
    uint32_t transportFrames[kClapMaxTransports] = {};
    int transportCount = 0;
    ParameterChange changes[kClapMaxChanges];
    // The editor's events: written on the user-interface thread, read by whoever processes.
    EditorEvent editorEvents[kClapEditorEventCapacity];
    std::atomic<uint32_t> editorWritten{0};
    std::atomic<uint32_t> editorRead{0};
    // The editor in the host's window.
    bool guiCreated = false;
    bool windowOpen = false;
    clap::clap_id timerId = clap::CLAP_INVALID_ID;
    int registeredFd = -1;
};
