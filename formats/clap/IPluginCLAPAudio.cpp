// The CLAP binding's audio side: the host's events at their offsets, the transport, the blocks.
#include "formats/clap/IPluginCLAP.h"

#include <cmath>

namespace {

using clap::clap_event_transport;

bool Stereo(const clap::clap_audio_buffer* buffers, uint32_t count, bool doubles) {
    if (buffers == nullptr || count < 1 || buffers->channel_count < 2) {
        return false;
    }
    return doubles
               ? buffers->data64[0] != nullptr && buffers->data64[1] != nullptr
               : buffers->data32 != nullptr && buffers->data32[0] != nullptr && buffers->data32[1] != nullptr;
}

} // namespace

int IPluginCLAP::CollectChanges(const clap::clap_input_events* in, uint32_t frames) {
    int count = 0;
    const uint32_t events = in != nullptr && in->size != nullptr ? in->size(in) : 0;
    for (uint32_t e = 0; e < events; ++e) {
        const clap::clap_event_header* header = in->get(in, e);
        if (header == nullptr || header->space_id != clap::CLAP_CORE_EVENT_SPACE_ID) {
            continue;
        }
        if (header->type == clap::CLAP_EVENT_TRANSPORT) {
            // In force from its frame on: the block is cut there.
            if (transportCount < kClapMaxTransports) {
                transports[transportCount] = reinterpret_cast<const clap_event_transport*>(header);
                transportFrames[transportCount++] = header->time < frames ? header->time : frames;
            }
            if (header->time > 0 && header->time < frames && count < kClapMaxChanges) {
                changes[count++] = {static_cast<int32_t>(header->time), kBlockCut, 0.0, false};
            }
            continue;
        }
        if (header->type != clap::CLAP_EVENT_PARAM_VALUE) {
            continue;
        }
        const auto* event = reinterpret_cast<const clap::clap_event_param_value*>(header);
        ParameterChange change;
        change.offset = static_cast<int32_t>(header->time < frames ? header->time : frames);
        change.value = event->value;
        if (event->param_id == kClapBypassId) {
            change.index = kBypassChange;
        } else if (const IParameter* parameter = plugin->ParameterAt(static_cast<int>(event->param_id))) {
            change.index = static_cast<int32_t>(event->param_id);
            change.plain = true;
            change.value = PlainValue(*parameter, event->value);
        } else {
            continue;
        }
        if (!std::isfinite(change.value)) {
            continue;
        }
        if (count == kClapMaxChanges) {
            // A full list: the rest act at the end of the block.
            change.offset = static_cast<int32_t>(frames);
            changes[count - 1] = change;
            continue;
        }
        changes[count++] = change;
    }
    return count;
}

clap::clap_process_status CLAP_CALL IPluginCLAP::Process(const clap::clap_plugin* plugin,
                                                         const clap::clap_process* process) {
    IPluginCLAP* self = Of(plugin);
    if (process == nullptr) {
        return clap::CLAP_PROCESS_ERROR;
    }
    ::IPluginBase& core = *self->plugin;
    LockGuard guard(core.Lock());
    uint32_t frames = process->frames_count;
    frames = frames > INT32_MAX ? INT32_MAX : frames;
    self->transportCount = process->transport != nullptr ? 1 : 0;
    self->transports[0] = process->transport;
    self->transportFrames[0] = 0;
    const int count = self->CollectChanges(process->in_events, frames);
    clap::clap_audio_buffer* out = process->audio_outputs;
    const bool doubles = out != nullptr && process->audio_outputs_count > 0 && out->data32 == nullptr &&
                         out->data64 != nullptr;
    const bool hasInput = Stereo(process->audio_inputs, process->audio_inputs_count, doubles);
    if (out == nullptr || !Stereo(out, process->audio_outputs_count, doubles)) {
        out = nullptr;
        frames = 0;
    }
    for (int c = 0; c < core.InputCount() && !hasInput; ++c) {
        core.InputChannelAt(c)->connected = false;
        core.InputChannelAt(c)->Silence();
    }
    const auto n = static_cast<int>(frames);
    if (doubles) {
        core.ProcessHostBlock(hasInput ? process->audio_inputs->data64 : nullptr,
                              n > 0 ? out->data64 : nullptr, n, self->changes, count);
    } else {
        core.ProcessHostBlock(hasInput ? process->audio_inputs->data32 : nullptr,
                              n > 0 ? out->data32 : nullptr, n, self->changes, count);
    }
    for (int c = 0; c < core.InputCount() && !hasInput; ++c) {
        core.InputChannelAt(c)->connected = true;
    }
    if (out != nullptr) {
        out->constant_mask = 0;
    }
    self->transportCount = 0;
    self->SendEditorEvents(process->out_events);
    return clap::CLAP_PROCESS_CONTINUE;
}

