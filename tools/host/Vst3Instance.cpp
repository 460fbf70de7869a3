#include "tools/host/Vst3Instance.h"

#include "core/TextCopy.h"
#include "tools/host/EditorSnapshot.h"
#include "tools/host/ParameterValue.h"
#include "tools/host/Renderer.h"
#include "tools/host/Text.h"

#include <cmath>
#include <type_traits>

namespace ksphost {

namespace {

using Flags = vst3::ParameterInfo::ParameterFlags;

// What the controller shows for parameter id at normalized (without its units); empty when it
// shows nothing.
std::string ShownText(vst3::IEditController& controller, vst3::ParamID id, double normalized) {
    vst3::String128 text = {};
    if (controller.getParamStringByValue(id, normalized, text) != vst3::kResultOk) {
        return std::string();
    }
    return Utf8(text);
}

// What the controller shows over a parameter's range, for telling what it takes.
class ControllerDisplay final : public IParameterDisplay {
public:
    ControllerDisplay(vst3::IEditController& c, vst3::ParamID i) : controller(c), id(i) {}

    void Show(double normalized, char* display, char* label) override {
        CopyText(display, ShownText(controller, id, normalized).c_str(), kParameterTextCapacity);
        label[0] = '\0';
    }

private:
    vst3::IEditController& controller;
    vst3::ParamID id;
};

} // namespace

Result<std::unique_ptr<PluginInstance>> Vst3Instance::Load(const std::string& path) {
    std::unique_ptr<Vst3Instance> instance(new Vst3Instance());
    const Status opened = instance->Open(path);
    if (!opened.Ok()) {
        return opened;
    }
    return std::unique_ptr<PluginInstance>(std::move(instance));
}

Status Vst3Instance::Open(const std::string& path) {
    auto loaded = Vst3Module::Load(path);
    if (!loaded.Ok()) {
        return loaded.Error();
    }
    module = std::move(loaded.Value());
    const std::string& library = module->Library();
    const Vst3ClassInfo* audio = nullptr;
    for (const Vst3ClassInfo& info : module->Classes()) {
        if (audio == nullptr && info.category == vst3::kVstAudioEffectClass) {
            audio = &info;
        }
    }
    if (audio == nullptr) {
        return Status::Error(library + ": the factory has no class of the category \"" +
                             vst3::kVstAudioEffectClass + "\"");
    }
    classInfo = *audio;
    void* created = nullptr;
    if (module->Factory().createInstance(classInfo.id.bytes, vst3::kIComponentIid.bytes, &created) !=
            vst3::kResultOk ||
        created == nullptr) {
        return Status::Error(library + ": the factory did not create " + Quoted(classInfo.name));
    }
    component = Vst3Ref<vst3::IComponent>(static_cast<vst3::IComponent*>(created));
    if (component->initialize(&application) != vst3::kResultOk) {
        return Status::Error(library + ": " + Quoted(classInfo.name) + " did not initialize");
    }
    initialized = true;
    controller = QueryVst3<vst3::IEditController>(component.Get(), vst3::kIEditControllerIid);
    if (!controller) {
        vst3::TUID controllerClass = {};
        if (component->getControllerClassId(controllerClass) == vst3::kResultOk) {
            return Status::Error(library + ": " + Quoted(classInfo.name) +
                                 " keeps its controller apart (class " + UidText(controllerClass) +
                                 "); ksphaser-host drives plug-ins whose component is their controller");
        }
        return Status::Error(library + ": " + Quoted(classInfo.name) + " has no edit controller");
    }
    processor = QueryVst3<vst3::IAudioProcessor>(component.Get(), vst3::kIAudioProcessorIid);
    if (!processor) {
        return Status::Error(library + ": " + Quoted(classInfo.name) + " is no audio processor");
    }
    units = QueryVst3<vst3::IUnitInfo>(controller.Get(), vst3::kIUnitInfoIid);
    ReadParameters();
    return Status();
}

Vst3Instance::~Vst3Instance() {
    if (active) {
        StopProcessing();
    }
    if (initialized) {
        component->terminate();
    }
}

void Vst3Instance::ReadParameters() {
    const vst3::int32 count = controller->getParameterCount();
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::ParameterInfo info = {};
        if (controller->getParameterInfo(i, info) != vst3::kResultOk) {
            continue;
        }
        if ((info.flags & Flags::kIsProgramChange) != 0) {
            programParameter = programParameter < 0 ? static_cast<int>(parameters.size()) : programParameter;
        } else if ((info.flags & Flags::kIsBypass) == 0) {
            settable.push_back(parameters.size());
        }
        parameters.push_back(info);
    }
    if (programParameter < 0 || !units) {
        return;
    }
    // The program list of the unit the program change belongs to.
    const vst3::UnitID unit = parameters[static_cast<size_t>(programParameter)].unitId;
    for (vst3::int32 i = 0; i < units->getUnitCount(); ++i) {
        vst3::UnitInfo info = {};
        if (units->getUnitInfo(i, info) == vst3::kResultOk && info.id == unit) {
            programList = info.programListId;
        }
    }
}

