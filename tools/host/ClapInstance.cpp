#include "tools/host/ClapInstance.h"

#include "tools/host/EditorSnapshot.h"
#include "tools/host/ParameterValue.h"
#include "tools/host/Renderer.h"
#include "tools/host/Text.h"

#include <cmath>
#include <type_traits>

namespace ksphost {

namespace {

bool Stepped(const clap::clap_param_info& info) {
    return (info.flags & clap::CLAP_PARAM_IS_STEPPED) != 0;
}

double Clamped(const clap::clap_param_info& info, double plain) {
    return plain < info.min_value ? info.min_value : (plain > info.max_value ? info.max_value : plain);
}

// A normalised value on the parameter's range, whole for a stepped parameter.
double PlainValue(const clap::clap_param_info& info, double normalized) {
    const double plain = info.min_value + normalized * (info.max_value - info.min_value);
    return Clamped(info, Stepped(info) ? std::round(plain) : plain);
}

double NormalizedValue(const clap::clap_param_info& info, double plain) {
    const double range = info.max_value - info.min_value;
    return range > 0.0 ? (Clamped(info, plain) - info.min_value) / range : 0.0;
}

// A fixed-point position of the transport: x * 2^31, rounded.
int64_t FixedPoint(double x) {
    return std::llround(x * static_cast<double>(clap::CLAP_BEATTIME_FACTOR));
}

// The host's events for one call: the values set, each a PARAM_VALUE at time 0.
uint32_t CLAP_CALL EventCount(const clap::clap_input_events* list) {
    return static_cast<uint32_t>(
        static_cast<const std::vector<clap::clap_event_param_value>*>(list->ctx)->size());
}

const clap::clap_event_header* CLAP_CALL EventAt(const clap::clap_input_events* list, uint32_t index) {
    const auto& events = *static_cast<const std::vector<clap::clap_event_param_value>*>(list->ctx);
    return index < events.size() ? &events[index].header : nullptr;
}

// What the plug-in sends (its editor's changes) needs no answer from an offline host.
bool CLAP_CALL TakeEvent(const clap::clap_output_events* /*list*/, const clap::clap_event_header* event) {
    return event != nullptr;
}

const clap::clap_output_events kOutputEvents = {nullptr, TakeEvent};

// What value_to_text shows over a parameter's range, for telling what it takes.
class PluginDisplay final : public IParameterDisplay {
public:
    PluginDisplay(const clap::clap_plugin& p, const clap::clap_plugin_params& t,
                  const clap::clap_param_info& i)
        : plugin(p), params(t), info(i) {}