const clap_event_transport* IPluginCLAP::Transport(int& from) const {
    const auto offset = static_cast<uint32_t>(plugin->BlockOffset());
    const clap_event_transport* inForce = nullptr;
    from = 0;
    for (int i = 0; i < transportCount; ++i) {
        if (transports[i] != nullptr && transportFrames[i] <= offset) {
            inForce = transports[i];
            from = static_cast<int>(transportFrames[i]);
        }
    }
    return inForce;
}

double IPluginCLAP::PieceBeats() const {
    int from = 0;
    const clap_event_transport* transport = Transport(from);
    const int offset = plugin->BlockOffset() - from;
    if (transport == nullptr || offset == 0 || (transport->flags & clap::CLAP_TRANSPORT_HAS_TEMPO) == 0) {
        return 0.0;
    }
    return offset / plugin->SampleRate() * transport->tempo / 60.0;
}

int IPluginCLAP::SamplePosition() {
    int from = 0;
    const clap_event_transport* transport = Transport(from);
    if (transport == nullptr || (transport->flags & clap::CLAP_TRANSPORT_HAS_SECONDS_TIMELINE) == 0) {
        return 0;
    }
    const double samples =
        static_cast<double>(transport->song_pos_seconds) / clap::CLAP_SECTIME_FACTOR * plugin->SampleRate() +
        plugin->BlockOffset() - from;
    return samples > 0.0 && samples < INT32_MAX ? static_cast<int>(samples + 0.5) : 0;
}

double IPluginCLAP::HostTempo() {
    int from = 0;
    const clap_event_transport* transport = Transport(from);
    const bool valid = transport != nullptr && (transport->flags & clap::CLAP_TRANSPORT_HAS_TEMPO) != 0;
    return valid && std::isfinite(transport->tempo) && transport->tempo > 0.0 ? transport->tempo : 0.0;
}

void IPluginCLAP::HostTimeSignature(int& beatsPerBar, int& beatUnit) {
    int from = 0;
    const clap_event_transport* transport = Transport(from);
    if (transport != nullptr && (transport->flags & clap::CLAP_TRANSPORT_HAS_TIME_SIGNATURE) != 0 &&
        transport->tsig_num > 0 && transport->tsig_denom > 0) {
        beatsPerBar = transport->tsig_num;
        beatUnit = transport->tsig_denom;
    }
}

void IPluginCLAP::HostTime(HostTimeInfo& info) {
    int from = 0;
    const clap_event_transport* transport = Transport(from);
    if (transport == nullptr) {
        return;
    }
    const uint32_t flags = transport->flags;
    info.samplePos = SamplePosition();
    if ((flags & clap::CLAP_TRANSPORT_HAS_BEATS_TIMELINE) != 0) {
        const double beats = static_cast<double>(transport->song_pos_beats) / clap::CLAP_BEATTIME_FACTOR;
        const double ppq = beats + PieceBeats();
        info.ppqPos = ppq >= 0.0 ? ppq : info.ppqPos;
        const double barStart = static_cast<double>(transport->bar_start) / clap::CLAP_BEATTIME_FACTOR;
        info.barStart = barStart >= 0.0 ? barStart : info.barStart;
        if ((flags & clap::CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0) {
            info.loopStart = static_cast<double>(transport->loop_start_beats) / clap::CLAP_BEATTIME_FACTOR;
            info.loopEnd = static_cast<double>(transport->loop_end_beats) / clap::CLAP_BEATTIME_FACTOR;
        }
    }
    const double tempo = HostTempo();
    info.tempo = tempo > 0.0 ? tempo : info.tempo;
    HostTimeSignature(info.beatsPerBar, info.beatUnit);
    info.playing = (flags & clap::CLAP_TRANSPORT_IS_PLAYING) != 0;
    info.looping = (flags & clap::CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0;
}
