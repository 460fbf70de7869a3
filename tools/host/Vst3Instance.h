#pragma once

#include "formats/vst3/Vst3Controller.h"
#include "formats/vst3/Vst3Processor.h"
#include "tools/host/Instance.h"
#include "tools/host/Vst3Module.h"
#include "tools/host/Vst3Support.h"
#include "tools/host/VstHost.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ksphost {

// A VST 3 plug-in whose component is also its edit controller: the first audio module class of
// the module's factory, initialised with the host's context. The user's parameters are the
// controller's without bypass and program change; programs are the program-change parameter's
// steps, named by the program list of its unit.
//
// Every value the host sets goes to the controller at once and to the processor as a change at
// offset 0 of its next process call: the first block of a render, or a call without audio that
// the host makes before it reads texts or opens the editor, since a plug-in may show and read
// its values by what its processor has.
class Vst3Instance final : public PluginInstance {
public:
    static Result<std::unique_ptr<PluginInstance>> Load(const std::string& path);
    ~Vst3Instance() override;
    Vst3Instance(const Vst3Instance&) = delete;
    Vst3Instance& operator=(const Vst3Instance&) = delete;

    void Prepare(int sampleRate, int blockSize) override;

    int ParameterCount() override { return static_cast<int>(settable.size()); }
    std::string ParameterName(int index) override;
    std::string ParameterText(int index) override;
    void SetParameter(int index, double normalized) override;
    Result<double> ParameterValue(int index, const std::string& text) override;

    // The steps of the program change, named by its unit's program list (else by the parameter's
    // texts); selecting one sets the parameter.
    int ProgramCount() override;
    std::string ProgramName(int index) override;
    Status SelectProgram(int index) override;
    std::string CurrentProgramName() override;

    // Both hand the processor its values first.
    std::string Describe() override;
    Status SnapshotEditor(const std::string& output) override;

    int InputCount() override { return BusChannels(vst3::kInput); }
    int OutputCount() override { return BusChannels(vst3::kOutput); }
    Status StartProcessing(const RenderSettings& settings, int sampleRate) override;
    int64_t Latency() override { return latency; }
    Status Process(float** inputs, float** outputs, int frames, int64_t position) override;
    Status Process(double** inputs, double** outputs, int frames, int64_t position) override;
    void StopProcessing() override;

private:
    Vst3Instance() = default;
    Status Open(const std::string& path);
    void ReadParameters();

    // The channels of the first audio bus of a direction; 0 without one.
    int BusChannels(vst3::BusDirection direction);
    // What the controller shows for parameter info at normalized (without its units).
    std::string Display(const vst3::ParameterInfo& info, double normalized);
    // The controller takes the value now, the processor with its next call.
    void SetValue(vst3::ParamID id, double normalized);
    // Every value set so far, at offset 0.
    void FillChanges();
    // A process call without audio that hands the processor the values it has not had yet.
    void DeliverValues();
    int ProgramIndex(double normalized);
    template <typename Sample>
    Status ProcessBlock(Sample** inputs, Sample** outputs, int frames, int64_t position);

    // Declared in the order they are made; the plug-in's objects go before the host's and the
    // module that holds their code.
    std::unique_ptr<Vst3Module> module;
    Vst3HostApplication application;
    Vst3ParameterChanges inputChanges;
    Vst3ParameterChanges outputChanges;
    Vst3ClassInfo classInfo;
    Vst3Ref<vst3::IComponent> component;
    bool initialized = false;
    Vst3Ref<vst3::IEditController> controller;
    Vst3Ref<vst3::IAudioProcessor> processor;
    Vst3Ref<vst3::IUnitInfo> units;

    std::vector<vst3::ParameterInfo> parameters;
    // Indices into parameters of those the user sets.
    std::vector<size_t> settable;
    // Index into parameters of the program change; none when negative.
    int programParameter = -1;
    vst3::ProgramListID programList = vst3::kNoProgramListId;

    SetValues<vst3::ParamID> values;

    vst3::ProcessSetup setup{};
    bool setUp = false;
    bool active = false;
    bool firstBlock = false;
    Transport transport;
    int64_t latency = 0;
    // The buses and channels of the render.
    int inputBuses = 0;
    int inputChannels = 0;
    int outputChannels = 0;
};

} // namespace ksphost
