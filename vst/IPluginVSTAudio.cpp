#include "vst/IPluginVST.h"

#include "graphics/IGraphics.h"

#include <cmath>
#include <cstring>

namespace {

IPluginVST* InstanceOf(AEffect* effect) {
    return effect != nullptr ? static_cast<IPluginVST*>(effect->object) : nullptr;
}

// Plain loops over distinct buffers, so the compiler can vectorise them.
void FloatToDouble(const float* __restrict in, double* __restrict out, int frames) {
    for (int i = 0; i < frames; ++i) {
        out[i] = static_cast<double>(in[i]);
    }
}

void DoubleToFloat(const double* __restrict in, float* __restrict out, int frames) {
    for (int i = 0; i < frames; ++i) {
        out[i] = static_cast<float>(in[i]);
    }
}

void AddDoubleToFloat(const double* __restrict in, float* __restrict out, int frames) {
    for (int i = 0; i < frames; ++i) {
        out[i] += static_cast<float>(in[i]);
    }
}

} // namespace

void VSTCALLBACK IPluginVST::VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    if (IPluginVST* plugin = InstanceOf(effect)) {
        LockGuard guard(plugin->pluginLock);
        plugin->ProcessSingle(inputs, outputs, frames, true);
    }
}

void VSTCALLBACK IPluginVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                 VstInt32 frames) {
    if (IPluginVST* plugin = InstanceOf(effect)) {
        LockGuard guard(plugin->pluginLock);
        plugin->ProcessSingle(inputs, outputs, frames, false);
    }
}

void VSTCALLBACK IPluginVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                       VstInt32 frames) {
    if (IPluginVST* plugin = InstanceOf(effect)) {
        LockGuard guard(plugin->pluginLock);
        plugin->ProcessDouble(inputs, outputs, frames);
    }
}

void VSTCALLBACK IPluginVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
    if (IPluginVST* plugin = InstanceOf(effect)) {
        LockGuard guard(plugin->pluginLock);
        plugin->SetParameterFromHost(index, value);
    }
}

float VSTCALLBACK IPluginVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
    IPluginVST* plugin = InstanceOf(effect);
    if (plugin == nullptr) {
        return 0.0f;
    }
    LockGuard guard(plugin->pluginLock);
    const IParameter* parameter = plugin->ParameterAt(index);
    return parameter != nullptr ? static_cast<float>(parameter->Normalized()) : 0.0f;
}

void IPluginVST::SetParameterFromHost(int index, float value) {
    IParameter* parameter = ParameterAt(index);
    if (parameter == nullptr || std::isnan(value)) {
        return;
    }
    const double normalized = value < 0.0f ? 0.0 : (value > 1.0f ? 1.0 : static_cast<double>(value));
    if (Editor() != nullptr) {
        Editor()->SetParameterFromHost(index, normalized, true);
    }
    parameter->SetFromNormalized(normalized);
    OnParameterChange(index);
}

template <typename Sample>
void IPluginVST::SilenceHostOutputs(Sample** outputs, int frames) {
    for (int c = 0, next = 0; c < OutputCount(); ++c) {
        if (OutputChannelAt(c)->connected) {
            std::memset(outputs[next++], 0, static_cast<size_t>(frames) * sizeof(Sample));
        }
    }
}

// The scratch buffers hold scratchFrames samples: a longer block is processed in pieces of
// that size, so nothing is allocated and nothing overruns.
void IPluginVST::ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate) {
    if (acceptsMidi) {
        CallHost(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
    }
    frames = frames > 0 ? frames : 0;
    const int inputCount = InputCount();
    const int outputCount = OutputCount();
    const int piece = inputCount + outputCount > 0 ? scratchFrames : frames;
    if (frames > 0 && piece <= 0) {
        // The scratch could not be allocated: a replacing call leaves silence rather than stale
        // samples.
        if (!accumulate) {
            SilenceHostOutputs(outputs, frames);
        }
        return;
    }
    int done = 0;
    do {
        const int n = frames - done < piece ? frames - done : piece;
        for (int c = 0, next = 0; c < inputCount; ++c) {
            InputChannel& channel = *InputChannelAt(c);
            if (channel.connected) {
                FloatToDouble(inputs[next++] + done, channel.Scratch(), n);
                *channel.dataSlot = channel.Scratch();
            }
        }
        for (int c = 0, next = 0; c < outputCount; ++c) {
            OutputChannel& channel = *OutputChannelAt(c);
            if (channel.connected) {
                *channel.dataSlot = channel.Scratch();
                channel.hostOutput = outputs[next++] + done;
            }
        }
        ProcessBlock(inputData.get(), outputData.get(), n);
        for (int c = 0; c < outputCount; ++c) {
            OutputChannel& channel = *OutputChannelAt(c);
            if (channel.connected) {
                if (accumulate) {
                    AddDoubleToFloat(channel.Scratch(), channel.hostOutput, n);
                } else {
                    DoubleToFloat(channel.Scratch(), channel.hostOutput, n);
                }
            }
        }
        done += n;
    } while (done < frames);
}

// The host's buffers are used directly. Only a disconnected channel works in its scratch, and
// then a longer block than the scratch holds is processed in pieces.
void IPluginVST::ProcessDouble(double** inputs, double** outputs, int frames) {
    if (acceptsMidi) {
        CallHost(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
    }
    frames = frames > 0 ? frames : 0;
    const int inputCount = InputCount();
    const int outputCount = OutputCount();
    bool usesScratch = false;
    for (int c = 0; c < inputCount; ++c) {
        usesScratch = usesScratch || !InputChannelAt(c)->connected;
    }
    for (int c = 0; c < outputCount; ++c) {
        usesScratch = usesScratch || !OutputChannelAt(c)->connected;
    }
    const int piece = usesScratch ? scratchFrames : frames;
    if (frames > 0 && piece <= 0) {
        SilenceHostOutputs(outputs, frames);
        return;
    }
    int done = 0;
    do {
        const int n = frames - done < piece ? frames - done : piece;
        for (int c = 0, next = 0; c < inputCount; ++c) {
            InputChannel& channel = *InputChannelAt(c);
            if (channel.connected) {
                *channel.dataSlot = inputs[next++] + done;
            }
        }
        for (int c = 0, next = 0; c < outputCount; ++c) {
            OutputChannel& channel = *OutputChannelAt(c);
            if (channel.connected) {
                *channel.dataSlot = outputs[next++] + done;
            }
        }
        ProcessBlock(inputData.get(), outputData.get(), n);
        done += n;
    } while (done < frames);
}
