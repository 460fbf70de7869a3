#include "formats/clap/IPluginCLAP.h"

#include "core/PluginFactory.h"
#include "core/TextCopy.h"

#include <cstring>
#include <new>

namespace {

template <typename Table>
const Table* HostExtension(const clap::clap_host* host, const char* id) {
    return host->get_extension != nullptr ? static_cast<const Table*>(host->get_extension(host, id))
                                          : nullptr;
}

} // namespace

IPluginCLAP::IPluginCLAP(std::unique_ptr<::IPluginBase> owned, const clap::clap_host* host)
    : plugin(std::move(owned)), host(host) {
    clapPlugin.desc = &ClapPluginDescriptor();
    clapPlugin.plugin_data = this;
    clapPlugin.init = Init;
    clapPlugin.destroy = Destroy;
    clapPlugin.activate = Activate;
    clapPlugin.deactivate = Deactivate;
    clapPlugin.start_processing = StartProcessing;
    clapPlugin.stop_processing = StopProcessing;
    clapPlugin.reset = Reset;
    clapPlugin.process = Process;
    clapPlugin.get_extension = GetExtension;
    clapPlugin.on_main_thread = OnMainThread;
    LockGuard guard(plugin->Lock());
    plugin->ConnectAllChannels();
    plugin->FillUnusedPresets(plugin->PresetCount());
    plugin->SetHost(this);
}

IPluginCLAP::~IPluginCLAP() {
    CloseEditor();
}

const clap::clap_plugin* IPluginCLAP::Create(const clap::clap_host* host) {
    std::unique_ptr<::IPluginBase> plugin = CreatePlugin();
    if (!plugin) {
        return nullptr;
    }
    auto* created = new (std::nothrow) IPluginCLAP(std::move(plugin), host);
    return created != nullptr ? &created->clapPlugin : nullptr;
}

IPluginCLAP* IPluginCLAP::Of(const clap::clap_plugin* plugin) {
    return static_cast<IPluginCLAP*>(plugin->plugin_data);
}

bool CLAP_CALL IPluginCLAP::Init(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
    const clap::clap_host* host = self->host;
    self->hostParams = HostExtension<clap::clap_host_params>(host, clap::CLAP_EXT_PARAMS);
    self->hostLatency = HostExtension<clap::clap_host_latency>(host, clap::CLAP_EXT_LATENCY);
    self->hostTimers = HostExtension<clap::clap_host_timer_support>(host, clap::CLAP_EXT_TIMER_SUPPORT);
    self->hostFds = HostExtension<clap::clap_host_posix_fd_support>(host, clap::CLAP_EXT_POSIX_FD_SUPPORT);
    self->hostPresetLoad = HostExtension<clap::clap_host_preset_load>(host, clap::CLAP_EXT_PRESET_LOAD);
    if (self->hostPresetLoad == nullptr) {
        self->hostPresetLoad =
            HostExtension<clap::clap_host_preset_load>(host, clap::CLAP_EXT_PRESET_LOAD_COMPAT);
    }
    LockGuard guard(self->plugin->Lock());
    self->plugin->NotifyAllParameters();
    return true;
}

void CLAP_CALL IPluginCLAP::Destroy(const clap::clap_plugin* plugin) {
    delete Of(plugin);
}

bool CLAP_CALL IPluginCLAP::Activate(const clap::clap_plugin* plugin, double sampleRate,
                                     uint32_t /*minFrames*/, uint32_t maxFrames) {
    IPluginCLAP* self = Of(plugin);
    LockGuard guard(self->plugin->Lock());
    self->plugin->ApplySampleRate(sampleRate);
    self->plugin->ApplyBlockSize(maxFrames > INT32_MAX ? INT32_MAX : static_cast<int>(maxFrames));
    self->plugin->OnReset();
    self->plugin->OnActiveChange(true);
    self->active = true;
    return true;
}

void CLAP_CALL IPluginCLAP::Deactivate(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
    LockGuard guard(self->plugin->Lock());
    self->active = false;
    self->plugin->OnActiveChange(false);
    self->plugin->OnReset();
}

bool CLAP_CALL IPluginCLAP::StartProcessing(const clap::clap_plugin* plugin) {
    Of(plugin)->processing = true;
    return true;
}

void CLAP_CALL IPluginCLAP::StopProcessing(const clap::clap_plugin* plugin) {
    Of(plugin)->processing = false;
}

void CLAP_CALL IPluginCLAP::Reset(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
    LockGuard guard(self->plugin->Lock());
    self->plugin->OnReset();
}

