#include "tools/host/Commands.h"

#include "tools/host/CommandLine.h"
#include "tools/host/ExampleMaterial.h"
#include "tools/host/Instance.h"
#include "tools/host/PluginState.h"
#include "tools/host/Progress.h"
#include "tools/host/Renderer.h"
#include "tools/host/SafeFile.h"
#include "tools/host/System.h"

#include <cmath>
#include <csignal>
#include <cstdio>

namespace ksphost {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

// Stops a render cleanly on Ctrl-C, so no partial output is left behind.
class InterruptGuard {
public:
    InterruptGuard() {
        interrupted = 0;
        previous = std::signal(SIGINT, OnInterrupt);
    }
    ~InterruptGuard() { std::signal(SIGINT, previous); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*previous)(int);
};

// A file the command reads or writes, and what it is to the user.
struct FileRole {
    const char* role;
    std::string path;
};

// Refuses outputs that are directories, and outputs that are (by any path or link) the input or
// the plug-in: writing one would destroy what is being read. A preset file is read whole before
// anything is written, so saving over the one loaded is allowed.
Status CheckOutputs(const std::vector<FileRole>& reads, const std::vector<FileRole>& writes) {
    for (const FileRole& write : writes) {
        if (write.path.empty()) {
            continue;
        }
        const Status usable = CheckOutputFile(write.path);
        if (!usable.Ok()) {
            return usable;
        }
        for (const FileRole& read : reads) {
            if (!read.path.empty() && SameFile(write.path, read.path)) {
                return Status::Error(write.path + " is the same file as the " + read.role + " " + read.path +
                                     "; name another " + write.role);
            }
        }
    }
    return Status();
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Loads the plug-in, prepares it for sampleRate and blockSize and applies the state options.
Result<std::unique_ptr<PluginInstance>> OpenPlugin(const Options& options, int sampleRate,
                                                   std::vector<std::string>& report) {
    if (!options.state.savePreset.empty()) {
        const Status path = CheckPresetPath(options.state.savePreset);
        if (!path.Ok()) {
            return path;
        }
    }
    auto plugin = OpenInstance(options.plugin);
    if (!plugin.Ok()) {
        return plugin;
    }
    plugin.Value()->Prepare(sampleRate, options.render.blockSize);
    const Status state = ApplyState(*plugin.Value(), options.state, report);
    if (!state.Ok()) {
        return state;
    }
    return plugin;
}

// The preset file bytes to save, or none if no preset is to be saved.
Result<std::vector<uint8_t>> PresetToSave(const Options& options, PluginInstance& plugin) {
    if (options.state.savePreset.empty()) {
        return std::vector<uint8_t>();
    }
    return plugin.MakePresetFile(options.state.savePreset);
}

Status SavePreset(const Options& options, const std::vector<uint8_t>& bytes,
                  std::vector<std::string>& report) {
    if (options.state.savePreset.empty()) {
        return Status();
    }
    const Status written = WriteWholeFile(options.state.savePreset, bytes);
    if (written.Ok()) {
        report.push_back("Saved preset " + options.state.savePreset);
    }
    return written;
}

// info, preset and snapshot: the plug-in with its state, then what the command shows or saves.
Status RunStateCommand(const Options& options, Console& console) {
    const bool snapshot = options.command == Command::Snapshot;
    const Status outputs = CheckOutputs(
        {{"plug-in", PluginFile(options.plugin)}},
        {{"preset file", options.state.savePreset}, {"picture", snapshot ? options.output : ""}});
    if (!outputs.Ok()) {
        return outputs;
    }
    std::vector<std::string> report;
    auto plugin = OpenPlugin(options, 44100, report);
    if (!plugin.Ok()) {
        return plugin.Error();
    }
    auto preset = PresetToSave(options, *plugin.Value());
    if (!preset.Ok()) {
        return preset.Error();
    }
    const std::string description = options.command == Command::Info ? plugin.Value()->Describe() : "";
    const Status captured = snapshot ? plugin.Value()->SnapshotEditor(options.output) : Status();
    plugin.Value().reset();
    if (!captured.Ok()) {
        return captured;
    }
    const Status saved = SavePreset(options, preset.Value(), report);
    if (!saved.Ok()) {
        return saved;
    }
    if (snapshot) {
        report.push_back("Saved the editor's picture to " + options.output);
    }
    console.Out(Lines(report) + (description.empty() || report.empty() ? "" : "\n") + description);
    return Status();
}

// An input without frames gives nothing to render, unless a tail is asked for.
Status NothingToRender(const Options& options, int64_t frames) {
    if (frames == 0 && options.render.tailSeconds <= 0.0) {
        return Status::Error(options.input + " holds no audio: nothing to render");
    }
    return Status();
}

Status RunRender(const Options& options, Console& console) {
    Status output = CheckAudioOutputPath(options.output);
    if (output.Ok()) {
        output = CheckOutputs({{"input", options.input}, {"plug-in", PluginFile(options.plugin)}},
                              {{"output", options.output}, {"preset file", options.state.savePreset}});
    }
    if (!output.Ok()) {
        return output;
    }
    auto source = OpenAudioReader(options.input, options.raw);
    if (!source.Ok()) {
        return source.Error();
    }
    const AudioFormat format = source.Value()->Format();
    const Status something = NothingToRender(options, format.frames);
    if (!something.Ok()) {
        return something;
    }

    std::vector<std::string> report;
    auto opened = OpenPlugin(options, format.sampleRate, report);
    if (!opened.Ok()) {
        return opened.Error();
    }
    PluginInstance& plugin = *opened.Value();
    const int outputs = plugin.OutputCount();
    const Status channels =
        CheckChannels(format.channels, plugin.InputCount(), outputs, options.render.monoInput);
    if (!channels.Ok()) {
        return channels;
    }
    auto preset = PresetToSave(options, plugin);
    if (!preset.Ok()) {
        return preset.Error();
    }
    auto sink = CreateAudioWriter(options.output, outputs, format.sampleRate);
    if (!sink.Ok()) {
        return sink.Error();
    }

    InterruptGuard guard;
    ProgressMeter meter(format.frames, format.sampleRate, StderrIsTerminal());
    auto rendered = Render(
        plugin, *source.Value(), *sink.Value(), options.render,
        [&meter](int64_t frames) { meter.Update(frames); }, &interrupted);
    meter.Finish();
    if (!rendered.Ok()) {
        return rendered.Error();
    }
    const RenderStats& stats = rendered.Value();
    const Status rendering = NothingToRender(options, stats.frames);
    if (!rendering.Ok()) {
        return rendering;
    }
    const Status finished = sink.Value()->Finish();
    if (!finished.Ok()) {
        return finished;
    }
    const Status saved = SavePreset(options, preset.Value(), report);
    if (!saved.Ok()) {
        return saved;
    }

    if (format.frames > stats.inputFrames) {
        console.Error("ksphaser-host: warning: " + options.input + " promises " +
                      std::to_string(format.frames) + " frames but holds " +
                      std::to_string(stats.inputFrames) + "; rendered " + std::to_string(stats.inputFrames) +
                      " frames of it");
    }
    const double audioSeconds = static_cast<double>(stats.frames) / format.sampleRate;
    char summary[512];
    std::snprintf(summary, sizeof summary,
                  "Rendered %s -> %s: %.2f s of audio, %d Hz, %d -> %d channels, blocks of %d, %s precision\n"
                  "Real-time factor %.1fx (%.3f s); the plug-in alone %.1fx (%.3f s)\n",
                  options.input.c_str(), options.output.c_str(), audioSeconds, format.sampleRate,
                  format.channels, outputs, options.render.blockSize,
                  options.render.doublePrecision ? "double" : "single",
                  stats.seconds > 0.0 ? audioSeconds / stats.seconds : 0.0, stats.seconds,
                  stats.pluginSeconds > 0.0 ? audioSeconds / stats.pluginSeconds : 0.0, stats.pluginSeconds);
    console.Out(Lines(report) + summary);
    return Status();
}

Status RunExample(const Options& options, Console& console) {
    Status output = CheckAudioOutputPath(options.output);
    if (output.Ok()) {
        output = CheckOutputs({}, {{"output", options.output}});
    }
    if (!output.Ok()) {
        return output;
    }
    const int64_t frames = static_cast<int64_t>(std::floor(options.seconds * kExampleSampleRate + 0.5));
    const std::vector<float> samples = MakeExampleMaterial(frames);
    auto sink = CreateAudioWriter(options.output, kExampleChannels, kExampleSampleRate);
    if (!sink.Ok()) {
        return sink.Error();
    }
    Status written = sink.Value()->Write(samples.data(), static_cast<size_t>(frames));
    if (written.Ok()) {
        written = sink.Value()->Finish();
    }
    if (!written.Ok()) {
        return written;
    }
    char summary[256];
    std::snprintf(summary, sizeof summary, "Wrote %.2f s of example material (44.1 kHz stereo) to %s\n",
                  static_cast<double>(frames) / kExampleSampleRate, options.output.c_str());
    console.Out(summary);
    return Status();
}

} // namespace

int RunHost(const std::vector<std::string>& args, Console& console) {
    auto parsed = ParseCommandLine(args);
    if (!parsed.Ok()) {
        console.Error("ksphaser-host: " + parsed.Error().Message() + " (see ksphaser-host --help)");
        return kExitUsage;
    }
    const Options& options = parsed.Value();
    Status status;
    switch (options.command) {
    case Command::Help:
        console.Out(UsageText(options.helpFor));
        return kExitOk;
    case Command::Version:
        console.Out(std::string("ksphaser-host ") + KSP_HOST_VERSION + "\n");
        return kExitOk;
    case Command::Info:
    case Command::Preset:
    case Command::Snapshot:
        status = RunStateCommand(options, console);
        break;
    case Command::Render:
        status = RunRender(options, console);
        break;
    case Command::Example:
        status = RunExample(options, console);
        break;
    }
    if (!status.Ok()) {
        console.Error("ksphaser-host: " + status.Message());
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace ksphost
