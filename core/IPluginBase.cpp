#include "core/IPluginBase.h"

#include "core/TextCopy.h"
#include "core/Trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* kUserPresetName = "user preset";
constexpr double kStoredValueTolerance = 0.00001;

// Allocates count default records; none for a count of 0 or when memory runs out.
template <typename T>
std::unique_ptr<T[]> MakeRecords(int count) {
    return std::unique_ptr<T[]>(count > 0 ? new (std::nothrow) T[static_cast<size_t>(count)]() : nullptr);
}

} // namespace

IPluginBase::IPluginBase(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
                         const char* productName, const char* makerName, int32_t version, int32_t uniqueId,
                         int32_t makerId, int latency, bool acceptsMidi, bool isInstrument)
    : uniqueId(uniqueId), makerId(makerId), version(version), isInstrument(isInstrument),
      acceptsMidi(acceptsMidi), latency(latency) {
    CopyText(this->effectName, effectName, sizeof this->effectName);
    CopyText(this->productName, productName, sizeof this->productName);
    CopyText(this->makerName, makerName, sizeof this->makerName);

    parameters = MakeRecords<IParameter>(parameterCount);
    this->parameterCount = parameters ? parameterCount : 0;
    presets = MakeRecords<IPresetSlot>(presetCount);
    this->presetCount = presets ? presetCount : 0;

    ParseChannelIO(channelIO);
    KSP_TRACE("IPluginBase::IPluginBase", "%s", this->effectName);
}

IPluginBase::~IPluginBase() {
    editor.reset();
    parameters.reset();
    presets.reset();
    inputChannels.reset();
    outputChannels.reset();
    channelIOs.reset();
    inputData.reset();
    outputData.reset();
}

void IPluginBase::ParseChannelIO(const char* channelIO) {
    const char* text = channelIO != nullptr ? channelIO : "";
    int tokens = 1;
    for (const char* c = text; *c != '\0'; ++c) {
        tokens += *c == ' ' ? 1 : 0;
    }
    channelIOs = MakeRecords<ChannelIOPair>(tokens);
    if (!channelIOs) {
        return;
    }
    int maxInputs = 0;
    int maxOutputs = 0;
    const char* start = text;
    for (int i = 0; i < tokens; ++i) {
        const char* end = std::strchr(start, ' ');
        const size_t length = end != nullptr ? static_cast<size_t>(end - start) : std::strlen(start);
        char token[32];
        CopyText(token, start, length + 1 < sizeof token ? length + 1 : sizeof token);
        int inputs = 0;
        int outputs = 0;
        std::sscanf(token, "%d-%d", &inputs, &outputs);
        channelIOs[i].inputs = inputs;
        channelIOs[i].outputs = outputs;
        maxInputs = inputs > maxInputs ? inputs : maxInputs;
        maxOutputs = outputs > maxOutputs ? outputs : maxOutputs;
        start = end != nullptr ? end + 1 : start + length;
    }
    channelIOCount = tokens;

    inputData = MakeRecords<double*>(maxInputs);
    outputData = MakeRecords<double*>(maxOutputs);
    inputChannels = MakeRecords<InputChannel>(maxInputs);
    outputChannels = MakeRecords<OutputChannel>(maxOutputs);
    if (!inputData || !inputChannels) {
        maxInputs = 0;
    }
    if (!outputData || !outputChannels) {
        maxOutputs = 0;
    }
    inputCount = maxInputs;
    outputCount = maxOutputs;
    for (int i = 0; i < inputCount; ++i) {
        inputChannels[i].dataSlot = &inputData[i];
    }
    for (int i = 0; i < outputCount; ++i) {
        outputChannels[i].dataSlot = &outputData[i];
    }
}

void IPluginBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    const int copied = inputCount < outputCount ? inputCount : outputCount;
    for (int c = 0; c < outputCount; ++c) {
        double* out = outputs[c];
        if (c < copied) {
            if (out != inputs[c]) {
                std::memmove(out, inputs[c], static_cast<size_t>(frames) * sizeof(double));
            }
        } else {
            std::memset(out, 0, static_cast<size_t>(frames) * sizeof(double));
        }
    }
}

void IPluginBase::OnMidiMessage(const MidiMessage& message) {
    SendMidiToHost(message);
}

bool IPluginBase::MidiNoteName(int /*note*/, char* out) {
    if (out != nullptr) {
        out[0] = '\0';
    }
    return false;
}

bool IPluginBase::SaveState(IByteBuffer& buffer) {
    return SerializeParams(buffer);
}

int IPluginBase::LoadState(const IByteBuffer& buffer, int pos) {
    return UnserializeParams(buffer, pos);
}

bool IPluginBase::MatchesStoredValues(const double* values, int start) {
    for (int i = 0; i < parameterCount; ++i) {
        const float stored = static_cast<float>(values[start + i]);
        const float current = static_cast<float>(parameters[i].Value());
        if (!(std::fabs(current - stored) < kStoredValueTolerance)) {
            return false;
        }
    }
    return true;
}

