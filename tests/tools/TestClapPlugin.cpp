// A small CLAP module for the host's tests: one mono gain plug-in, 32-bit only, without presets.
// Its output is input * Gain + Offset. Gain (id 7, -2 to 2) also reads the text "double"; Offset
// (id 3) is stepped from 0 to 4. The ids are not the indices, so a host that mixes them up sets
// nothing.
#include "formats/clap/ClapAudioExtensions.h"
#include "formats/clap/ClapParams.h"
#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapProcess.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace clap;

constexpr clap_id kGain = 7;
constexpr clap_id kOffset = 3;
constexpr const char* kId = "org.ksphaser.test-gain";
constexpr const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_MONO, nullptr};
constexpr clap_plugin_descriptor kDescriptor = {CLAP_VERSION, kId, "Test Gain", "", "",
                                                "",           "",  "1.0",       "", kFeatures};

struct Instance {
    clap_plugin plugin;
    double gain = 1.0;
    double offset = 0.0;
};

Instance& Of(const clap_plugin* plugin) {
    return *static_cast<Instance*>(plugin->plugin_data);
}

void Apply(const clap_plugin* plugin, const clap_input_events* in) {
    for (uint32_t i = 0; i < in->size(in); ++i) {
        const clap_event_header* header = in->get(in, i);
        if (header->space_id == CLAP_CORE_EVENT_SPACE_ID && header->type == CLAP_EVENT_PARAM_VALUE) {
            const auto* event = reinterpret_cast<const clap_event_param_value*>(header);
            (event->param_id == kGain ? Of(plugin).gain : Of(plugin).offset) = event->value;
        }
    }
}

bool CLAP_CALL Ok(const clap_plugin* /*plugin*/) {
    return true;
}
void CLAP_CALL Nothing(const clap_plugin* /*plugin*/) {}
void CLAP_CALL Destroy(const clap_plugin* plugin) {
    delete &Of(plugin);
}
bool CLAP_CALL Activate(const clap_plugin* /*plugin*/, double /*rate*/, uint32_t /*min*/, uint32_t /*max*/) {
    return true;
}

clap_process_status CLAP_CALL Process(const clap_plugin* plugin, const clap_process* process) {
    Apply(plugin, process->in_events);
    const float gain = static_cast<float>(Of(plugin).gain);
    const float offset = static_cast<float>(Of(plugin).offset);
    for (uint32_t i = 0; i < process->frames_count; ++i) {
        process->audio_outputs[0].data32[0][i] = process->audio_inputs[0].data32[0][i] * gain + offset;
    }
    return CLAP_PROCESS_CONTINUE;
}

uint32_t CLAP_CALL PortCount(const clap_plugin* /*plugin*/, bool /*input*/) {
    return 1;
}
bool CLAP_CALL Port(const clap_plugin* /*plugin*/, uint32_t /*index*/, bool input,
                    clap_audio_port_info* info) {
    *info = {};
    std::snprintf(info->name, sizeof info->name, "%s", input ? "In" : "Out");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = 1;
    info->port_type = CLAP_PORT_MONO;
    info->in_place_pair = CLAP_INVALID_ID;
    return true;
}

uint32_t CLAP_CALL ParamCount(const clap_plugin* /*plugin*/) {
    return 2;
}
bool CLAP_CALL ParamInfo(const clap_plugin* /*plugin*/, uint32_t index, clap_param_info* info) {
    *info = {};
    info->id = index == 0 ? kGain : kOffset;
    info->flags = index == 0 ? CLAP_PARAM_IS_AUTOMATABLE : CLAP_PARAM_IS_STEPPED;
    std::snprintf(info->name, sizeof info->name, "%s", index == 0 ? "Gain" : "Offset");
    info->min_value = index == 0 ? -2.0 : 0.0;
    info->max_value = index == 0 ? 2.0 : 4.0;
    info->default_value = index == 0 ? 1.0 : 0.0;
    return index < 2;
}
bool CLAP_CALL ParamValue(const clap_plugin* plugin, clap_id id, double* value) {
    *value = id == kGain ? Of(plugin).gain : Of(plugin).offset;
    return true;
}
bool CLAP_CALL ValueToText(const clap_plugin* /*plugin*/, clap_id /*id*/, double value, char* out,
                           uint32_t size) {
    std::snprintf(out, size, "%.3f", value);
    return true;
}
bool CLAP_CALL TextToValue(const clap_plugin* /*plugin*/, clap_id id, const char* text, double* value) {
    char* end = nullptr;
    *value = id == kGain && std::strcmp(text, "double") == 0 ? 2.0 : std::strtod(text, &end);
    return end == nullptr || (end != text && *end == '\0');
}
void CLAP_CALL Flush(const clap_plugin* plugin, const clap_input_events* in,
                     const clap_output_events* /*out*/) {
    Apply(plugin, in);
}

const void* CLAP_CALL Extension(const clap_plugin* /*plugin*/, const char* id) {
    static const clap_plugin_audio_ports ports = {PortCount, Port};
    static const clap_plugin_params params = {ParamCount,  ParamInfo,   ParamValue,
                                              ValueToText, TextToValue, Flush};
    return std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0 ? static_cast<const void*>(&ports)
           : std::strcmp(id, CLAP_EXT_PARAMS) == 0    ? static_cast<const void*>(&params)
                                                      : nullptr;
}

uint32_t CLAP_CALL Count(const clap_plugin_factory* /*factory*/) {
    return 1;
}
const clap_plugin_descriptor* CLAP_CALL Descriptor(const clap_plugin_factory* /*factory*/, uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
const clap_plugin* CLAP_CALL Create(const clap_plugin_factory* /*factory*/, const clap_host* /*host*/,
                                    const char* id) {
    if (std::strcmp(id, kId) != 0) {
        return nullptr;
    }
    auto* instance = new Instance();
    instance->plugin = {&kDescriptor, instance, Ok,      Destroy, Activate,  Nothing,
                        Ok,           Nothing,  Nothing, Process, Extension, Nothing};
    return &instance->plugin;
}

bool CLAP_CALL Init(const char* /*path*/) {
    return true;
}
void CLAP_CALL Deinit() {}
const void* CLAP_CALL Factory(const char* id) {
    static const clap_plugin_factory factory = {Count, Descriptor, Create};
    return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &factory : nullptr;
}

} // namespace

namespace clap {

const clap_plugin_entry clap_entry = {CLAP_VERSION, Init, Deinit, Factory};

} // namespace clap