void Vst3Instance::Prepare(int sampleRate, int blockSize) {
    setup = {vst3::kOffline, vst3::kSample32, blockSize, static_cast<double>(sampleRate)};
    setUp = processor->setupProcessing(setup) == vst3::kResultOk;
}

int Vst3Instance::BusChannels(vst3::BusDirection direction) {
    vst3::BusInfo bus = {};
    if (component->getBusCount(vst3::kAudio, direction) < 1 ||
        component->getBusInfo(vst3::kAudio, direction, 0, bus) != vst3::kResultOk) {
        return 0;
    }
    return bus.channelCount;
}

std::string Vst3Instance::Display(const vst3::ParameterInfo& info, double normalized) {
    return ShownText(*controller, info.id, normalized);
}

std::string Vst3Instance::ParameterName(int index) {
    return Utf8(parameters[settable[static_cast<size_t>(index)]].title);
}

std::string Vst3Instance::ParameterText(int index) {
    DeliverValues();
    const vst3::ParameterInfo& info = parameters[settable[static_cast<size_t>(index)]];
    return Display(info, controller->getParamNormalized(info.id));
}

void Vst3Instance::SetParameter(int index, double normalized) {
    SetValue(parameters[settable[static_cast<size_t>(index)]].id, normalized);
}

Result<double> Vst3Instance::ParameterValue(int index, const std::string& text) {
    DeliverValues();
    const vst3::ParameterInfo& info = parameters[settable[static_cast<size_t>(index)]];
    std::u16string typed = Utf16(text);
    vst3::ParamValue value = 0.0;
    if (controller->getParamValueByString(info.id, typed.data(), value) == vst3::kResultOk &&
        std::isfinite(value)) {
        return value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    }
    ControllerDisplay display(*controller, info.id);
    return RefusedParameterValue(display, ParameterName(index), text);
}

void Vst3Instance::SetValue(vst3::ParamID id, double normalized) {
    controller->setParamNormalized(id, normalized);
    values.Set(id, normalized);
}

void Vst3Instance::FillChanges() {
    inputChanges.Clear();
    for (const auto& value : values.Deliver()) {
        vst3::int32 index = 0;
        inputChanges.addParameterData(value.first, index)->addPoint(0, value.second, index);
    }
}

void Vst3Instance::DeliverValues() {
    if (!values.Undelivered() || !setUp || component->setActive(1) != vst3::kResultOk) {
        return;
    }
    processor->setProcessing(1);
    FillChanges();
    outputChanges.Clear();
    vst3::ProcessData data = {};
    data.processMode = setup.processMode;
    data.symbolicSampleSize = setup.symbolicSampleSize;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    processor->process(data);
    processor->setProcessing(0);
    component->setActive(0);
}

int Vst3Instance::ProgramCount() {
    return programParameter < 0 ? 0 : parameters[static_cast<size_t>(programParameter)].stepCount + 1;
}

int Vst3Instance::ProgramIndex(double normalized) {
    const int steps = ProgramCount() - 1;
    const int index = static_cast<int>(std::floor(normalized * (steps + 1)));
    return index < steps ? (index > 0 ? index : 0) : steps;
}

std::string Vst3Instance::ProgramName(int index) {
    vst3::String128 name = {};
    if (programList != vst3::kNoProgramListId &&
        units->getProgramName(programList, index, name) == vst3::kResultOk) {
        return Utf8(name);
    }
    const int steps = ProgramCount() - 1;
    return Display(parameters[static_cast<size_t>(programParameter)],
                   steps > 0 ? double(index) / steps : 0.0);
}

Status Vst3Instance::SelectProgram(int index) {
    const int steps = ProgramCount() - 1;
    SetValue(parameters[static_cast<size_t>(programParameter)].id, steps > 0 ? double(index) / steps : 0.0);
    return Status();
}

