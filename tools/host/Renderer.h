#pragma once

#include "tools/host/AudioFile.h"
#include "tools/host/Instance.h"
#include "tools/host/Status.h"
#include "tools/host/VstHost.h"

#include <csignal>
#include <cstdint>
#include <functional>

namespace ksphost {

// How a file with several channels feeds a plug-in with one input.
enum class MonoInput { Refuse, Mix, Left };

struct RenderSettings {
    VstInt32 blockSize = 512;
    bool doublePrecision = false;
    Transport transport;
    MonoInput monoInput = MonoInput::Refuse;
    double tailSeconds = 0.0;       // rendered past the input's end, fed silence
    bool compensateLatency = false; // drop the plug-in's reported delay from the output's start
};

struct RenderStats {
    int64_t inputFrames = 0;    // read from the input
    int64_t frames = 0;         // written to the output
    double seconds = 0.0;       // wall-clock time of the whole render, file access included
    double pluginSeconds = 0.0; // wall-clock time inside the plug-in's audio callback
};

// Reports progress: frames done so far.
using ProgressFunction = std::function<void(int64_t frames)>;

// Whether a file of fileChannels channels can feed the plug-in: a mono file feeds
// every input, otherwise channel i feeds input i, inputs beyond the file's channels get silence,
// and a file with more channels than the plug-in has inputs is refused, unless the plug-in has
// one input and monoInput says how to fold the file into it.
Status CheckChannels(int fileChannels, VstInt32 pluginInputs, VstInt32 pluginOutputs,
                     MonoInput monoInput = MonoInput::Refuse);

// Streams source through the plug-in into sink as a host does: starts processing, blocks in the
// settings' precision, the tail fed silence, stops. The plug-in is prepared for the rate and its
// state (programs, parameters) set beforehand. Stops with an error once *cancel becomes non-zero.
Result<RenderStats> Render(PluginInstance& plugin, AudioReader& source, AudioWriter& sink,
                           const RenderSettings& settings, const ProgressFunction& progress,
                           const volatile std::sig_atomic_t* cancel);

} // namespace ksphost
