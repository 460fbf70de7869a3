#pragma once

#include "formats/clap/ClapAudioExtensions.h"
#include "formats/clap/ClapGui.h"
#include "formats/clap/ClapParams.h"
#include "formats/clap/ClapPresets.h"
#include "formats/clap/ClapProcess.h"
#include "tools/host/ClapHost.h"
#include "tools/host/ClapModule.h"
#include "tools/host/ClapPresetIndex.h"
#include "tools/host/Instance.h"
#include "tools/host/VstHost.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ksphost {

// The first plug-in of a CLAP module's factory, created and initialised in a host of its own. The
// user's parameters are the plug-in's without bypass, in plain values from min_value to
// max_value (a normalised X is min + X * (max - min), whole for stepped ones); programs are the
// presets its discovery factory finds inside the module, loaded through its preset-load
// extension.
//
// Every value the host sets goes to the plug-in as a PARAM_VALUE event at time 0 of the first
// block of a render; before the host reads texts or opens the editor, a flush hands the plug-in
// the values it has not had yet, since a plug-in may show and read its values by those it has.
class ClapInstance final : public PluginInstance {
public:
    static Result<std::unique_ptr<PluginInstance>> Load(const std::string& path);
    ~ClapInstance() override;
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    void Prepare(int sampleRate, int blockSize) override;

    int ParameterCount() override { return static_cast<int>(settable.size()); }
    std::string ParameterName(int index) override;
    std::string ParameterText(int index) override;
    void SetParameter(int index, double normalized) override;
    // The plug-in's text_to_value; the plain value it answers is the one set.
    Result<double> ParameterValue(int index, const std::string& text) override;

    Status CanSelectPrograms() override;
    int ProgramCount() override { return static_cast<int>(Presets().presets.size()); }
    std::string ProgramName(int index) override;
    Status SelectProgram(int index) override;
    std::string CurrentProgramName() override;

    // Both hand the plug-in its values first.
    std::string Describe() override;
    Status SnapshotEditor(const std::string& output) override;

    int InputCount() override { return MainChannels(true); }
    int OutputCount() override { return MainChannels(false); }
    Status StartProcessing(const RenderSettings& settings, int sampleRate) override;
    int64_t Latency() override { return latency; }
    Status Process(float** inputs, float** outputs, int frames, int64_t position) override;
    Status Process(double** inputs, double** outputs, int frames, int64_t position) override;
    // Stops processing and deactivates, as far as the plug-in got.
    void StopProcessing() override;

private:
    ClapInstance() = default;
    Status Open(const std::string& path);
    void ReadParameters();

    uint32_t PortCount(bool input) const;
    // The first port of a direction; none without one.
    std::optional<clap::clap_audio_port_info> Port(bool input) const;
    int MainChannels(bool input) const;

    const clap::clap_param_info& Info(int index) const {
        return parameters[settable[static_cast<size_t>(index)]];
    }
    // The value as the host set it, else as the plug-in tells it.
    double CurrentValue(const clap::clap_param_info& info) const;
    // What value_to_text shows for value; empty when it shows nothing.
    std::string Text(const clap::clap_param_info& info, double value) const;
    // Every value set so far as events at time 0.
    void FillEvents();
    // A flush that hands the plug-in the values it has not had yet.
    void DeliverValues();
    const ClapPresetIndex& Presets();
    template <typename Sample>
    Status ProcessBlock(Sample** inputs, Sample** outputs, int frames, int64_t position);

    // Declared in the order they are made; the plug-in goes before its host and the module that
    // holds its code.
    std::unique_ptr<ClapModule> module;
    ClapHost host;
    const clap::clap_plugin_descriptor* descriptor = nullptr;
    const clap::clap_plugin* plugin = nullptr;
    const clap::clap_plugin_audio_ports* audioPorts = nullptr;
    const clap::clap_plugin_params* params = nullptr;
    const clap::clap_plugin_latency* latencyExtension = nullptr;
    const clap::clap_plugin_tail* tail = nullptr;
    const clap::clap_plugin_gui* gui = nullptr;
    const clap::clap_plugin_preset_load* presetLoad = nullptr;

    std::vector<clap::clap_param_info> parameters;
    // Indices into parameters of those the user sets.
    std::vector<size_t> settable;
    SetValues<clap::clap_id> values;
    // The last value read from text: its normalised value stands for its plain one.
    struct FoundValue {
        int index = -1;
        double normalized = 0.0;
        double plain = 0.0;
    } found;
    std::vector<clap::clap_event_param_value> events;

    std::optional<ClapPresetIndex> presets;
    int currentPreset = -1;

    int sampleRate = 44100;
    int blockSize = 512;
    bool active = false;
    bool processing = false;
    bool firstBlock = false;
    Transport transport;
    int64_t latency = 0;
    uint32_t inputPorts = 0;
    uint32_t inputChannels = 0;
    uint32_t outputChannels = 0;
};

} // namespace ksphost