std::string Vst3Instance::CurrentProgramName() {
    const vst3::ParamID id = parameters[static_cast<size_t>(programParameter)].id;
    return ProgramName(ProgramIndex(controller->getParamNormalized(id)));
}

Status Vst3Instance::SnapshotEditor(const std::string& output) {
    DeliverValues();
    return SnapshotView(*controller, module->Library(), output);
}

Status Vst3Instance::StartProcessing(const RenderSettings& settings, int sampleRate) {
    const vst3::int32 busesIn = component->getBusCount(vst3::kAudio, vst3::kInput);
    const vst3::int32 busesOut = component->getBusCount(vst3::kAudio, vst3::kOutput);
    if (busesIn > 1 || busesOut != 1) {
        return UnusableBuses("buses", busesIn, busesOut);
    }
    const vst3::int32 size = settings.doublePrecision ? vst3::kSample64 : vst3::kSample32;
    if (processor->canProcessSampleSize(size) != vst3::kResultTrue) {
        return UnusablePrecision(settings.doublePrecision);
    }
    setup = {vst3::kOffline, size, settings.blockSize, static_cast<double>(sampleRate)};
    if (processor->setupProcessing(setup) != vst3::kResultOk) {
        return UnusableRate(sampleRate, settings.blockSize);
    }
    setUp = true;
    latency = processor->getLatencySamples();
    inputChannels = InputCount();
    outputChannels = OutputCount();
    for (vst3::BusDirection direction : {vst3::kInput, vst3::kOutput}) {
        if (component->getBusCount(vst3::kAudio, direction) > 0) {
            component->activateBus(vst3::kAudio, direction, 0, 1);
        }
    }
    if (component->setActive(1) != vst3::kResultOk) {
        return Status::Error("the plug-in did not become active");
    }
    inputBuses = busesIn;
    active = true;
    processor->setProcessing(1);
    transport = settings.transport;
    firstBlock = true;
    return Status();
}

template <typename Sample>
Status Vst3Instance::ProcessBlock(Sample** inputs, Sample** outputs, int frames, int64_t position) {
    vst3::AudioBusBuffers input = {};
    vst3::AudioBusBuffers output = {};
    input.numChannels = inputChannels;
    output.numChannels = outputChannels;
    if constexpr (std::is_same_v<Sample, double>) {
        input.channelBuffers64 = inputs;
        output.channelBuffers64 = outputs;
    } else {
        input.channelBuffers32 = inputs;
        output.channelBuffers32 = outputs;
    }
    if (firstBlock) {
        FillChanges();
        firstBlock = false;
    } else {
        inputChanges.Clear();
    }
    outputChanges.Clear();

    // The transport in 4/4, as the VST 2.4 host reports it.
    const MusicalPosition music = PositionInTime(transport, position, setup.sampleRate);
    vst3::ProcessContext context = {};
    context.state = vst3::ProcessContext::kTempoValid | vst3::ProcessContext::kProjectTimeMusicValid |
                    vst3::ProcessContext::kBarPositionValid | vst3::ProcessContext::kTimeSigValid |
                    (transport.playing ? vst3::ProcessContext::kPlaying : 0u);
    context.sampleRate = setup.sampleRate;
    context.projectTimeSamples = position;
    context.tempo = transport.tempo;
    context.projectTimeMusic = music.beats;
    context.barPositionMusic = music.barStart;
    context.timeSigNumerator = kBeatsPerBar;
    context.timeSigDenominator = 4;

    vst3::ProcessData data = {};
    data.processMode = setup.processMode;
    data.symbolicSampleSize = setup.symbolicSampleSize;
    data.numSamples = frames;
    data.numInputs = inputBuses;
    data.numOutputs = 1;
    data.inputs = &input;
    data.outputs = &output;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;
    const vst3::tresult answer = processor->process(data);
    if (answer != vst3::kResultOk) {
        return Status::Error("the plug-in's process call failed (answer " + std::to_string(answer) + ")");
    }
    return Status();
}

Status Vst3Instance::Process(float** inputs, float** outputs, int frames, int64_t position) {
    return ProcessBlock(inputs, outputs, frames, position);
}

Status Vst3Instance::Process(double** inputs, double** outputs, int frames, int64_t position) {
    return ProcessBlock(inputs, outputs, frames, position);
}

void Vst3Instance::StopProcessing() {
    processor->setProcessing(0);
    component->setActive(0);
    active = false;
}

} // namespace ksphost
