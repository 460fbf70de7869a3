// The LV2 binding's plug-in: instance, ports, run and the host's transport from the atom port.
#include "formats/lv2/IPluginLV2.h"

#include "core/PluginFactory.h"

#include <lv2/atom/util.h>
#include <lv2/time/time.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace {

// The number an atom holds, for the numeric types hosts use in a time:Position.
bool ReadNumber(const LV2_Atom* atom, LV2_URID intType, LV2_URID longType, LV2_URID floatType,
                LV2_URID doubleType, double& out) {
    if (atom == nullptr || atom->type == 0) {
        return false;
    }
    const void* body = LV2_ATOM_BODY_CONST(atom);
    if (atom->type == floatType && atom->size >= sizeof(float)) {
        out = *static_cast<const float*>(body);
    } else if (atom->type == doubleType && atom->size >= sizeof(double)) {
        out = *static_cast<const double*>(body);
    } else if (atom->type == intType && atom->size >= sizeof(int32_t)) {
        out = *static_cast<const int32_t*>(body);
    } else if (atom->type == longType && atom->size >= sizeof(int64_t)) {
        out = static_cast<double>(*static_cast<const int64_t*>(body));
    } else {
        return false;
    }
    return std::isfinite(out);
}

} // namespace

IPluginLV2::IPluginLV2(std::unique_ptr<::IPluginBase> owned, const LV2_URID_Map* map)
    : plugin(std::move(owned)) {
    if (map != nullptr) {
        auto id = [map](const char* uri) { return map->map(map->handle, uri); };
        urids = {id(LV2_ATOM__Object),      id(LV2_ATOM__Blank),    id(LV2_ATOM__Sequence),
                 id(LV2_ATOM__Int),         id(LV2_ATOM__Long),     id(LV2_ATOM__Float),
                 id(LV2_ATOM__Double),      id(LV2_ATOM__Chunk),    id(kLv2StateKeyUri),
                 id(LV2_TIME__Position),    id(LV2_TIME__bar),      id(LV2_TIME__barBeat),
                 id(LV2_TIME__beatsPerBar), id(LV2_TIME__beatUnit), id(LV2_TIME__beatsPerMinute),
                 id(LV2_TIME__speed),       id(LV2_TIME__frame)};
    }
    for (float& value : lastSeen) {
        value = std::numeric_limits<float>::quiet_NaN();
    }
    LockGuard guard(plugin->Lock());
    plugin->ConnectAllChannels();
    plugin->FillUnusedPresets(plugin->PresetCount());
    plugin->SetHost(this);
}

LV2_Handle IPluginLV2::Instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                                   const char* /*bundlePath*/, const LV2_Feature* const* features) {
    const LV2_URID_Map* map = nullptr;
    for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
        if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) {
            map = static_cast<const LV2_URID_Map*>(features[i]->data);
        }
    }
    std::unique_ptr<::IPluginBase> plugin = CreatePlugin();
    if (!plugin) {
        return nullptr;
    }
    auto* created = new (std::nothrow) IPluginLV2(std::move(plugin), map);
    if (created != nullptr) {
        LockGuard guard(created->plugin->Lock());
        created->plugin->ApplySampleRate(sampleRate);
        // LV2 announces no block size; longer blocks go through the scratch in pieces.
        created->plugin->ApplyBlockSize(kDefaultScratchFrames);
    }
    return created;
}

void IPluginLV2::Cleanup(LV2_Handle instance) {
    delete static_cast<IPluginLV2*>(instance);
}

void IPluginLV2::Activate(LV2_Handle instance) {
    IPluginLV2* self = static_cast<IPluginLV2*>(instance);
    LockGuard guard(self->plugin->Lock());
    self->plugin->OnReset();
    self->plugin->OnActiveChange(true);
    self->active = true;
}

void IPluginLV2::Deactivate(LV2_Handle instance) {
    IPluginLV2* self = static_cast<IPluginLV2*>(instance);
    LockGuard guard(self->plugin->Lock());
    self->active = false;
    self->plugin->OnActiveChange(false);
    self->plugin->OnReset();
}

void IPluginLV2::ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
    IPluginLV2* self = static_cast<IPluginLV2*>(instance);
    if (port < kLv2ParameterPortCount) {
        self->controls[port] = static_cast<const float*>(data);
    } else if (port == kLv2AudioInPorts[0] || port == kLv2AudioInPorts[1]) {
        self->inputs[port - kLv2AudioInPorts[0]] = static_cast<const float*>(data);
    } else if (port == kLv2AudioOutPorts[0] || port == kLv2AudioOutPorts[1]) {
        self->outputs[port - kLv2AudioOutPorts[0]] = static_cast<float*>(data);
    } else if (port == kLv2TransportPort) {
        self->events = static_cast<const LV2_Atom_Sequence*>(data);
    }
}

int IPluginLV2::CollectPortChanges() {
    int count = 0;
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        const float* port = controls[i];
        const IParameter* parameter = plugin->ParameterAt(static_cast<int>(i));
        if (port == nullptr || parameter == nullptr || std::isnan(*port) || *port == lastSeen[i]) {
            continue;
        }
        lastSeen[i] = *port;
        changes[count++] = {0, static_cast<int32_t>(i), Lv2PlainValue(*parameter, *port), true};
    }
    return count;
}

void IPluginLV2::SeeParameterValues() {
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        if (const IParameter* parameter = plugin->ParameterAt(static_cast<int>(i))) {
            lastSeen[i] = static_cast<float>(parameter->UnitValue(parameter->Value()));
        }
    }
}