    void Show(double normalized, char* display, char* label) override {
        if (!params.value_to_text(&plugin, info.id, PlainValue(info, normalized), display,
                                  kParameterTextCapacity)) {
            display[0] = '\0';
        }
        label[0] = '\0';
    }

private:
    const clap::clap_plugin& plugin;
    const clap::clap_plugin_params& params;
    const clap::clap_param_info& info;
};

} // namespace

Result<std::unique_ptr<PluginInstance>> ClapInstance::Load(const std::string& path) {
    std::unique_ptr<ClapInstance> instance(new ClapInstance());
    const Status opened = instance->Open(path);
    if (!opened.Ok()) {
        return opened;
    }
    return std::unique_ptr<PluginInstance>(std::move(instance));
}

Status ClapInstance::Open(const std::string& path) {
    auto loaded = ClapModule::Load(path);
    if (!loaded.Ok()) {
        return loaded.Error();
    }
    module = std::move(loaded.Value());
    descriptor = module->Plugin(0);
    const std::string name = Quoted(ClapText(descriptor->name));
    const clap::clap_plugin_factory& factory = module->Factory();
    plugin = factory.create_plugin(&factory, host.Host(), descriptor->id);
    if (plugin == nullptr) {
        return Status::Error(path + ": the factory did not create " + name);
    }
    host.Attach(plugin);
    if (plugin->init == nullptr || !plugin->init(plugin)) {
        return Status::Error(path + ": " + name + " did not initialise");
    }
    audioPorts = ClapExtension<clap::clap_plugin_audio_ports>(plugin, clap::CLAP_EXT_AUDIO_PORTS);
    params = ClapExtension<clap::clap_plugin_params>(plugin, clap::CLAP_EXT_PARAMS);
    latencyExtension = ClapExtension<clap::clap_plugin_latency>(plugin, clap::CLAP_EXT_LATENCY);
    tail = ClapExtension<clap::clap_plugin_tail>(plugin, clap::CLAP_EXT_TAIL);
    gui = ClapExtension<clap::clap_plugin_gui>(plugin, clap::CLAP_EXT_GUI);
    presetLoad = ClapExtension<clap::clap_plugin_preset_load>(plugin, clap::CLAP_EXT_PRESET_LOAD);
    if (presetLoad == nullptr) {
        presetLoad = ClapExtension<clap::clap_plugin_preset_load>(plugin, clap::CLAP_EXT_PRESET_LOAD_COMPAT);
    }
    ReadParameters();
    return Status();
}

ClapInstance::~ClapInstance() {
    if (plugin == nullptr) {
        return;
    }
    StopProcessing();
    plugin->destroy(plugin);
}

void ClapInstance::ReadParameters() {
    const uint32_t count = params != nullptr ? params->count(plugin) : 0;
    for (uint32_t i = 0; i < count; ++i) {
        clap::clap_param_info info = {};
        if (!params->get_info(plugin, i, &info)) {
            continue;
        }
        info.name[sizeof info.name - 1] = '\0';
        info.module[sizeof info.module - 1] = '\0';
        if ((info.flags & clap::CLAP_PARAM_IS_BYPASS) == 0) {
            settable.push_back(parameters.size());
        }
        parameters.push_back(info);
    }
}

void ClapInstance::Prepare(int rate, int frames) {
    sampleRate = rate;
    blockSize = frames;
}

std::string ClapInstance::ParameterName(int index) {
    return Info(index).name;
}

double ClapInstance::CurrentValue(const clap::clap_param_info& info) const {
    if (const double* set = values.Find(info.id)) {
        return *set;
    }
    double value = info.default_value;
    return params->get_value(plugin, info.id, &value) ? value : info.default_value;
}

std::string ClapInstance::Text(const clap::clap_param_info& info, double value) const {
    char text[256] = {};
    if (!params->value_to_text(plugin, info.id, value, text, sizeof text)) {
        return std::string();
    }
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ClapInstance::ParameterText(int index) {
    DeliverValues();
    return Text(Info(index), CurrentValue(Info(index)));
}

void ClapInstance::SetParameter(int index, double normalized) {
    const clap::clap_param_info& info = Info(index);
    const bool fromText = found.index == index && found.normalized == normalized;
    values.Set(info.id, fromText ? found.plain : PlainValue(info, normalized));
}

Result<double> ClapInstance::ParameterValue(int index, const std::string& text) {
    DeliverValues();
    const clap::clap_param_info& info = Info(index);
    double plain = 0.0;
    if (params->text_to_value(plugin, info.id, text.c_str(), &plain) && std::isfinite(plain)) {
        found = {index, NormalizedValue(info, plain), Clamped(info, plain)};
        return found.normalized;
    }
    PluginDisplay display(*plugin, *params, info);
    return RefusedParameterValue(display, ParameterName(index), text);
}

void ClapInstance::FillEvents() {
    events.clear();
    for (const auto& value : values.Deliver()) {
        clap::clap_event_param_value event = {};
        event.header = {sizeof event, 0, clap::CLAP_CORE_EVENT_SPACE_ID, clap::CLAP_EVENT_PARAM_VALUE, 0};
        event.param_id = value.first;
        for (const clap::clap_param_info& info : parameters) {
            event.cookie = info.id == value.first ? info.cookie : event.cookie;
        }
        event.note_id = -1;
        event.port_index = -1;
        event.channel = -1;
        event.key = -1;
        event.value = value.second;
        events.push_back(event);
    }
}

void ClapInstance::DeliverValues() {
    if (!values.Undelivered() || active || params->flush == nullptr) {
        return;
    }
    FillEvents();
    const clap::clap_input_events in = {&events, EventCount, EventAt};
    params->flush(plugin, &in, &kOutputEvents);
}

const ClapPresetIndex& ClapInstance::Presets() {
    if (!presets) {
        presets = IndexClapPresets(module->Entry(), descriptor->id);
    }
    return *presets;
}

Status ClapInstance::CanSelectPrograms() {
    const bool discovery = Presets().hasFactory;
    if (discovery && presetLoad != nullptr) {
        return Status();
    }
    const std::string lacks = !discovery && presetLoad == nullptr
                                  ? "neither a preset-discovery factory nor the preset-load extension"
                                  : (discovery ? "no preset-load extension" : "no preset-discovery factory");
    return Status::Error(module->Path() + " has no programs to select: it has " + lacks);
}

std::string ClapInstance::ProgramName(int index) {
    return Presets().presets[static_cast<size_t>(index)].name;
}

Status ClapInstance::SelectProgram(int index) {
    const ClapPreset& preset = Presets().presets[static_cast<size_t>(index)];
    if (!presetLoad->from_location(plugin, clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                   preset.loadKey.c_str())) {
        return Status::Error(module->Path() + " did not load its preset " + Quoted(preset.name));
    }
    // The preset replaces every value set before it.
    values.Clear();
    currentPreset = index;
    return Status();
}

std::string ClapInstance::CurrentProgramName() {
    return currentPreset >= 0 ? ProgramName(currentPreset) : std::string();
}

Status ClapInstance::SnapshotEditor(const std::string& output) {
    DeliverValues();
    return SnapshotClapEditor(*plugin, gui, host, module->Path(), output);
}

uint32_t ClapInstance::PortCount(bool input) const {
    return audioPorts != nullptr ? audioPorts->count(plugin, input) : 0;
}

std::optional<clap::clap_audio_port_info> ClapInstance::Port(bool input) const {
    clap::clap_audio_port_info info = {};
    if (PortCount(input) < 1 || !audioPorts->get(plugin, 0, input, &info)) {
        return std::nullopt;
    }
    return info;
}

int ClapInstance::MainChannels(bool input) const {
    const auto port = Port(input);
    return port ? static_cast<int>(port->channel_count) : 0;
}

Status ClapInstance::StartProcessing(const RenderSettings& settings, int rate) {
    inputPorts = PortCount(true);
    const uint32_t outputPorts = PortCount(false);
    if (inputPorts > 1 || outputPorts != 1) {
        return UnusableBuses("ports", static_cast<int>(inputPorts), static_cast<int>(outputPorts));
    }
    const auto input = Port(true);
    const auto output = Port(false);
    if (!output || (inputPorts > 0 && !input)) {
        return Status::Error("the plug-in does not describe its audio ports");
    }
    const bool doubles = (output->flags & clap::CLAP_AUDIO_PORT_SUPPORTS_64BITS) != 0 &&
                         (!input || (input->flags & clap::CLAP_AUDIO_PORT_SUPPORTS_64BITS) != 0);
    if (settings.doublePrecision && !doubles) {
        return UnusablePrecision(true);
    }
    inputChannels = input ? input->channel_count : 0;
    outputChannels = output->channel_count;
    sampleRate = rate;
    if (!plugin->activate(plugin, rate, 1, static_cast<uint32_t>(settings.blockSize))) {
        return UnusableRate(rate, settings.blockSize);
    }
    active = true;
    latency = latencyExtension != nullptr ? latencyExtension->get(plugin) : 0;
    host.SetAudioThread(true);
    processing = plugin->start_processing(plugin);
    host.SetAudioThread(false);
    if (!processing) {
        return Status::Error("the plug-in did not start processing");
    }
    transport = settings.transport;
    firstBlock = true;
    return Status();
}

template <typename Sample>
Status ClapInstance::ProcessBlock(Sample** inputs, Sample** outputs, int frames, int64_t position) {
    clap::clap_audio_buffer input = {};
    clap::clap_audio_buffer output = {};
    input.channel_count = inputChannels;
    output.channel_count = outputChannels;
    if constexpr (std::is_same_v<Sample, double>) {
        input.data64 = inputs;
        output.data64 = outputs;
    } else {
        input.data32 = inputs;
        output.data32 = outputs;
    }
    if (firstBlock) {
        FillEvents();
        firstBlock = false;
    } else {
        events.clear();
    }
    const clap::clap_input_events in = {&events, EventCount, EventAt};

    // The transport in 4/4, as the VST 2.4 host reports it, its positions in fixed point.
    const MusicalPosition music = PositionInTime(transport, position, sampleRate);
    clap::clap_event_transport time = {};
    time.header = {sizeof time, 0, clap::CLAP_CORE_EVENT_SPACE_ID, clap::CLAP_EVENT_TRANSPORT, 0};
    time.flags = clap::CLAP_TRANSPORT_HAS_TEMPO | clap::CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
                 clap::CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | clap::CLAP_TRANSPORT_HAS_TIME_SIGNATURE |
                 (transport.playing ? clap::CLAP_TRANSPORT_IS_PLAYING : 0u);
    time.song_pos_beats = FixedPoint(music.beats);
    time.song_pos_seconds = FixedPoint(static_cast<double>(position) / sampleRate);
    time.tempo = transport.tempo;
    time.bar_start = FixedPoint(music.barStart);
    time.bar_number = static_cast<int32_t>(music.barStart / kBeatsPerBar);
    time.tsig_num = kBeatsPerBar;
    time.tsig_denom = 4;

    clap::clap_process process = {};
    process.steady_time = position;
    process.frames_count = static_cast<uint32_t>(frames);
    process.transport = &time;
    process.audio_inputs = inputPorts > 0 ? &input : nullptr;
    process.audio_outputs = &output;
    process.audio_inputs_count = inputPorts;
    process.audio_outputs_count = 1;
    process.in_events = &in;
    process.out_events = &kOutputEvents;
    host.SetAudioThread(true);
    const clap::clap_process_status status = plugin->process(plugin, &process);
    host.SetAudioThread(false);
    if (status == clap::CLAP_PROCESS_ERROR) {
        return Status::Error("the plug-in's process call failed");
    }
    return Status();
}

Status ClapInstance::Process(float** inputs, float** outputs, int frames, int64_t position) {
    return ProcessBlock(inputs, outputs, frames, position);
}

Status ClapInstance::Process(double** inputs, double** outputs, int frames, int64_t position) {
    return ProcessBlock(inputs, outputs, frames, position);
}

void ClapInstance::StopProcessing() {
    if (processing) {
        host.SetAudioThread(true);
        plugin->stop_processing(plugin);
        host.SetAudioThread(false);
        processing = false;
    }
    if (active) {
        plugin->deactivate(plugin);
        active = false;
    }
}

} // namespace ksphost
