// The host's audio buffers and the effect's double-precision blocks.
#include "core/IPluginBase.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

constexpr double kHalfPi = 1.5707963267948966;

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
    ProcessInPieces(inputs, outputs, 0, frames, accumulate);
}

void IPluginBase::ProcessHostBlock(double** inputs, double** outputs, int frames) {
    ProcessInPieces(inputs, outputs, 0, frames, false);
}

void IPluginBase::ProcessHostBlock(float** inputs, float** outputs, int frames,
                                   const ParameterChange* changes, int changeCount) {
    ProcessWithChanges(inputs, outputs, frames, changes, changeCount);
}

void IPluginBase::ProcessHostBlock(double** inputs, double** outputs, int frames,
                                   const ParameterChange* changes, int changeCount) {
    ProcessWithChanges(inputs, outputs, frames, changes, changeCount);
}

void IPluginBase::SetBypass(bool bypassed, bool fade) {
    bypassTarget = bypassed;
    if (!fade) {
        bypassPosition = bypassed ? 1.0 : 0.0;
    }
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
void IPluginBase::SilenceHostOutputs(Sample** outputs, int start, int frames) {
    for (int c = 0, next = 0; c < outputCount; ++c) {
        if (outputChannels[c].connected) {
            std::memset(outputs[next++] + start, 0, static_cast<size_t>(frames) * sizeof(Sample));
        }
    }
}

template <typename Sample>
void IPluginBase::ProcessWithChanges(Sample** inputs, Sample** outputs, int frames,
                                     const ParameterChange* changes, int changeCount) {
    frames = frames > 0 ? frames : 0;
    int next = 0;
    int start = 0;
    while (start < frames) {
        while (next < changeCount && changes[next].offset <= start) {
            ApplyChange(changes[next++]);
        }
        const int end = next < changeCount && changes[next].offset < frames ? changes[next].offset : frames;
        ProcessInPieces(inputs, outputs, start, end - start, false);
        start = end;
    }
    for (; next < changeCount; ++next) {
        ApplyChange(changes[next]);
    }
}

void IPluginBase::ApplyChange(const ParameterChange& change) {
    if (change.index >= 0 && change.plain) {
        SetPlainParameterFromHost(change.index, change.value);
    } else if (change.index >= 0) {
        SetParameterFromHost(change.index, change.value);
    } else if (change.index == kBypassChange) {
        SetBypass(change.value >= 0.5, true);
    } else if (change.index == kProgramChange) {
        // As a host's program change between blocks: the edits stay in the program left.
        ModifyCurrentPreset(nullptr);
        LoadPreset(static_cast<int>(change.value));
    }
}

void IPluginBase::KeepDryInput(double** inputs, int start, int frames) {
    for (int c = 0, next = 0; c < inputCount; ++c) {
        InputChannel& channel = inputChannels[c];
        if (channel.connected) {
            std::memcpy(channel.Scratch(), inputs[next++] + start,
                        static_cast<size_t>(frames) * sizeof(double));
            *channel.dataSlot = channel.Scratch();
        }
    }
}

void IPluginBase::MixBypass(int frames) {
    const double step = 1.0 / (kBypassFadeSeconds * sampleRate);
    const double target = bypassTarget ? 1.0 : 0.0;
    double position = bypassPosition;
    for (int c = 0; c < outputCount; ++c) {
        double* out = outputData[c];
        const double* dry = c < inputCount ? inputData[c] : nullptr;
        position = bypassPosition;
        for (int i = 0; i < frames; ++i) {
            position =
                position < target ? std::min(position + step, target) : std::max(position - step, target);
            const double in = dry != nullptr ? dry[i] : 0.0;
            if (position >= 1.0) {
                out[i] = in;
            } else if (position > 0.0) {
                out[i] = out[i] * std::cos(position * kHalfPi) + in * std::sin(position * kHalfPi);
            }
        }
    }
    bypassPosition = position;
}

// The scratch buffers hold scratchFrames samples: a block that passes through them is processed
// in pieces of that size, so nothing is allocated and nothing overruns. Double-precision blocks
// pass through only where a channel is disconnected or the dry input must be kept.
template <typename Sample>
void IPluginBase::ProcessInPieces(Sample** inputs, Sample** outputs, int start, int frames, bool accumulate) {
    constexpr bool kDirect = std::is_same_v<Sample, double>;
    frames = frames > 0 ? frames : 0;
    const bool bypassing = bypassTarget || bypassPosition > 0.0;
    const bool throughScratch = kDirect ? UsesScratch() || bypassing : inputCount + outputCount > 0;
    const int piece = throughScratch ? scratchFrames : frames;
    if (frames > 0 && piece <= 0) {
        // The scratch could not be allocated: a replacing call leaves silence rather than stale
        // samples.
        if (!accumulate) {
            SilenceHostOutputs(outputs, start, frames);
        }
        return;
    }
    int done = 0;
    do {
        const int n = frames - done < piece ? frames - done : piece;
        const int at = start + done;
        for (int c = 0, next = 0; c < inputCount; ++c) {
            InputChannel& channel = inputChannels[c];
            if (!channel.connected) {
                continue;
            }
            if constexpr (kDirect) {
                *channel.dataSlot = inputs[next++] + at;
            } else {
                FloatToDouble(inputs[next++] + at, channel.Scratch(), n);
                *channel.dataSlot = channel.Scratch();
            }
        }
        if constexpr (kDirect) {
            if (bypassing) {
                KeepDryInput(inputs, at, n);
            }
        }
        for (int c = 0, next = 0; c < outputCount; ++c) {
            OutputChannel& channel = outputChannels[c];
            if (!channel.connected) {
                continue;
            }
            if constexpr (kDirect) {
                *channel.dataSlot = outputs[next++] + at;
            } else {
                *channel.dataSlot = channel.Scratch();
                channel.hostOutput = outputs[next++] + at;
            }
        }
        blockOffset = at;
        ProcessBlock(inputData.get(), outputData.get(), n);
        blockOffset = 0;
        if (bypassing) {
            MixBypass(n);
        }
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
