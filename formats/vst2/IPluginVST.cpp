#include "formats/vst2/IPluginVST.h"

#include "core/TextCopy.h"
#include "formats/vst2/HostDetection.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr int32_t kHostTimeFilter =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
constexpr int kHostTextCapacity = 256;

VstInt32 ArrangementType(int channels) {
    switch (channels) {
    case 0:
        return kSpeakerArrEmpty;
    case 1:
        return kSpeakerArrMono;
    case 2:
        return kSpeakerArrStereo;
    default:
        return kSpeakerArrUserDefined;
    }
}

bool FiniteAtLeast(double v, double lowest) {
    return std::isfinite(v) && v >= lowest;
}

} // namespace

IPluginVST::IPluginVST(audioMasterCallback hostCallback, std::unique_ptr<IPluginBase> owned)
    : plugin(std::move(owned)), hostCallback(hostCallback) {
    std::memset(&effect, 0, sizeof effect);
    effect.magic = kEffectMagic;
    effect.dispatcher = VSTDispatcher;
    effect.process = VSTProcess;
    effect.setParameter = VSTSetParameter;
    effect.getParameter = VSTGetParameter;
    effect.numPrograms = plugin->PresetCount();
    effect.numParams = plugin->ParameterCount();
    effect.numInputs = plugin->InputCount();
    effect.numOutputs = plugin->OutputCount();
    effect.flags = effFlagsCanReplacing | effFlagsProgramChunks | effFlagsCanDoubleReplacing;
    if (plugin->LegalIO(1, -1)) {
        effect.flags |= effFlagsCanMono;
    }
    effect.initialDelay = plugin->Latency();
    effect.ioRatio = 1.0f;
    effect.object = static_cast<void*>(this);
    effect.uniqueID = plugin->UniqueId();
    effect.version = VstVersion(plugin->Version());
    effect.processReplacing = VSTProcessReplacing;
    effect.processDoubleReplacing = VSTProcessDoubleReplacing;

    std::memset(&inputArrangement, 0, sizeof inputArrangement);
    std::memset(&outputArrangement, 0, sizeof outputArrangement);
    inputArrangement.numChannels = plugin->InputCount();
    inputArrangement.type = ArrangementType(plugin->InputCount());
    outputArrangement.numChannels = plugin->OutputCount();
    outputArrangement.type = ArrangementType(plugin->OutputCount());

    plugin->ConnectAllChannels();
    plugin->ApplyBlockSize(1024);
    plugin->SetHost(this);
    // The editor, if any, was attached while the plug-in was built.
    UpdateEditorRect();
}

IPluginVST* IPluginVST::Create(audioMasterCallback hostCallback, std::unique_ptr<IPluginBase> plugin) {
    return plugin ? new (std::nothrow) IPluginVST(hostCallback, std::move(plugin)) : nullptr;
}

int32_t IPluginVST::VstVersion(int32_t version) {
    return ((version >> 16 & 0xFFFF) * 100 + (version >> 8 & 0xFF)) * 100 + (version & 0xFF);
}

intptr_t IPluginVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return hostCallback != nullptr ? hostCallback(&effect, opcode, index, value, ptr, opt) : 0;
}

const VstTimeInfo* IPluginVST::QueryTime(int32_t filter) {
    return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter, nullptr, 0.0f));
}

