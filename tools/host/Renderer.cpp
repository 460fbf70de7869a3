#include "tools/host/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace ksphost {

namespace {

// Per-channel buffers of one sample type and the pointer arrays handed to the plug-in.
template <typename Sample>
struct ChannelBuffers {
    ChannelBuffers(size_t channels, size_t frames) : data(channels, std::vector<Sample>(frames)) {
        for (auto& channel : data) {
            pointers.push_back(channel.data());
        }
        // A plug-in without channels still gets a valid array.
        pointers.push_back(nullptr);
    }
    std::vector<std::vector<Sample>> data;
    std::vector<Sample*> pointers;
};

// Copies frames frames starting at frame first of the file's interleaved samples to the
// plug-in's inputs: a mono file feeds every input, inputs beyond the file's channels get silence,
// and a file with more channels folds into a single input as monoInput says.
template <typename Sample>
void Deinterleave(const std::vector<float>& interleaved, int fileChannels, MonoInput monoInput, size_t first,
                  size_t frames, ChannelBuffers<Sample>& inputs) {
    const size_t stride = static_cast<size_t>(fileChannels);
    if (inputs.data.size() == 1 && fileChannels > 1 && monoInput == MonoInput::Mix) {
        Sample* out = inputs.data[0].data();
        const float* in = interleaved.data() + first * stride;
        for (size_t i = 0; i < frames; ++i) {
            double sum = 0.0;
            for (size_t c = 0; c < stride; ++c) {
                sum += static_cast<double>(in[i * stride + c]);
            }
            out[i] = static_cast<Sample>(sum / static_cast<double>(stride));
        }
        return;
    }
    for (size_t input = 0; input < inputs.data.size(); ++input) {
        Sample* out = inputs.data[input].data();
        const size_t source = fileChannels == 1 ? 0 : input;
        if (source >= stride) {
            std::fill(out, out + frames, Sample(0));
            continue;
        }
        const float* in = interleaved.data() + first * stride + source;
        for (size_t i = 0; i < frames; ++i) {
            out[i] = static_cast<Sample>(in[i * stride]);
        }
    }
}

template <typename Sample>
void Interleave(const ChannelBuffers<Sample>& outputs, size_t first, size_t frames,
                std::vector<float>& interleaved) {
    const size_t channels = outputs.data.size();
    for (size_t c = 0; c < channels; ++c) {
        const Sample* in = outputs.data[c].data();
        float* out = interleaved.data() + first * channels + c;
        for (size_t i = 0; i < frames; ++i) {
            out[i * channels] = static_cast<float>(in[i]);
        }
    }
}

} // namespace

Status CheckChannels(int fileChannels, VstInt32 pluginInputs, VstInt32 pluginOutputs, MonoInput monoInput) {
    constexpr VstInt32 kMostChannels = 256;
    if (pluginInputs < 0 || pluginInputs > kMostChannels || pluginOutputs > kMostChannels) {
        return Status::Error("the plug-in reports " + std::to_string(pluginInputs) + " inputs and " +
                             std::to_string(pluginOutputs) + " outputs");
    }
    if (pluginOutputs < 1) {
        return Status::Error("the plug-in has no audio outputs");
    }
    // A plug-in without inputs (an instrument) takes only the input's length and rate.
    if (pluginInputs == 1 && monoInput != MonoInput::Refuse) {
        return Status();
    }
    if (fileChannels > 1 && pluginInputs > 0 && fileChannels > pluginInputs) {
        return Status::Error("the input has " + std::to_string(fileChannels) +
                             " channels but the plug-in takes " + std::to_string(pluginInputs) +
                             (pluginInputs == 1 ? " (--mono mix or --mono left folds it into one)" : ""));
    }
    return Status();
}

namespace {

// Where the frames handed to the plug-in come from: the input file, then silence for the tail
// and for the delay being compensated.
class FrameSource {
public:
    FrameSource(AudioReader& r, int64_t silence) : reader(r), silenceLeft(silence) {}

    // Fills up to frames frames of interleaved; answers how many, 0 at the end.
    Result<size_t> Read(std::vector<float>& interleaved, size_t frames, RenderStats& stats) {
        if (!inputDone) {
            auto read = reader.Read(interleaved.data(), frames);
            if (!read.Ok() || read.Value() > 0) {
                stats.inputFrames += read.Ok() ? static_cast<int64_t>(read.Value()) : 0;
                return read;
            }
            inputDone = true;
        }
        const size_t n = static_cast<size_t>(std::min<int64_t>(silenceLeft, static_cast<int64_t>(frames)));
        std::fill(interleaved.begin(), interleaved.end(), 0.0f);
        silenceLeft -= static_cast<int64_t>(n);
        return n;
    }

private:
    AudioReader& reader;
    int64_t silenceLeft;
    bool inputDone = false;
};

// The plug-in's delay in frames, as it reports it once started; none that is negative or longer
// than a minute is believed.
int64_t ReportedDelay(int64_t delay, int sampleRate) {
    return delay > 0 && delay <= 60 * static_cast<int64_t>(sampleRate) ? delay : 0;
}

} // namespace

