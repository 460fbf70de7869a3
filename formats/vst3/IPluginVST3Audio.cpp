// The VST 3 binding's audio side: the setup, the processing states and the blocks.
#include "formats/vst3/IPluginVST3.h"

#include <cmath>

namespace {

using vst3::ProcessContext;

// Whether a bus brings two channels of the block's sample size.
bool Stereo(const vst3::AudioBusBuffers* bus, int count, bool doubles) {
    if (bus == nullptr || count < 1 || bus->numChannels < 2) {
        return false;
    }
    return doubles ? bus->channelBuffers64 != nullptr && bus->channelBuffers64[0] != nullptr &&
                         bus->channelBuffers64[1] != nullptr
                   : bus->channelBuffers32 != nullptr && bus->channelBuffers32[0] != nullptr &&
                         bus->channelBuffers32[1] != nullptr;
}

// The silence flags of a bus's first two channels: bit c set when channel c holds only zeros.
template <typename Sample>
vst3::uint64 SilenceFlags(Sample* const* channels, int frames) {
    vst3::uint64 flags = 0;
    for (int c = 0; c < 2; ++c) {
        bool silent = true;
        for (int i = 0; i < frames && silent; ++i) {
            silent = channels[c][i] == 0;
        }
        flags |= silent ? vst3::uint64{1} << c : 0;
    }
    return flags;
}

} // namespace

vst3::tresult VST3_CALL IPluginVST3::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                                        vst3::SpeakerArrangement* outputs,
                                                        vst3::int32 numOuts) {
    const bool stereo = numIns == 1 && numOuts == 1 && inputs != nullptr && outputs != nullptr &&
                        inputs[0] == vst3::SpeakerArr::kStereo && outputs[0] == vst3::SpeakerArr::kStereo;
    return stereo && !active ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult VST3_CALL IPluginVST3::getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                                       vst3::SpeakerArrangement& arr) {
    if (index != 0 || (dir != vst3::kInput && dir != vst3::kOutput)) {
        return vst3::kInvalidArgument;
    }
    arr = vst3::SpeakerArr::kStereo;
    return vst3::kResultTrue;
}

vst3::tresult VST3_CALL IPluginVST3::canProcessSampleSize(vst3::int32 symbolicSampleSize) {
    return symbolicSampleSize == vst3::kSample32 || symbolicSampleSize == vst3::kSample64
               ? vst3::kResultTrue
               : vst3::kResultFalse;
}

vst3::uint32 VST3_CALL IPluginVST3::getLatencySamples() {
    return static_cast<vst3::uint32>(plugin->Latency());
}