void IPluginBase::SetParameterFromEditor(int index, double normalized) {
    LockGuard guard(pluginLock);
    IParameter* parameter = ParameterAt(index);
    if (parameter == nullptr || std::isnan(normalized)) {
        return;
    }
    parameter->SetFromNormalized(normalized);
    AutomateParameter(index, normalized);
    OnParameterChange(index);
}

void IPluginBase::SetParameterFromHost(int index, double normalized) {
    IParameter* parameter = ParameterAt(index);
    if (parameter == nullptr || std::isnan(normalized)) {
        return;
    }
    normalized = normalized < 0.0 ? 0.0 : (normalized > 1.0 ? 1.0 : normalized);
    if (editor) {
        editor->SetParameterFromHost(index, normalized, true);
    }
    parameter->SetFromNormalized(normalized);
    OnParameterChange(index);
}

void IPluginBase::SetPlainParameterFromHost(int index, double plain) {
    IParameter* parameter = ParameterAt(index);
    if (parameter == nullptr || std::isnan(plain)) {
        return;
    }
    plain =
        plain < parameter->Min() ? parameter->Min() : (plain > parameter->Max() ? parameter->Max() : plain);
    if (editor) {
        editor->SetParameterFromHost(index, plain, false);
    }
    parameter->SetFromPlain(plain);
    OnParameterChange(index);
}

void IPluginBase::BeginParameterGesture(int index) {
    if (host != nullptr) {
        host->BeginParameterGesture(index);
    }
}

void IPluginBase::AutomateParameter(int index, double normalized) {
    if (host != nullptr) {
        host->AutomateParameter(index, normalized);
    }
}

void IPluginBase::EndParameterGesture(int index) {
    if (host != nullptr) {
        host->EndParameterGesture(index);
    }
}

void IPluginBase::RequestHostDisplayUpdate() {
    if (host != nullptr) {
        host->RequestHostDisplayUpdate();
    }
}

bool IPluginBase::IsOfflineRendering() {
    return host != nullptr && host->IsOfflineRendering();
}

int IPluginBase::SamplePosition() {
    return host != nullptr ? host->SamplePosition() : 0;
}

double IPluginBase::HostTempo() {
    return host != nullptr ? host->HostTempo() : 0.0;
}

void IPluginBase::HostTimeSignature(int& beatsPerBar, int& beatUnit) {
    beatsPerBar = 0;
    beatUnit = 0;
    if (host != nullptr) {
        host->HostTimeSignature(beatsPerBar, beatUnit);
    }
}

void IPluginBase::HostTime(HostTimeInfo& info) {
    if (host != nullptr) {
        host->HostTime(info);
    }
}

int IPluginBase::HostCode() {
    return host != nullptr ? host->HostCode() : -1;
}

int32_t IPluginBase::HostVersion() {
    return host != nullptr ? host->HostVersion() : 0;
}

void IPluginBase::UpdateEditorRect() {
    if (!editor) {
        return;
    }
    if (host != nullptr) {
        host->UpdateEditorRect();
    }
    OnEditorResize();
}

void IPluginBase::SetLatencySamples(int samples) {
    latency = samples;
    if (host != nullptr) {
        host->SetLatencySamples(samples);
    }
}

bool IPluginBase::SendMidiToHost(const MidiMessage& message) {
    return host != nullptr && host->SendMidiToHost(message);
}

bool IPluginBase::SendSysExToHost(const SysExMessage& message) {
    return host != nullptr && host->SendSysExToHost(message);
}

void IPluginBase::AttachEditor(std::unique_ptr<IEditor> newEditor) {
    if (!newEditor) {
        return;
    }
    LockGuard guard(pluginLock);
    for (int i = 0; i < parameterCount; ++i) {
        newEditor->SetParameterFromHost(i, parameters[i].Normalized(), true);
    }
    newEditor->PrepareDrawing();
    editor = std::move(newEditor);
    if (host != nullptr) {
        host->UpdateEditorRect();
    }
}

void IPluginBase::SendParametersToEditor() {
    if (!editor) {
        return;
    }
    for (int i = 0; i < parameterCount; ++i) {
        editor->SetParameterFromHost(i, parameters[i].Value(), false);
    }
}

void IPluginBase::ModifyCurrentPreset(const char* name) {
    IPresetSlot* slot = PresetAt(currentPreset);
    if (slot == nullptr) {
        return;
    }
    slot->state.Clear();
    KSP_TRACE("IPluginBase::ModifyCurrentPreset", "%d %s", currentPreset, name != nullptr ? name : "");
    SaveState(slot->state);
    if (name != nullptr && name[0] != '\0') {
        CopyText(slot->name, name, sizeof slot->name);
    }
}

