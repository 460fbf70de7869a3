#include "tools/host/Vst2Instance.h"

#include "tools/host/EditorSnapshot.h"
#include "tools/host/InfoReport.h"
#include "tools/host/ParameterValue.h"
#include "tools/host/PluginState.h"
#include "tools/host/Renderer.h"

#include <algorithm>

namespace ksphost {

namespace {

bool CanProcessDouble(const AEffect& effect) {
    return (effect.flags & effFlagsCanDoubleReplacing) != 0 && effect.processDoubleReplacing != nullptr;
}

bool CanProcessReplacing(const AEffect& effect) {
    return (effect.flags & effFlagsCanReplacing) != 0 && effect.processReplacing != nullptr;
}

} // namespace

Result<std::unique_ptr<PluginInstance>> Vst2Instance::Load(const std::string& path) {
    auto host = std::make_unique<VstHost>();
    auto plugin = Plugin::Load(path, *host);
    if (!plugin.Ok()) {
        return plugin.Error();
    }
    return std::unique_ptr<PluginInstance>(new Vst2Instance(std::move(host), std::move(plugin.Value())));
}

Vst2Instance::Vst2Instance(std::unique_ptr<VstHost> answering, std::unique_ptr<Plugin> loaded)
    : host(std::move(answering)), plugin(std::move(loaded)) {}

void Vst2Instance::Prepare(int sampleRate, int blockSize) {
    host->SetSampleRate(sampleRate);
    host->SetBlockSize(blockSize);
    plugin->Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    plugin->Dispatch(effSetBlockSize, 0, blockSize);
}

std::string Vst2Instance::ParameterText(int index) {
    const std::string label = plugin->ParameterLabel(index);
    return plugin->ParameterDisplay(index) + (label.empty() ? "" : " " + label);
}

void Vst2Instance::SetParameter(int index, double normalized) {
    plugin->SetParameter(index, static_cast<float>(normalized));
}

Result<double> Vst2Instance::ParameterValue(int index, const std::string& text) {
    auto value = FindParameterValue(*plugin, index, text);
    if (!value.Ok()) {
        return value.Error();
    }
    return static_cast<double>(value.Value());
}

Status Vst2Instance::SelectProgram(int index) {
    plugin->Dispatch(effSetProgram, 0, index);
    return Status();
}

std::string Vst2Instance::CurrentProgramName() {
    return plugin->DispatchText(effGetProgramName);
}

Status Vst2Instance::LoadPresetFile(const std::string& path) {
    return ksphost::LoadPresetFile(*plugin, path);
}

Result<std::vector<uint8_t>> Vst2Instance::MakePresetFile(const std::string& path) {
    return ksphost::MakePresetFile(*plugin, path);
}

std::string Vst2Instance::Describe() {
    return DescribePlugin(*plugin);
}

Status Vst2Instance::SnapshotEditor(const std::string& output) {
    return ksphost::SnapshotEditor(*plugin, output);
}

Status Vst2Instance::StartProcessing(const RenderSettings& settings, int /*sampleRate*/) {
    const AEffect& effect = plugin->Effect();
    if (settings.doublePrecision && !CanProcessDouble(effect)) {
        return UnusablePrecision(true);
    }
    replacing = CanProcessReplacing(effect);
    if (!settings.doublePrecision && !replacing && effect.process == nullptr) {
        return Status::Error("the plug-in has no audio callback");
    }
    host->SetTransport(settings.transport);
    host->SetPosition(0);
    plugin->Dispatch(effMainsChanged, 0, 1);
    return Status();
}

Status Vst2Instance::Process(float** inputs, float** outputs, int frames, int64_t position) {
    host->SetPosition(position);
    AEffect& effect = plugin->Effect();
    if (replacing) {
        effect.processReplacing(&effect, inputs, outputs, frames);
        return Status();
    }
    // The accumulating callback adds to what the outputs hold.
    for (int c = 0; c < effect.numOutputs; ++c) {
        std::fill(outputs[c], outputs[c] + frames, 0.0f);
    }
    effect.process(&effect, inputs, outputs, frames);
    return Status();
}

Status Vst2Instance::Process(double** inputs, double** outputs, int frames, int64_t position) {
    host->SetPosition(position);
    AEffect& effect = plugin->Effect();
    effect.processDoubleReplacing(&effect, inputs, outputs, frames);
    return Status();
}

void Vst2Instance::StopProcessing() {
    plugin->Dispatch(effMainsChanged, 0, 0);
}

} // namespace ksphost