void IPluginVST::BeginParameterGesture(int index) {
    CallHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

void IPluginVST::AutomateParameter(int index, double normalized) {
    CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void IPluginVST::EndParameterGesture(int index) {
    CallHost(audioMasterEndEdit, index, 0, nullptr, 0.0f);
}

void IPluginVST::RequestHostDisplayUpdate() {
    CallHost(audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
}

bool IPluginVST::IsOfflineRendering() {
    return CallHost(audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f) == kVstProcessLevelOffline;
}

int IPluginVST::SamplePosition() {
    const VstTimeInfo* time = QueryTime(0);
    if (time == nullptr || !FiniteAtLeast(time->samplePos, 0.0)) {
        return 0;
    }
    // Positions past the int32 range (a session of many hours) saturate.
    const double rounded = time->samplePos + 0.5;
    return rounded < 2147483647.0 ? static_cast<int>(rounded) : INT32_MAX;
}

double IPluginVST::HostTempo() {
    const VstTimeInfo* time = QueryTime(kVstTempoValid);
    if (time == nullptr || (time->flags & kVstTempoValid) == 0 || !FiniteAtLeast(time->tempo, 0.0)) {
        return 0.0;
    }
    return time->tempo;
}

void IPluginVST::HostTimeSignature(int& beatsPerBar, int& beatUnit) {
    beatsPerBar = 0;
    beatUnit = 0;
    const VstTimeInfo* time = QueryTime(kVstTimeSigValid);
    if (time != nullptr && (time->flags & kVstTimeSigValid) != 0 && time->timeSigNumerator >= 0 &&
        time->timeSigDenominator >= 0) {
        beatsPerBar = time->timeSigNumerator;
        beatUnit = time->timeSigDenominator;
    }
}

void IPluginVST::HostTime(HostTimeInfo& info) {
    const VstTimeInfo* time = QueryTime(kHostTimeFilter);
    if (time == nullptr || (time->flags & kHostTimeFilter) == 0) {
        return;
    }
    const int32_t flags = time->flags;
    info.samplePos = time->samplePos;
    if ((flags & kVstPpqPosValid) != 0 && FiniteAtLeast(time->ppqPos, 0.0)) {
        info.ppqPos = time->ppqPos;
    }
    if ((flags & kVstTempoValid) != 0 && std::isfinite(time->tempo) && time->tempo > 0.0) {
        info.tempo = time->tempo;
    }
    if ((flags & kVstBarsValid) != 0 && FiniteAtLeast(time->barStartPos, 0.0)) {
        info.barStart = time->barStartPos;
    }
    if ((flags & kVstCyclePosValid) != 0 && FiniteAtLeast(time->cycleStartPos, 0.0) &&
        FiniteAtLeast(time->cycleEndPos, 0.0)) {
        info.loopStart = time->cycleStartPos;
        info.loopEnd = time->cycleEndPos;
    }
    if ((flags & kVstTimeSigValid) != 0 && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
        info.beatsPerBar = time->timeSigNumerator;
        info.beatUnit = time->timeSigDenominator;
    }
    info.playing = (flags & kVstTransportPlaying) != 0;
    info.looping = (flags & kVstTransportCycleActive) != 0;
}

int IPluginVST::HostCode() {
    if (hostCode != -1) {
        return hostCode;
    }
    char product[kHostTextCapacity] = {};
    CallHost(audioMasterGetProductString, 0, 0, product, 0.0f);
    product[kHostTextCapacity - 1] = '\0';
    hostVersion = 0;
    if (product[0] != '\0') {
        const intptr_t answer = CallHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
        const auto v = static_cast<int32_t>(answer < 0 ? 0 : (answer > INT32_MAX ? INT32_MAX : answer));
        const auto major = static_cast<uint32_t>(v / 10000);
        const auto minor = static_cast<uint32_t>((v % 10000) / 100);
        hostVersion = static_cast<int32_t>(major << 16 | minor << 8 | static_cast<uint32_t>(v % 100));
    }
    hostCode = DetectHost(product);
    return hostCode;
}

int32_t IPluginVST::HostVersion() {
    return hostVersion;
}

bool IPluginVST::IsChunkQuirkHost() {
    if (!chunkQuirkChecked) {
        char vendor[kHostTextCapacity] = {};
        CallHost(audioMasterGetVendorString, 0, 0, vendor, 0.0f);
        CopyTextLowerAscii(vendor, vendor, sizeof vendor);
        chunkQuirkHost =
            std::strcmp(vendor, "native instruments") == 0 || std::strcmp(vendor, "juce vst host") == 0;
        chunkQuirkChecked = true;
    }
    return chunkQuirkHost;
}

bool IPluginVST::SendMidiToHost(const MidiMessage& message) {
    VstMidiEvent event;
    std::memset(&event, 0, sizeof event);
    event.type = kVstMidiType;
    event.byteSize = static_cast<VstInt32>(sizeof event);
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    return SendEventToHost(reinterpret_cast<VstEvent*>(&event));
}

bool IPluginVST::SendSysExToHost(const SysExMessage& message) {
    VstMidiSysexEvent event;
    std::memset(&event, 0, sizeof event);
    event.type = kVstSysExType;
    event.byteSize = static_cast<VstInt32>(sizeof event);
    event.deltaFrames = message.offset;
    event.dumpBytes = message.size;
    event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.data));
    return SendEventToHost(reinterpret_cast<VstEvent*>(&event));
}

bool IPluginVST::SendEventToHost(VstEvent* event) {
    VstEvents events;
    std::memset(&events, 0, sizeof events);
    events.numEvents = 1;
    events.events[0] = event;
    return CallHost(audioMasterProcessEvents, 0, 0, &events, 0.0f) == 1;
}

void IPluginVST::UpdateEditorRect() {
    const IEditor* editor = plugin->Editor();
    if (editor == nullptr) {
        return;
    }
    editorRect.top = 0;
    editorRect.left = 0;
    editorRect.bottom = static_cast<VstInt16>(editor->Height());
    editorRect.right = static_cast<VstInt16>(editor->Width());
    // A target without its window tells the host of no editor.
    if (HasWindowedEditor()) {
        effect.flags |= effFlagsHasEditor;
    }
}

bool IPluginVST::HasWindowedEditor() const {
    return plugin->Editor() != nullptr && plugin->Editor()->CanOpenWindow();
}

void IPluginVST::SetLatencySamples(int samples) {
    effect.initialDelay = samples;
}

void IPluginVST::PrepareForHost() {
    if (hostPrepared) {
        return;
    }
    hostPrepared = true;
    const int code = HostCode();
    // These hosts hand over two channels only: the plug-in's further inputs hear silence.
    if (code == kHostForte || code == kHostAudition || code == kHostOrion || code == kHostSawStudio) {
        for (int i = 2; i < plugin->InputCount(); ++i) {
            plugin->InputChannelAt(i)->connected = false;
            plugin->InputChannelAt(i)->Silence();
        }
        for (int i = 2; i < plugin->OutputCount(); ++i) {
            plugin->OutputChannelAt(i)->connected = true;
        }
    }
    inputArrangement.numChannels = plugin->InputCount();
    effect.numInputs = plugin->InputCount();
    outputArrangement.numChannels = plugin->OutputCount();
    effect.numOutputs = plugin->OutputCount();
    plugin->OnHostKnown();
}