void IPluginLV2::Run(LV2_Handle instance, uint32_t sampleCount) {
    IPluginLV2* self = static_cast<IPluginLV2*>(instance);
    LockGuard guard(self->plugin->Lock());
    int changeCount = self->CollectPortChanges();
    const bool audio = self->inputs[0] != nullptr && self->inputs[1] != nullptr &&
                       self->outputs[0] != nullptr && self->outputs[1] != nullptr;
    const int frames = !audio ? 0 : static_cast<int>(sampleCount > INT32_MAX ? INT32_MAX : sampleCount);
    int start = 0;
    const Urids& id = self->urids;
    if (self->events != nullptr && id.position != 0 && self->events->atom.type == id.atomSequence) {
        LV2_ATOM_SEQUENCE_FOREACH(self->events, event) {
            const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
            if ((object->atom.type != id.atomObject && object->atom.type != id.atomBlank) ||
                object->body.otype != id.position) {
                continue;
            }
            const int64_t at = event->time.frames;
            const int end = at < start ? start : (at > frames ? frames : static_cast<int>(at));
            self->ProcessPiece(start, end, changeCount);
            changeCount = 0;
            start = end;
            self->ReadPosition(object);
        }
    }
    self->ProcessPiece(start, frames, changeCount);
}

void IPluginLV2::ProcessPiece(int start, int end, int changeCount) {
    if (end == start && changeCount == 0) {
        return;
    }
    // The core reads the inputs before it writes the outputs, so a host may hand over one buffer
    // for both.
    float* in[2] = {const_cast<float*>(inputs[0]) + start, const_cast<float*>(inputs[1]) + start};
    float* out[2] = {outputs[0] + start, outputs[1] + start};
    if (end == start) {
        plugin->ProcessHostBlock(static_cast<float**>(nullptr), nullptr, 0, changes, changeCount);
        return;
    }
    plugin->ProcessHostBlock(in, out, end - start, changes, changeCount);
    const double elapsed = end - start;
    if (transport.known && transport.beatsPerMinute > 0.0 && plugin->SampleRate() > 0.0) {
        transport.beats += elapsed * transport.speed * transport.beatsPerMinute / 60.0 / plugin->SampleRate();
    }
    transport.frame += elapsed * transport.speed;
}

void IPluginLV2::ReadPosition(const LV2_Atom_Object* position) {
    const LV2_Atom* bar = nullptr;
    const LV2_Atom* barBeat = nullptr;
    const LV2_Atom* beatsPerBar = nullptr;
    const LV2_Atom* beatUnit = nullptr;
    const LV2_Atom* beatsPerMinute = nullptr;
    const LV2_Atom* speed = nullptr;
    const LV2_Atom* frame = nullptr;
    const Urids& id = urids;
    lv2_atom_object_get(position, id.bar, &bar, id.barBeat, &barBeat, id.beatsPerBar, &beatsPerBar,
                        id.beatUnit, &beatUnit, id.beatsPerMinute, &beatsPerMinute, id.speed, &speed,
                        id.frame, &frame, 0);
    auto read = [&id](const LV2_Atom* atom, double& out) {
        return ReadNumber(atom, id.atomInt, id.atomLong, id.atomFloat, id.atomDouble, out);
    };
    Transport& now = transport;
    double value = 0.0;
    if (read(beatsPerBar, value) && value > 0.0) {
        now.beatsPerBar = value;
    }
    if (read(beatUnit, value) && value > 0.0) {
        now.beatUnit = value;
    }
    if (read(beatsPerMinute, value) && value > 0.0) {
        now.beatsPerMinute = value;
    }
    read(speed, now.speed);
    read(frame, now.frame);
    double bars = 0.0;
    double beatInBar = 0.0;
    const bool hasBar = read(bar, bars);
    const bool hasBarBeat = read(barBeat, beatInBar);
    if (hasBar || hasBarBeat) {
        const double barsBefore = hasBar ? bars : std::floor(now.beats / now.beatsPerBar);
        now.beats = barsBefore * now.beatsPerBar + (hasBarBeat ? beatInBar : 0.0);
    }
    now.known = true;
}

int IPluginLV2::SamplePosition() {
    const double samples = transport.frame + plugin->BlockOffset() * transport.speed;
    return transport.known && samples > 0.0 && samples < INT32_MAX ? static_cast<int>(samples + 0.5) : 0;
}

double IPluginLV2::HostTempo() {
    // Beats of the time signature's unit per minute, as quarter notes.
    return transport.known ? transport.beatsPerMinute * 4.0 / transport.beatUnit : 0.0;
}

void IPluginLV2::HostTimeSignature(int& beatsPerBar, int& beatUnit) {
    if (transport.known) {
        beatsPerBar = static_cast<int>(transport.beatsPerBar + 0.5);
        beatUnit = static_cast<int>(transport.beatUnit + 0.5);
    }
}

void IPluginLV2::HostTime(HostTimeInfo& info) {
    if (!transport.known) {
        return;
    }
    const double sampleRate = plugin->SampleRate();
    const double beatsPerFrame =
        sampleRate > 0.0 ? transport.speed * transport.beatsPerMinute / 60.0 / sampleRate : 0.0;
    const double beats = transport.beats + plugin->BlockOffset() * beatsPerFrame;
    const double quarters = 4.0 / transport.beatUnit;
    info.samplePos = SamplePosition();
    if (beats >= 0.0) {
        info.ppqPos = beats * quarters;
        info.barStart = std::floor(beats / transport.beatsPerBar) * transport.beatsPerBar * quarters;
    }
    const double tempo = HostTempo();
    info.tempo = tempo > 0.0 ? tempo : info.tempo;
    HostTimeSignature(info.beatsPerBar, info.beatUnit);
    info.playing = transport.speed > 0.0;
}

const void* IPluginLV2::ExtensionData(const char* uri) {
    static const LV2_State_Interface state = {SaveState, RestoreState};
    return uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}