vst3::tresult VST3_CALL IPluginVST3::setupProcessing(vst3::ProcessSetup& newSetup) {
    const bool usable =
        (newSetup.symbolicSampleSize == vst3::kSample32 || newSetup.symbolicSampleSize == vst3::kSample64) &&
        std::isfinite(newSetup.sampleRate) && newSetup.sampleRate > 0.0;
    if (!initialized || active || !usable) {
        return vst3::kResultFalse;
    }
    LockGuard guard(plugin->Lock());
    setup = newSetup;
    plugin->ApplySampleRate(setup.sampleRate);
    plugin->ApplyBlockSize(setup.maxSamplesPerBlock);
    plugin->OnReset();
    setUp = true;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::setProcessing(vst3::TBool state) {
    if (!active) {
        return vst3::kResultFalse;
    }
    processing = state != 0;
    return vst3::kResultOk;
}

vst3::tresult VST3_CALL IPluginVST3::process(vst3::ProcessData& data) {
    if (!processing) {
        return vst3::kNotInitialized;
    }
    const bool doubles = data.symbolicSampleSize == vst3::kSample64;
    LockGuard guard(plugin->Lock());
    int frames = data.numSamples > 0 ? data.numSamples : 0;
    const int count = CollectChanges(data.inputParameterChanges, frames);
    const bool hasInput = Stereo(data.inputs, data.numInputs, doubles);
    if (!Stereo(data.outputs, data.numOutputs, doubles)) {
        frames = 0; // nothing to write: the changes alone
    }
    // Without an input the effect hears silence.
    for (int c = 0; c < plugin->InputCount() && !hasInput; ++c) {
        plugin->InputChannelAt(c)->connected = false;
        plugin->InputChannelAt(c)->Silence();
    }
    context = data.processContext;
    if (doubles) {
        plugin->ProcessHostBlock(hasInput ? data.inputs->channelBuffers64 : nullptr,
                                 frames > 0 ? data.outputs->channelBuffers64 : nullptr, frames, changes,
                                 count);
    } else {
        plugin->ProcessHostBlock(hasInput ? data.inputs->channelBuffers32 : nullptr,
                                 frames > 0 ? data.outputs->channelBuffers32 : nullptr, frames, changes,
                                 count);
    }
    context = nullptr;
    for (int c = 0; c < plugin->InputCount() && !hasInput; ++c) {
        plugin->InputChannelAt(c)->connected = true;
    }
    if (valuesToHost.exchange(false)) {
        ReportValues(data.outputParameterChanges);
    }
    if (frames > 0) {
        data.outputs->silenceFlags = doubles ? SilenceFlags(data.outputs->channelBuffers64, frames)
                                             : SilenceFlags(data.outputs->channelBuffers32, frames);
    }
    return vst3::kResultOk;
}

void IPluginVST3::ReportValues(vst3::IParameterChanges* out) {
    for (int i = 0; out != nullptr && i < plugin->ParameterCount(); ++i) {
        const auto id = static_cast<vst3::ParamID>(i);
        vst3::int32 index = 0;
        vst3::IParamValueQueue* queue = out->addParameterData(id, index);
        if (queue != nullptr) {
            queue->addPoint(0, plugin->ParameterAt(i)->Normalized(), index);
        }
    }
}

int IPluginVST3::CollectChanges(vst3::IParameterChanges* queues, int frames) {
    int count = 0;
    const int parameters = plugin->ParameterCount();
    const int queueCount = queues != nullptr ? queues->getParameterCount() : 0;
    for (int q = 0; q < queueCount; ++q) {
        vst3::IParamValueQueue* queue = queues->getParameterData(q);
        if (queue == nullptr) {
            continue;
        }
        const vst3::ParamID id = queue->getParameterId();
        int index;
        if (id < static_cast<vst3::ParamID>(parameters)) {
            index = static_cast<int>(id);
        } else if (id == kVst3BypassId) {
            index = kBypassChange;
        } else if (id == kVst3ProgramId) {
            index = kProgramChange;
        } else {
            continue;
        }
        const int points = queue->getPointCount();
        // A queue that does not fit point by point acts at its last point.
        const int first = count + points <= kVst3MaxChanges ? 0 : points - 1;
        for (int p = first; p < points && count < kVst3MaxChanges; ++p) {
            vst3::int32 offset = 0;
            vst3::ParamValue value = 0.0;
            if (queue->getPoint(p, offset, value) != vst3::kResultOk || !std::isfinite(value)) {
                continue;
            }
            value = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
            if (index == kProgramChange) {
                // The list's steps: program i at i / (count - 1).
                const int programs = plugin->PresetCount();
                value = std::floor(value * programs);
                value = value < programs ? value : programs - 1;
                programChanged.store(true);
            }
            ParameterChange change;
            change.offset = offset < 0 ? 0 : (offset > frames ? frames : offset);
            change.index = index;
            change.value = value;
            // Each queue's points rise; keep the whole list in rising order, ties in arrival.
            int at = count++;
            for (; at > 0 && changes[at - 1].offset > change.offset; --at) {
                changes[at] = changes[at - 1];
            }
            changes[at] = change;
        }
    }
    return count;
}

vst3::uint32 VST3_CALL IPluginVST3::getTailSamples() {
    LockGuard guard(plugin->Lock());
    const int32_t tail = plugin->TailFrames();
    return tail == kInfiniteTail ? vst3::kInfiniteTail : static_cast<vst3::uint32>(tail < 0 ? 0 : tail);
}

vst3::uint32 VST3_CALL IPluginVST3::getProcessContextRequirements() {
    using Flags = vst3::IProcessContextRequirements;
    return Flags::kNeedTempo | Flags::kNeedProjectTimeMusic | Flags::kNeedTransportState |
           Flags::kNeedTimeSignature | Flags::kNeedBarPositionMusic | Flags::kNeedCycleMusic;
}

double IPluginVST3::PieceQuarterNotes() const {
    const int offset = plugin->BlockOffset();
    if (offset == 0 || (context->state & ProcessContext::kTempoValid) == 0 || context->sampleRate <= 0.0) {
        return 0.0;
    }
    return offset / context->sampleRate * context->tempo / 60.0;
}

int IPluginVST3::SamplePosition() {
    if (context == nullptr || context->projectTimeSamples + plugin->BlockOffset() < 0) {
        return 0;
    }
    const auto position = context->projectTimeSamples + plugin->BlockOffset();
    return position < INT32_MAX ? static_cast<int>(position) : INT32_MAX;
}

double IPluginVST3::HostTempo() {
    const bool valid = context != nullptr && (context->state & ProcessContext::kTempoValid) != 0;
    return valid && std::isfinite(context->tempo) && context->tempo > 0.0 ? context->tempo : 0.0;
}

void IPluginVST3::HostTimeSignature(int& beatsPerBar, int& beatUnit) {
    if (context != nullptr && (context->state & ProcessContext::kTimeSigValid) != 0 &&
        context->timeSigNumerator > 0 && context->timeSigDenominator > 0) {
        beatsPerBar = context->timeSigNumerator;
        beatUnit = context->timeSigDenominator;
    }
}

void IPluginVST3::HostTime(HostTimeInfo& info) {
    if (context == nullptr) {
        return;
    }
    const uint32_t state = context->state;
    const double advance = PieceQuarterNotes();
    info.samplePos = static_cast<double>(context->projectTimeSamples + plugin->BlockOffset());
    if ((state & ProcessContext::kProjectTimeMusicValid) != 0 && std::isfinite(context->projectTimeMusic)) {
        const double ppq = context->projectTimeMusic + advance;
        info.ppqPos = ppq >= 0.0 ? ppq : info.ppqPos;
    }
    const double tempo = HostTempo();
    info.tempo = tempo > 0.0 ? tempo : info.tempo;
    if ((state & ProcessContext::kBarPositionValid) != 0 && std::isfinite(context->barPositionMusic) &&
        context->barPositionMusic >= 0.0) {
        info.barStart = context->barPositionMusic;
    }
    if ((state & ProcessContext::kCycleValid) != 0 && context->cycleStartMusic >= 0.0 &&
        context->cycleEndMusic >= 0.0) {
        info.loopStart = context->cycleStartMusic;
        info.loopEnd = context->cycleEndMusic;
    }
    HostTimeSignature(info.beatsPerBar, info.beatUnit);
    info.playing = (state & ProcessContext::kPlaying) != 0;
    info.looping = (state & ProcessContext::kCycleActive) != 0;
}
