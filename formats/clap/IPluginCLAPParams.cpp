// The CLAP binding's parameters: the effect's ten by index, in their own units where their display
// is a multiple of the value, and bypass; the editor's changes going out as events.
#include "formats/clap/IPluginCLAP.h"

#include "core/ParameterText.h"
#include "core/TextCopy.h"

#include <cmath>
#include <cstring>

namespace {

constexpr const char* kBypassTexts[] = {"off", "on"};

} // namespace

double IPluginCLAP::PlainValue(const IParameter& parameter, double value) {
    return parameter.StepCount() > 0 ? std::trunc(value) : value / parameter.UnitScale();
}

uint32_t CLAP_CALL IPluginCLAP::ParamCount(const clap::clap_plugin* plugin) {
    return static_cast<uint32_t>(Of(plugin)->plugin->ParameterCount() + 1);
}

bool CLAP_CALL IPluginCLAP::ParamInfo(const clap::clap_plugin* plugin, uint32_t index,
                                      clap::clap_param_info* info) {
    IPluginCLAP* self = Of(plugin);
    const auto parameters = static_cast<uint32_t>(self->plugin->ParameterCount());
    if (info == nullptr || index > parameters) {
        return false;
    }
    std::memset(info, 0, sizeof *info);
    if (index == parameters) {
        info->id = kClapBypassId;
        info->flags =
            clap::CLAP_PARAM_IS_BYPASS | clap::CLAP_PARAM_IS_STEPPED | clap::CLAP_PARAM_IS_AUTOMATABLE;
        CopyText(info->name, "Bypass", sizeof info->name);
        info->max_value = 1.0;
        return true;
    }
    LockGuard guard(self->plugin->Lock());
    const IParameter& parameter = *self->plugin->ParameterAt(static_cast<int>(index));
    info->id = index;
    info->flags = clap::CLAP_PARAM_IS_AUTOMATABLE;
    if (parameter.StepCount() > 0) {
        info->flags |= clap::CLAP_PARAM_IS_STEPPED | clap::CLAP_PARAM_IS_ENUM;
    }
    CopyText(info->name, parameter.Name(), sizeof info->name);
    info->min_value = parameter.UnitValue(parameter.Min());
    info->max_value = parameter.UnitValue(parameter.Max());
    info->default_value = parameter.UnitValue(parameter.DefaultValue());
    return true;
}

bool CLAP_CALL IPluginCLAP::ParamValue(const clap::clap_plugin* plugin, clap::clap_id id, double* value) {
    IPluginCLAP* self = Of(plugin);
    if (value == nullptr) {
        return false;
    }
    LockGuard guard(self->plugin->Lock());
    if (id == kClapBypassId) {
        *value = self->plugin->Bypassed() ? 1.0 : 0.0;
        return true;
    }
    const IParameter* parameter = self->plugin->ParameterAt(static_cast<int>(id));
    if (parameter == nullptr) {
        return false;
    }
    *value = parameter->UnitValue(parameter->Value());
    return true;
}

bool CLAP_CALL IPluginCLAP::ValueToText(const clap::clap_plugin* plugin, clap::clap_id id, double value,
                                        char* out, uint32_t capacity) {
    IPluginCLAP* self = Of(plugin);
    if (out == nullptr || capacity == 0 || !std::isfinite(value)) {
        return false;
    }
    char text[kParameterTextCapacity] = {};
    LockGuard guard(self->plugin->Lock());
    if (id == kClapBypassId) {
        CopyText(text, kBypassTexts[value >= 0.5 ? 1 : 0], sizeof text);
    } else if (const IParameter* parameter = self->plugin->ParameterAt(static_cast<int>(id))) {
        double plain = PlainValue(*parameter, value);
        plain = plain < parameter->Min() ? parameter->Min()
                                         : (plain > parameter->Max() ? parameter->Max() : plain);
        parameter->FormatDisplay(plain, false, text, true);
    } else {
        return false;
    }
    CopyText(out, text, capacity);
    return true;
}

