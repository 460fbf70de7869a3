#include "formats/vst3/Vst3Controller.h"
#include "formats/vst3/Vst3Factory.h"
#include "formats/vst3/Vst3Host.h"
#include "formats/vst3/Vst3Processor.h"
#include "formats/vst3/Vst3Types.h"
#include "formats/vst3/Vst3View.h"

#include <cstddef>
#include <type_traits>

// Compile-time checks of the declarations against the published numbers of the target being
// compiled: 64-bit Linux, 64-bit Windows or 32-bit Windows. A host reads these layouts and
// identifiers as raw bytes, so any difference is a crash or a missing plug-in.

namespace vst3 {
namespace {

#if defined(_WIN64)
constexpr int kTarget = 1;
#elif defined(_WIN32)
constexpr int kTarget = 2;
#else
constexpr int kTarget = 0;
#endif

// The number given for the target being compiled.
constexpr std::size_t OnTarget(std::size_t linux64, std::size_t windows64, std::size_t windows32) {
    const std::size_t numbers[] = {linux64, windows64, windows32};
    return numbers[kTarget];
}

constexpr int HexDigit(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// Whether the identifier's bytes in memory order read as hex, upper-case digits in groups.
constexpr bool HasBytes(const Uid& uid, const char* hex) {
    int count = 0;
    while (*hex != '\0') {
        if (*hex == ' ') {
            ++hex;
            continue;
        }
        if (count == 16 ||
            static_cast<unsigned char>(uid.bytes[count]) != HexDigit(hex[0]) * 16 + HexDigit(hex[1])) {
            return false;
        }
        hex += 2;
        ++count;
    }
    return count == 16;
}

} // namespace

#ifdef _WIN32
static_assert(HasBytes(kIPluginBaseIid, "DB8D8822 6E15AE45 8358B348 08190625"), "IPluginBase id");
static_assert(HasBytes(kIComponentIid, "31FF31E8 D5F20143 928EBBEE 25697802"), "IComponent id");
static_assert(HasBytes(kIEditControllerIid, "E3BBD7DC 42778D44 A874AACC 979C759E"), "IEditController id");
#else
static_assert(HasBytes(kIPluginBaseIid, "22888DDB 156E45AE 8358B348 08190625"), "IPluginBase id");
static_assert(HasBytes(kIComponentIid, "E831FF31 F2D54301 928EBBEE 25697802"), "IComponent id");
static_assert(HasBytes(kIEditControllerIid, "DCD7BBE3 7742448D A874AACC 979C759E"), "IEditController id");
#endif

#if defined(_WIN32) && !defined(_WIN64)
static_assert(std::is_same_v<decltype(&FUnknown::release), uint32 (__stdcall FUnknown::*)()> &&
                  std::is_same_v<GetFactoryProc, IPluginFactory*(__stdcall*)()>,
              "interface methods pop their arguments");
#endif

static_assert(sizeof(FIDString) == OnTarget(8, 8, 4) && sizeof(void*) == sizeof(FIDString), "pointers");
static_assert(sizeof(TBool) == 1 && sizeof(char16) == 2 && sizeof(TUID) == 16 && alignof(TUID) == 1 &&
                  sizeof(String128) == 256 && alignof(String128) == 2,
              "basic types");
static_assert(alignof(int64) == 8 && alignof(ParamValue) == 8 && alignof(SpeakerArrangement) == 8,
              "8-byte types align to 8 in structures on every target");

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4 &&
                  offsetof(PFactoryInfo, vendor) == 0 && offsetof(PFactoryInfo, url) == 64 &&
                  offsetof(PFactoryInfo, email) == 320 && offsetof(PFactoryInfo, flags) == 448,
              "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4 && offsetof(PClassInfo, cid) == 0 &&
                  offsetof(PClassInfo, cardinality) == 16 && offsetof(PClassInfo, category) == 20 &&
                  offsetof(PClassInfo, name) == 52,
              "PClassInfo");
static_assert(sizeof(PClassInfo2) == 440 && alignof(PClassInfo2) == 4 && offsetof(PClassInfo2, cid) == 0 &&
                  offsetof(PClassInfo2, cardinality) == 16 && offsetof(PClassInfo2, category) == 20 &&
                  offsetof(PClassInfo2, name) == 52 && offsetof(PClassInfo2, classFlags) == 116 &&
                  offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, vendor) == 248 &&
                  offsetof(PClassInfo2, version) == 312 && offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2");
static_assert(sizeof(PClassInfoW) == 696 && alignof(PClassInfoW) == 4 && offsetof(PClassInfoW, cid) == 0 &&
                  offsetof(PClassInfoW, cardinality) == 16 && offsetof(PClassInfoW, category) == 20 &&
                  offsetof(PClassInfoW, name) == 52 && offsetof(PClassInfoW, classFlags) == 180 &&
                  offsetof(PClassInfoW, subCategories) == 184 && offsetof(PClassInfoW, vendor) == 312 &&
                  offsetof(PClassInfoW, version) == 440 && offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW");

static_assert(sizeof(BusInfo) == 276 && alignof(BusInfo) == 4 && offsetof(BusInfo, mediaType) == 0 &&
                  offsetof(BusInfo, direction) == 4 && offsetof(BusInfo, channelCount) == 8 &&
                  offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268 &&
                  offsetof(BusInfo, flags) == 272,
              "BusInfo");
static_assert(sizeof(RoutingInfo) == 12 && alignof(RoutingInfo) == 4 &&
                  offsetof(RoutingInfo, mediaType) == 0 && offsetof(RoutingInfo, busIndex) == 4 &&
                  offsetof(RoutingInfo, channel) == 8,
              "RoutingInfo");
static_assert(sizeof(ProcessSetup) == 24 && alignof(ProcessSetup) == 8 &&
                  offsetof(ProcessSetup, processMode) == 0 &&
                  offsetof(ProcessSetup, symbolicSampleSize) == 4 &&
                  offsetof(ProcessSetup, maxSamplesPerBlock) == 8 && offsetof(ProcessSetup, sampleRate) == 16,
              "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24 && alignof(AudioBusBuffers) == 8 &&
                  offsetof(AudioBusBuffers, numChannels) == 0 &&
                  offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16 &&
                  offsetof(AudioBusBuffers, channelBuffers64) == 16,
              "AudioBusBuffers");
static_assert(sizeof(ProcessData) == OnTarget(80, 80, 48) && alignof(ProcessData) == OnTarget(8, 8, 4) &&
                  offsetof(ProcessData, processMode) == 0 && offsetof(ProcessData, symbolicSampleSize) == 4 &&
                  offsetof(ProcessData, numSamples) == 8 && offsetof(ProcessData, numInputs) == 12 &&
                  offsetof(ProcessData, numOutputs) == 16,
              "ProcessData counts");
static_assert(offsetof(ProcessData, inputs) == OnTarget(24, 24, 20) &&
                  offsetof(ProcessData, outputs) == OnTarget(32, 32, 24) &&
                  offsetof(ProcessData, inputParameterChanges) == OnTarget(40, 40, 28) &&
                  offsetof(ProcessData, outputParameterChanges) == OnTarget(48, 48, 32) &&
                  offsetof(ProcessData, inputEvents) == OnTarget(56, 56, 36) &&
                  offsetof(ProcessData, outputEvents) == OnTarget(64, 64, 40) &&
                  offsetof(ProcessData, processContext) == OnTarget(72, 72, 44),
              "ProcessData pointers");
static_assert(sizeof(ProcessContext) == 112 && alignof(ProcessContext) == 8 &&
                  offsetof(ProcessContext, state) == 0 && offsetof(ProcessContext, sampleRate) == 8 &&
                  offsetof(ProcessContext, projectTimeSamples) == 16 &&
                  offsetof(ProcessContext, systemTime) == 24 &&
                  offsetof(ProcessContext, continousTimeSamples) == 32 &&
                  offsetof(ProcessContext, projectTimeMusic) == 40 &&
                  offsetof(ProcessContext, barPositionMusic) == 48 &&
                  offsetof(ProcessContext, cycleStartMusic) == 56 &&
                  offsetof(ProcessContext, cycleEndMusic) == 64 && offsetof(ProcessContext, tempo) == 72,
              "ProcessContext positions");
static_assert(offsetof(ProcessContext, timeSigNumerator) == 80 &&
                  offsetof(ProcessContext, timeSigDenominator) == 84 &&
                  offsetof(ProcessContext, chord) == 88 &&
                  offsetof(ProcessContext, smpteOffsetSubframes) == 92 &&
                  offsetof(ProcessContext, frameRate) == 96 &&
                  offsetof(ProcessContext, samplesToNextClock) == 104,
              "ProcessContext fields");
static_assert(sizeof(ProcessContext::Chord) == 4 && alignof(ProcessContext::Chord) == 2 &&
                  offsetof(ProcessContext::Chord, rootNote) == 1 &&
                  offsetof(ProcessContext::Chord, chordMask) == 2 && sizeof(ProcessContext::FrameRate) == 8 &&
                  alignof(ProcessContext::FrameRate) == 4 && offsetof(ProcessContext::FrameRate, flags) == 4,
              "Chord, FrameRate");

static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8 &&
                  offsetof(ParameterInfo, id) == 0 && offsetof(ParameterInfo, title) == 4 &&
                  offsetof(ParameterInfo, shortTitle) == 260 && offsetof(ParameterInfo, units) == 516 &&
                  offsetof(ParameterInfo, stepCount) == 772 &&
                  offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(ParameterInfo, unitId) == 784 && offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo");
static_assert(sizeof(UnitInfo) == 268 && alignof(UnitInfo) == 4 && offsetof(UnitInfo, id) == 0 &&
                  offsetof(UnitInfo, parentUnitId) == 4 && offsetof(UnitInfo, name) == 8 &&
                  offsetof(UnitInfo, programListId) == 264,
              "UnitInfo");
static_assert(sizeof(ProgramListInfo) == 264 && alignof(ProgramListInfo) == 4 &&
                  offsetof(ProgramListInfo, id) == 0 && offsetof(ProgramListInfo, name) == 4 &&
                  offsetof(ProgramListInfo, programCount) == 260,
              "ProgramListInfo");

static_assert(sizeof(ViewRect) == 16 && alignof(ViewRect) == 4 && offsetof(ViewRect, left) == 0 &&
                  offsetof(ViewRect, top) == 4 && offsetof(ViewRect, right) == 8 &&
                  offsetof(ViewRect, bottom) == 12,
              "ViewRect");

} // namespace vst3