Result<RenderStats> Render(PluginInstance& plugin, AudioReader& source, AudioWriter& sink,
                           const RenderSettings& settings, const ProgressFunction& progress,
                           const volatile std::sig_atomic_t* cancel) {
    const int fileChannels = source.Format().channels;
    const Status channels =
        CheckChannels(fileChannels, plugin.InputCount(), plugin.OutputCount(), settings.monoInput);
    if (!channels.Ok()) {
        return channels;
    }

    // Files are read and written in chunks of whole blocks, a few thousand frames at a time, so
    // small blocks do not cost a file access each.
    constexpr size_t kChunkFrames = 8192;
    const size_t block = static_cast<size_t>(settings.blockSize);
    const size_t chunk = block * std::max<size_t>(1, kChunkFrames / block);
    const size_t inputs = static_cast<size_t>(plugin.InputCount());
    const size_t outputs = static_cast<size_t>(plugin.OutputCount());
    std::vector<float> fileChunk(chunk * static_cast<size_t>(fileChannels));
    std::vector<float> outputChunk(chunk * outputs);
    ChannelBuffers<float> floatIn(settings.doublePrecision ? 0 : inputs, block);
    ChannelBuffers<float> floatOut(settings.doublePrecision ? 0 : outputs, block);
    ChannelBuffers<double> doubleIn(settings.doublePrecision ? inputs : 0, block);
    ChannelBuffers<double> doubleOut(settings.doublePrecision ? outputs : 0, block);

    RenderStats stats;
    const auto start = std::chrono::steady_clock::now();
    const int sampleRate = source.Format().sampleRate;
    const Status started = plugin.StartProcessing(settings, sampleRate);
    if (!started.Ok()) {
        return started;
    }
    int64_t skip = settings.compensateLatency ? ReportedDelay(plugin.Latency(), sampleRate) : 0;
    const int64_t tail = static_cast<int64_t>(std::floor(settings.tailSeconds * sampleRate + 0.5));
    FrameSource frameSource(source, tail + skip);
    int64_t position = 0;
    Status failure;
    while (failure.Ok()) {
        if (cancel != nullptr && *cancel != 0) {
            failure = Status::Error("interrupted");
            break;
        }
        auto read = frameSource.Read(fileChunk, chunk, stats);
        if (!read.Ok()) {
            failure = read.Error();
            break;
        }
        const size_t frames = read.Value();
        if (frames == 0) {
            break;
        }
        for (size_t first = 0; first < frames && failure.Ok(); first += block) {
            const size_t n = std::min(block, frames - first);
            const int64_t at = position + static_cast<int64_t>(first);
            if (settings.doublePrecision) {
                Deinterleave(fileChunk, fileChannels, settings.monoInput, first, n, doubleIn);
            } else {
                Deinterleave(fileChunk, fileChannels, settings.monoInput, first, n, floatIn);
            }
            const int count = static_cast<int>(n);
            const auto before = std::chrono::steady_clock::now();
            failure = settings.doublePrecision
                          ? plugin.Process(doubleIn.pointers.data(), doubleOut.pointers.data(), count, at)
                          : plugin.Process(floatIn.pointers.data(), floatOut.pointers.data(), count, at);
            stats.pluginSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
            if (settings.doublePrecision) {
                Interleave(doubleOut, first, n, outputChunk);
            } else {
                Interleave(floatOut, first, n, outputChunk);
            }
        }
        if (!failure.Ok()) {
            break;
        }
        position += static_cast<int64_t>(frames);
        // The first frames of a compensated delay are not part of the output.
        const size_t dropped = static_cast<size_t>(std::min<int64_t>(skip, static_cast<int64_t>(frames)));
        skip -= static_cast<int64_t>(dropped);
        failure = sink.Write(outputChunk.data() + dropped * outputs, frames - dropped);
        stats.frames += static_cast<int64_t>(frames - dropped);
        if (progress) {
            progress(position);
        }
    }
    plugin.StopProcessing();
    stats.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!failure.Ok()) {
        return failure;
    }
    return stats;
}

} // namespace ksphost
