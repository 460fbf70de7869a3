#pragma once

#include "tools/host/Instance.h"
#include "tools/host/Plugin.h"
#include "tools/host/VstHost.h"

#include <memory>

namespace ksphost {

// A VST 2.4 plug-in through its dispatcher and callbacks, answered by a VstHost.
class Vst2Instance final : public PluginInstance {
public:
    static Result<std::unique_ptr<PluginInstance>> Load(const std::string& path);

    void Prepare(int sampleRate, int blockSize) override;

    int ParameterCount() override { return plugin->NumParams(); }
    std::string ParameterName(int index) override { return plugin->ParameterName(index); }
    std::string ParameterText(int index) override;
    void SetParameter(int index, double normalized) override;
    Result<double> ParameterValue(int index, const std::string& text) override;

    int ProgramCount() override { return plugin->NumPrograms(); }
    std::string ProgramName(int index) override { return plugin->ProgramName(index); }
    Status SelectProgram(int index) override;
    std::string CurrentProgramName() override;

    Status LoadPresetFile(const std::string& path) override;
    Result<std::vector<uint8_t>> MakePresetFile(const std::string& path) override;

    std::string Describe() override;
    Status SnapshotEditor(const std::string& output) override;

    int InputCount() override { return plugin->NumInputs(); }
    int OutputCount() override { return plugin->NumOutputs(); }
    Status StartProcessing(const RenderSettings& settings, int sampleRate) override;
    int64_t Latency() override { return plugin->Effect().initialDelay; }
    Status Process(float** inputs, float** outputs, int frames, int64_t position) override;
    Status Process(double** inputs, double** outputs, int frames, int64_t position) override;
    void StopProcessing() override;

private:
    Vst2Instance(std::unique_ptr<VstHost> answering, std::unique_ptr<Plugin> loaded);

    // The host outlives the plug-in, which calls it until closed.
    std::unique_ptr<VstHost> host;
    std::unique_ptr<Plugin> plugin;
    // processReplacing rather than the accumulating process.
    bool replacing = true;
};

} // namespace ksphost