bool CLAP_CALL IPluginCLAP::TextToValue(const clap::clap_plugin* plugin, clap::clap_id id, const char* text,
                                        double* value) {
    IPluginCLAP* self = Of(plugin);
    if (text == nullptr || value == nullptr) {
        return false;
    }
    LockGuard guard(self->plugin->Lock());
    if (id == kClapBypassId) {
        for (int i = 0; i < 2; ++i) {
            if (SameTextAnyCase(text, kBypassTexts[i])) {
                *value = i;
                return true;
            }
        }
        return false;
    }
    const IParameter* parameter = self->plugin->ParameterAt(static_cast<int>(id));
    double normalized = 0.0;
    if (parameter == nullptr || !ParameterValueFromText(*parameter, text, normalized)) {
        return false;
    }
    *value = parameter->UnitValue(parameter->ValueFromNormalized(normalized));
    return true;
}

void CLAP_CALL IPluginCLAP::Flush(const clap::clap_plugin* plugin, const clap::clap_input_events* in,
                                  const clap::clap_output_events* out) {
    IPluginCLAP* self = Of(plugin);
    LockGuard guard(self->plugin->Lock());
    const int count = self->CollectChanges(in, 0);
    self->plugin->ProcessHostBlock(static_cast<float**>(nullptr), nullptr, 0, self->changes, count);
    self->transportCount = 0;
    self->SendEditorEvents(out);
}

void IPluginCLAP::QueueEditorEvent(uint16_t type, int index, double plain) {
    const uint32_t written = editorWritten.load(std::memory_order_relaxed);
    if (written - editorRead.load(std::memory_order_acquire) >= kClapEditorEventCapacity) {
        return; // the host has not processed for a long while: the oldest waiting events stand
    }
    const IParameter* parameter = plugin->ParameterAt(index);
    editorEvents[written % kClapEditorEventCapacity] = {
        type, static_cast<clap::clap_id>(index), parameter != nullptr ? parameter->UnitValue(plain) : plain};
    editorWritten.store(written + 1, std::memory_order_release);
    if (!processing && hostParams != nullptr && hostParams->request_flush != nullptr) {
        hostParams->request_flush(host);
    }
}

void IPluginCLAP::SendEditorEvents(const clap::clap_output_events* out) {
    const uint32_t written = editorWritten.load(std::memory_order_acquire);
    uint32_t read = editorRead.load(std::memory_order_relaxed);
    for (; read != written; ++read) {
        const EditorEvent& queued = editorEvents[read % kClapEditorEventCapacity];
        if (out == nullptr || out->try_push == nullptr) {
            continue;
        }
        if (queued.type == clap::CLAP_EVENT_PARAM_VALUE) {
            clap::clap_event_param_value event = {};
            event.header = {sizeof event, 0, clap::CLAP_CORE_EVENT_SPACE_ID, queued.type, 0};
            event.param_id = queued.id;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = queued.value;
            out->try_push(out, &event.header);
        } else {
            clap::clap_event_param_gesture event = {};
            event.header = {sizeof event, 0, clap::CLAP_CORE_EVENT_SPACE_ID, queued.type, 0};
            event.param_id = queued.id;
            out->try_push(out, &event.header);
        }
    }
    editorRead.store(read, std::memory_order_release);
}

void IPluginCLAP::BeginParameterGesture(int index) {
    QueueEditorEvent(clap::CLAP_EVENT_PARAM_GESTURE_BEGIN, index, 0.0);
}

void IPluginCLAP::EndParameterGesture(int index) {
    QueueEditorEvent(clap::CLAP_EVENT_PARAM_GESTURE_END, index, 0.0);
}

void IPluginCLAP::AutomateParameter(int index, double normalized) {
    if (const IParameter* parameter = plugin->ParameterAt(index)) {
        QueueEditorEvent(clap::CLAP_EVENT_PARAM_VALUE, index, parameter->ValueFromNormalized(normalized));
    }
}
