#include "tools/host/VstHost.h"

#include "core/TextCopy.h"
#include "tools/host/Instance.h"

#include <cmath>
#include <cstring>

namespace ksphost {

namespace {

constexpr VstInt32 kVendorVersion = 20002;

thread_local VstHost* creatingHost = nullptr;

// An offline renderer without windows or MIDI: it supplies time information and nothing else.
bool HostCanDo(const char* text) {
    return std::strcmp(text, "sendVstTimeInfo") == 0;
}

} // namespace

MusicalPosition PositionInTime(const Transport& transport, int64_t samples, double sampleRate) {
    MusicalPosition position;
    position.beats = static_cast<double>(samples) / sampleRate * transport.tempo / 60.0;
    position.barStart = std::floor(position.beats / kBeatsPerBar) * kBeatsPerBar;
    return position;
}

void VstHost::BeginCreation(VstHost* host) {
    creatingHost = host;
}

void VstHost::Adopt(AEffect* effect) {
    effect->resvd2 = reinterpret_cast<VstIntPtr>(this);
}

const VstTimeInfo& VstHost::TimeInfo() {
    const MusicalPosition music = PositionInTime(transport, position, sampleRate);
    timeInfo = VstTimeInfo{};
    timeInfo.samplePos = static_cast<double>(position);
    timeInfo.sampleRate = sampleRate;
    timeInfo.tempo = transport.tempo;
    timeInfo.ppqPos = music.beats;
    timeInfo.barStartPos = music.barStart;
    timeInfo.timeSigNumerator = kBeatsPerBar;
    timeInfo.timeSigDenominator = 4;
    timeInfo.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (transport.playing) {
        timeInfo.flags |= kVstTransportPlaying;
    }
    return timeInfo;
}

VstIntPtr VstHost::Answer(VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/, void* ptr,
                          float /*opt*/) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(&TimeInfo());
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate);
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterGetCurrentProcessLevel:
        return kVstProcessLevelOffline;
    case audioMasterGetVendorString:
        CopyText(static_cast<char*>(ptr), kHostVendor, kVstMaxVendorStrLen);
        return ptr != nullptr ? 1 : 0;
    case audioMasterGetProductString:
        CopyText(static_cast<char*>(ptr), kHostName, kVstMaxProductStrLen);
        return ptr != nullptr ? 1 : 0;
    case audioMasterGetVendorVersion:
        return kVendorVersion;
    case audioMasterCanDo:
        return ptr != nullptr && HostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
    default:
        // Automation, edit gestures, display updates, MIDI output and the rest need no answer
        // from an offline renderer.
        return 0;
    }
}

VstIntPtr VSTCALLBACK VstHost::Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        void* ptr, float opt) {
    VstHost* host =
        effect != nullptr && effect->resvd2 != 0 ? reinterpret_cast<VstHost*>(effect->resvd2) : creatingHost;
    if (host == nullptr) {
        return opcode == audioMasterVersion ? 2400 : 0;
    }
    return host->Answer(opcode, index, value, ptr, opt);
}

} // namespace ksphost