void IPluginBase::ApplySampleRate(double rate) {
    if (std::isfinite(rate) && rate > 0.0) {
        sampleRate = rate;
    }
}

void IPluginBase::ApplyBlockSize(int n) {
    // The same size again keeps the scratch and its contents; a first announcement of 0 (unknown)
    // still makes the scratch.
    if (n == blockSize && scratchFrames > 0) {
        return;
    }
    // Hosts with variable block sizes announce 0; a huge announcement must not stall the host
    // with an allocation of gigabytes. The audio calls work through longer blocks in pieces.
    const int frames = n < 1 ? kDefaultScratchFrames : std::min(n, kMaxScratchFrames);
    const auto size = static_cast<int32_t>(static_cast<size_t>(frames) * sizeof(double));
    auto resize = [size](AudioChannel& channel) {
        channel.scratch.Resize(size, true);
        if (channel.scratch.Size() > 0) {
            std::memset(channel.scratch.Data(), 0, static_cast<size_t>(channel.scratch.Size()));
        }
        // A disconnected channel reads or writes its own scratch, which may have moved.
        if (!channel.connected) {
            *channel.dataSlot = channel.Scratch();
        }
    };
    scratchFrames = INT32_MAX;
    for (int i = 0; i < inputCount; ++i) {
        resize(inputChannels[i]);
        scratchFrames = std::min(scratchFrames, inputChannels[i].ScratchFrames());
    }
    for (int i = 0; i < outputCount; ++i) {
        resize(outputChannels[i]);
        scratchFrames = std::min(scratchFrames, outputChannels[i].ScratchFrames());
    }
    blockSize = n;
}

IParameter* IPluginBase::ParameterAt(int index) {
    return index >= 0 && index < parameterCount ? &parameters[index] : nullptr;
}

const IParameter* IPluginBase::ParameterAt(int index) const {
    return index >= 0 && index < parameterCount ? &parameters[index] : nullptr;
}

bool IPluginBase::LegalIO(int inputs, int outputs) const {
    bool legal = false;
    for (int i = 0; i < channelIOCount && !legal; ++i) {
        legal = (inputs < 0 || channelIOs[i].inputs == inputs) &&
                (outputs < 0 || channelIOs[i].outputs == outputs);
    }
    KSP_TRACE("IPluginBase::LegalIO", "%d:%d:%s", inputs, outputs, legal ? "legal" : "illegal");
    return legal;
}

void IPluginBase::NotifyAllParameters() {
    for (int i = 0; i < parameterCount; ++i) {
        OnParameterChange(i);
    }
}

void IPluginBase::SendParametersToHost() {
    LockGuard guard(pluginLock);
    for (int i = 0; i < parameterCount; ++i) {
        AutomateParameter(i, parameters[i].Normalized());
    }
}

IPresetSlot* IPluginBase::PresetAt(int index) {
    return index >= 0 && index < presetCount ? &presets[index] : nullptr;
}

const char* IPluginBase::PresetName(int index) const {
    return index >= 0 && index < presetCount ? presets[index].name : "";
}

bool IPluginBase::LoadPreset(int index) {
    IPresetSlot* slot = PresetAt(index);
    if (slot == nullptr) {
        return false;
    }
    bool ok;
    if (slot->initialised) {
        ok = LoadState(slot->state, 0) > 0;
    } else {
        slot->initialised = true;
        int userPresets = 0;
        for (int i = 0; i < presetCount; ++i) {
            userPresets += std::strstr(presets[i].name, kUserPresetName) != nullptr ? 1 : 0;
        }
        std::snprintf(slot->name, sizeof slot->name, "%s %d", kUserPresetName, userPresets + 1);
        ok = SaveState(slot->state);
    }
    if (ok) {
        currentPreset = index;
        OnPresetChange();
        SendParametersToEditor();
    }
    return ok;
}

void IPluginBase::FillUnusedPresets(int count) {
    for (int round = 0; round < count; ++round) {
        IPresetSlot* slot = nullptr;
        for (int i = 0; i < presetCount && slot == nullptr; ++i) {
            slot = presets[i].initialised ? nullptr : &presets[i];
        }
        if (slot == nullptr) {
            return;
        }
        slot->initialised = true;
        CopyText(slot->name, "Empty", sizeof slot->name);
        SaveState(slot->state);
    }
}

void IPluginBase::ConnectAllChannels() {
    for (int i = 0; i < inputCount; ++i) {
        inputChannels[i].connected = true;
    }
    for (int i = 0; i < outputCount; ++i) {
        outputChannels[i].connected = true;
    }
}

InputChannel* IPluginBase::InputChannelAt(int index) {
    return index >= 0 && index < inputCount ? &inputChannels[index] : nullptr;
}

OutputChannel* IPluginBase::OutputChannelAt(int index) {
    return index >= 0 && index < outputCount ? &outputChannels[index] : nullptr;
}
