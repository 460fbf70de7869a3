#pragma once

// The VST 3 binary interface: the component, its buses and its audio processing, with what the
// host hands to each process call.

#include "formats/vst3/Vst3Host.h"
#include "formats/vst3/Vst3Types.h"

namespace vst3 {

enum MediaTypes : MediaType {
    kAudio = 0,
    kEvent = 1,
};

enum BusDirections : BusDirection {
    kInput = 0,
    kOutput = 1,
};

enum BusTypes : BusType {
    kMain = 0,
    kAux = 1,
};

enum IoModes : IoMode {
    kSimple = 0,
    kAdvanced = 1,
    kOfflineProcessing = 2,
};

constexpr Speaker kSpeakerL = 0x1;
constexpr Speaker kSpeakerR = 0x2;
constexpr Speaker kSpeakerM = 0x80000;

// Speaker arrangements: one bit per speaker a bus carries.
namespace SpeakerArr {
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = kSpeakerM;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;
} // namespace SpeakerArr

struct BusInfo {
    enum BusFlags : uint32 {
        kDefaultActive = 1,
        kIsControlVoltage = 2,
    };

    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

// The processor. The host creates it through the factory and initialises it as an IPluginBase.
class IComponent : public IPluginBase {
public:
    // [ui] A separate controller's class id; kResultFalse when the component is its own
    // controller.
    virtual tresult VST3_CALL getControllerClassId(TUID classId) = 0;
    // [ui] Before initialize: IoModes.
    virtual tresult VST3_CALL setIoMode(IoMode mode) = 0;
    // [ui] The buses of one kind and direction, by index; the same answers every time. An index
    // out of range answers kInvalidArgument and leaves bus alone.
    virtual int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
    // [ui] Which output a given input feeds (with several buses).
    virtual tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    // [ui] Switches a bus on or off.
    virtual tresult VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
    // [ui] Prepares processing for the current setup, or ends it.
    virtual tresult VST3_CALL setActive(TBool state) = 0;
    // [ui] The complete processing state, in or out; may come while the audio thread processes.
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;

protected:
    ~IComponent() = default;
};

inline constexpr Uid kIComponentIid = MakeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

enum SymbolicSampleSizes : int32 {
    kSample32 = 0,
    kSample64 = 1,
};

enum ProcessModes : int32 {
    kRealtime = 0,
    kPrefetch = 1,
    kOffline = 2,
};

// getTailSamples' answers besides a number of samples.
constexpr uint32 kNoTail = 0;
constexpr uint32 kInfiniteTail = 0xFFFFFFFF;

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    SampleRate sampleRate;
};

// One bus's channels for one block: 32- or 64-bit samples as ProcessData's symbolicSampleSize
// says.
struct AudioBusBuffers {
    int32 numChannels;
    // Bit i: channel i is all zeros.
    uint64 silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

// The host's transport for one block. Only sampleRate and projectTimeSamples are always valid;
// state says which of the rest are.
struct ProcessContext {
    enum StatesAndFlags : uint32 {
        kPlaying = 0x2,
        kCycleActive = 0x4,
        kRecording = 0x8,
        kSystemTimeValid = 0x100,
        kProjectTimeMusicValid = 0x200,
        kTempoValid = 0x400,
        kBarPositionValid = 0x800,
        kCycleValid = 0x1000,
        kTimeSigValid = 0x2000,
        kSmpteValid = 0x4000,
        kClockValid = 0x8000,
        kContTimeValid = 0x20000,
        kChordValid = 0x40000,
    };

    struct Chord {
        uint8 keyNote;
        uint8 rootNote;
        int16 chordMask;
    };

    struct FrameRate {
        enum FrameRateFlags : uint32 {
            kPullDownRate = 1,
            kDropRate = 2,
        };

        uint32 framesPerSecond;
        uint32 flags;
    };