void CLAP_CALL IPluginCLAP::OnMainThread(const clap::clap_plugin* /*plugin*/) {}

const void* CLAP_CALL IPluginCLAP::GetExtension(const clap::clap_plugin* /*plugin*/, const char* id) {
    static const clap::clap_plugin_audio_ports audioPorts = {PortCount, PortInfo};
    static const clap::clap_plugin_latency latency = {Latency};
    static const clap::clap_plugin_tail tail = {Tail};
    static const clap::clap_plugin_params params = {ParamCount,  ParamInfo,   ParamValue,
                                                    ValueToText, TextToValue, Flush};
    static const clap::clap_plugin_state state = {SaveState, LoadState};
    static const clap::clap_plugin_preset_load presetLoad = {LoadPreset};
    static const clap::clap_plugin_gui gui = {GuiApiSupported, GuiPreferredApi, GuiCreate,    GuiDestroy,
                                              GuiSetScale,     GuiSize,         GuiCanResize, GuiResizeHints,
                                              GuiSize,         GuiSetSize,      GuiSetParent, GuiSetTransient,
                                              GuiSuggestTitle, GuiShow,         GuiHide};
#ifndef _WIN32
    static const clap::clap_plugin_timer_support timers = {OnTimer};
    static const clap::clap_plugin_posix_fd_support fds = {OnFd};
#endif
    if (id == nullptr) {
        return nullptr;
    }
    const struct {
        const char* id;
        const void* table;
    } extensions[] = {{clap::CLAP_EXT_AUDIO_PORTS, &audioPorts},
                      {clap::CLAP_EXT_LATENCY, &latency},
                      {clap::CLAP_EXT_TAIL, &tail},
                      {clap::CLAP_EXT_PARAMS, &params},
                      {clap::CLAP_EXT_STATE, &state},
                      {clap::CLAP_EXT_PRESET_LOAD, &presetLoad},
                      {clap::CLAP_EXT_PRESET_LOAD_COMPAT, &presetLoad},
                      {clap::CLAP_EXT_GUI, &gui},
#ifndef _WIN32
                      {clap::CLAP_EXT_TIMER_SUPPORT, &timers},
                      {clap::CLAP_EXT_POSIX_FD_SUPPORT, &fds}
#endif
    };
    for (const auto& extension : extensions) {
        if (std::strcmp(id, extension.id) == 0) {
            return extension.table;
        }
    }
    return nullptr;
}

uint32_t CLAP_CALL IPluginCLAP::PortCount(const clap::clap_plugin* /*plugin*/, bool /*isInput*/) {
    return 1;
}

bool CLAP_CALL IPluginCLAP::PortInfo(const clap::clap_plugin* /*plugin*/, uint32_t index, bool isInput,
                                     clap::clap_audio_port_info* info) {
    if (index != 0 || info == nullptr) {
        return false;
    }
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    CopyText(info->name, isInput ? "Stereo In" : "Stereo Out", sizeof info->name);
    // The effect takes one sample size for input and output.
    info->flags = clap::CLAP_AUDIO_PORT_IS_MAIN | clap::CLAP_AUDIO_PORT_SUPPORTS_64BITS |
                  clap::CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE;
    info->channel_count = 2;
    info->port_type = clap::CLAP_PORT_STEREO;
    // The effect reads each sample before it writes it: input and output may share a buffer.
    info->in_place_pair = 0;
    return true;
}

uint32_t CLAP_CALL IPluginCLAP::Latency(const clap::clap_plugin* plugin) {
    const int latency = Of(plugin)->plugin->Latency();
    return latency > 0 ? static_cast<uint32_t>(latency) : 0;
}

uint32_t CLAP_CALL IPluginCLAP::Tail(const clap::clap_plugin* plugin) {
    IPluginCLAP* self = Of(plugin);
    LockGuard guard(self->plugin->Lock());
    const int32_t tail = self->plugin->TailFrames();
    return tail == kInfiniteTail ? uint32_t{INT32_MAX} : static_cast<uint32_t>(tail > 0 ? tail : 0);
}

void IPluginCLAP::SetLatencySamples(int /*samples*/) {
    if (host->request_restart != nullptr) {
        host->request_restart(host);
    }
}

void IPluginCLAP::TellValuesChanged() {
    if (hostParams != nullptr && hostParams->rescan != nullptr) {
        hostParams->rescan(host, clap::CLAP_PARAM_RESCAN_VALUES);
    }
}

void IPluginCLAP::RequestHostDisplayUpdate() {
    TellValuesChanged();
}
