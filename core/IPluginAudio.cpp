// The host's audio buffers and the effect's double-precision blocks.
#include "core/IPluginBase.h"

#include <cstring>
#include <type_traits>

namespace {

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

void IPluginBase::ProcessHostBlock(float** inputs, float** outputs, int frames, bool accumulate) {
    ProcessInPieces(inputs, outputs, frames, accumulate);
}

void IPluginBase::ProcessHostBlock(double** inputs, double** outputs, int frames) {
    ProcessInPieces(inputs, outputs, frames, false);
}

bool IPluginBase::UsesScratch() {
    for (int c = 0; c < inputCount; ++c) {
        if (!inputChannels[c].connected) {
            return true;
        }
    }
    for (int c = 0; c < outputCount; ++c) {
        if (!outputChannels[c].connected) {
            return true;
        }
    }
    return false;
}

template <typename Sample>
void IPluginBase::SilenceHostOutputs(Sample** outputs, int frames) {
    for (int c = 0, next = 0; c < outputCount; ++c) {
        if (outputChannels[c].connected) {
            std::memset(outputs[next++], 0, static_cast<size_t>(frames) * sizeof(Sample));
        }
    }
}

// The scratch buffers hold scratchFrames samples: a block that passes through them is processed
// in pieces of that size, so nothing is allocated and nothing overruns. Double-precision blocks
// pass through only where a channel is disconnected.
template <typename Sample>
void IPluginBase::ProcessInPieces(Sample** inputs, Sample** outputs, int frames, bool accumulate) {
    constexpr bool kDirect = std::is_same_v<Sample, double>;
    frames = frames > 0 ? frames : 0;
    const bool throughScratch = kDirect ? UsesScratch() : inputCount + outputCount > 0;
    const int piece = throughScratch ? scratchFrames : frames;
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
            InputChannel& channel = inputChannels[c];
            if (!channel.connected) {
                continue;
            }
            if constexpr (kDirect) {
                *channel.dataSlot = inputs[next++] + done;
            } else {
                FloatToDouble(inputs[next++] + done, channel.Scratch(), n);
                *channel.dataSlot = channel.Scratch();
            }
        }
        for (int c = 0, next = 0; c < outputCount; ++c) {
            OutputChannel& channel = outputChannels[c];
            if (!channel.connected) {
                continue;
            }
            if constexpr (kDirect) {
                *channel.dataSlot = outputs[next++] + done;
            } else {
                *channel.dataSlot = channel.Scratch();
                channel.hostOutput = outputs[next++] + done;
            }
        }
        ProcessBlock(inputData.get(), outputData.get(), n);
        if constexpr (!kDirect) {
            for (int c = 0; c < outputCount; ++c) {
                OutputChannel& channel = outputChannels[c];
                if (!channel.connected) {
                    continue;
                }
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