    uint32 state;
    SampleRate sampleRate;
    TSamples projectTimeSamples;
    int64 systemTime;
    TSamples continousTimeSamples;
    TQuarterNotes projectTimeMusic;
    TQuarterNotes barPositionMusic;
    TQuarterNotes cycleStartMusic;
    TQuarterNotes cycleEndMusic;
    double tempo;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    Chord chord;
    int32 smpteOffsetSubframes;
    FrameRate frameRate;
    int32 samplesToNextClock;
};

// A note or other event; its layout matters only to plug-ins that read events.
struct Event;

// One parameter's changes within a block: points at rising sample offsets along a piecewise
// linear curve.
class IParamValueQueue : public FUnknown {
public:
    // [audio] The parameter and its points, by index.
    virtual ParamID VST3_CALL getParameterId() = 0;
    virtual int32 VST3_CALL getPointCount() = 0;
    virtual tresult VST3_CALL getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    // [audio] Output queues only: appends a point, its index to index.
    virtual tresult VST3_CALL addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;

protected:
    ~IParamValueQueue() = default;
};

inline constexpr Uid kIParamValueQueueIid = MakeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);

// The queues of the parameters that change in a block. The queues are borrowed.
class IParameterChanges : public FUnknown {
public:
    // [audio] One queue per changed parameter, by index.
    virtual int32 VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* VST3_CALL getParameterData(int32 index) = 0;
    // [audio] Output changes only: the queue of parameter id, new or found; its index to index.
    virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, int32& index) = 0;

protected:
    ~IParameterChanges() = default;
};

inline constexpr Uid kIParameterChangesIid = MakeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

class IEventList : public FUnknown {
public:
    // [audio] The block's events, by index; addEvent on output lists.
    virtual int32 VST3_CALL getEventCount() = 0;
    virtual tresult VST3_CALL getEvent(int32 index, Event& e) = 0;
    virtual tresult VST3_CALL addEvent(Event& e) = 0;

protected:
    ~IEventList() = default;
};

inline constexpr Uid kIEventListIid = MakeUid(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);

// One process call's work. Any pointer may be null, numSamples 0 (a call that delivers only
// parameter changes), and inputs and outputs may share buffers.
struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

// Queried on the component.
class IAudioProcessor : public FUnknown {
public:
    // [ui] While inactive. kResultTrue when the plug-in takes the arrangements; otherwise it keeps
    // its own and answers kResultFalse.
    virtual tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) = 0;
    // [ui] Agrees with BusInfo::channelCount.
    virtual tresult VST3_CALL getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
    // [ui] kResultTrue or kResultFalse for SymbolicSampleSizes.
    virtual tresult VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) = 0;
    // [ui] Read once setup is done; a change goes through restartComponent(kLatencyChanged).
    virtual uint32 VST3_CALL getLatencySamples() = 0;
    // [ui] While inactive: mode, sample size, largest block, any sample rate.
    virtual tresult VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    // [any] While active, on the user-interface or the audio thread: light work only, no
    // allocation.
    virtual tresult VST3_CALL setProcessing(TBool state) = 0;
    // [audio] One block.
    virtual tresult VST3_CALL process(ProcessData& data) = 0;
    // [ui] Samples the output may ring on after the input falls silent, kNoTail or kInfiniteTail.
    virtual uint32 VST3_CALL getTailSamples() = 0;

protected:
    ~IAudioProcessor() = default;
};

inline constexpr Uid kIAudioProcessorIid = MakeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

// Queried on the component: the ProcessContext fields the plug-in reads. Hosts may send no
// context to a plug-in of SDK 3.7 or later that lacks it.
class IProcessContextRequirements : public FUnknown {
public:
    enum Flags : uint32 {
        kNeedSystemTime = 0x1,
        kNeedContinousTimeSamples = 0x2,
        kNeedProjectTimeMusic = 0x4,
        kNeedBarPositionMusic = 0x8,
        kNeedCycleMusic = 0x10,
        kNeedSamplesToNextClock = 0x20,
        kNeedTempo = 0x40,
        kNeedTimeSignature = 0x80,
        kNeedChord = 0x100,
        kNeedFrameRate = 0x200,
        kNeedTransportState = 0x400,
    };

    // [ui] Once, between initialize and setActive: Flags.
    virtual uint32 VST3_CALL getProcessContextRequirements() = 0;

protected:
    ~IProcessContextRequirements() = default;
};

inline constexpr Uid kIProcessContextRequirementsIid =
    MakeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);

} // namespace vst3
