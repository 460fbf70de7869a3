#pragma once

// The VST 2.4 host interface: the published binary layouts and constants that hosts and
// plug-ins exchange. Every layout is checked at compile time for each target.

#include "core/FourCharCode.h"

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

#ifdef _WIN32
#pragma pack(push, 8)
#endif

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstIntPtr = intptr_t;

struct AEffect;

using audioMasterCallback = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                    VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(VSTCALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALLBACK*)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
using AEffectSetParameterProc = void(VSTCALLBACK*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float(VSTCALLBACK*)(AEffect* effect, VstInt32 index);

constexpr VstInt32 kEffectMagic = FourCharCode('V', 's', 't', 'P');

struct AEffect {
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 1,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

enum AEffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effGetEffectName = 45,
    effProcessVarIo = 46,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
};

enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

enum VstPlugCategory : VstInt32 {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

constexpr VstInt32 kVstProcessLevelOffline = 4;

enum VstStringConstants : VstInt32 {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    VstInt32 timeSigNumerator;
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags;
};

enum VstTimeInfoFlags : VstInt32 {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

enum VstEventTypes : VstInt32 {
    kVstMidiType = 1,
    kVstSysExType = 6,
};

struct VstMidiEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes;
    VstIntPtr resvd1;
    char* sysexDump;
    VstIntPtr resvd2;
};

struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];
};

struct ERect {
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

enum VstPinPropertiesFlags : VstInt32 {
    kVstPinIsActive = 1,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
    char label[kVstMaxLabelLen];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};

struct VstSpeakerArrangement {
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

enum VstSpeakerArrangementType : VstInt32 {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

struct MidiKeyName {
    VstInt32 thisProgramIndex;
    VstInt32 thisKeyNumber;
    char keyName[64];
    VstInt32 reserved;
    VstInt32 flags;
};

#ifdef _WIN32
#pragma pack(pop)
#endif

// Layout checks: 64-bit (Linux and Windows) and 32-bit Windows.
#if INTPTR_MAX == INT64_MAX
static_assert(offsetof(AEffect, dispatcher) == 8 && offsetof(AEffect, process) == 16 &&
                  offsetof(AEffect, setParameter) == 24 && offsetof(AEffect, getParameter) == 32,
              "AEffect callbacks");
static_assert(offsetof(AEffect, numPrograms) == 40 && offsetof(AEffect, numParams) == 44 &&
                  offsetof(AEffect, numInputs) == 48 && offsetof(AEffect, numOutputs) == 52 &&
                  offsetof(AEffect, flags) == 56,
              "AEffect counts");
static_assert(offsetof(AEffect, resvd1) == 64 && offsetof(AEffect, resvd2) == 72 &&
                  offsetof(AEffect, initialDelay) == 80 && offsetof(AEffect, realQualities) == 84 &&
                  offsetof(AEffect, offQualities) == 88 && offsetof(AEffect, ioRatio) == 92,
              "AEffect middle");
static_assert(offsetof(AEffect, object) == 96 && offsetof(AEffect, user) == 104 &&
                  offsetof(AEffect, uniqueID) == 112 && offsetof(AEffect, version) == 116 &&
                  offsetof(AEffect, processReplacing) == 120 &&
                  offsetof(AEffect, processDoubleReplacing) == 128 && offsetof(AEffect, future) == 136 &&
                  sizeof(AEffect) == 192,
              "AEffect tail");
static_assert(offsetof(VstMidiSysexEvent, resvd1) == 24 && offsetof(VstMidiSysexEvent, sysexDump) == 32 &&
                  offsetof(VstMidiSysexEvent, resvd2) == 40 && sizeof(VstMidiSysexEvent) == 48,
              "VstMidiSysexEvent");
static_assert(offsetof(VstEvents, reserved) == 8 && offsetof(VstEvents, events) == 16, "VstEvents");
#elif INTPTR_MAX == INT32_MAX
static_assert(offsetof(AEffect, dispatcher) == 4 && offsetof(AEffect, process) == 8 &&
                  offsetof(AEffect, setParameter) == 12 && offsetof(AEffect, getParameter) == 16,
              "AEffect callbacks");
static_assert(offsetof(AEffect, numPrograms) == 20 && offsetof(AEffect, numParams) == 24 &&
                  offsetof(AEffect, numInputs) == 28 && offsetof(AEffect, numOutputs) == 32 &&
                  offsetof(AEffect, flags) == 36,
              "AEffect counts");
static_assert(offsetof(AEffect, resvd1) == 40 && offsetof(AEffect, resvd2) == 44 &&
                  offsetof(AEffect, initialDelay) == 48 && offsetof(AEffect, realQualities) == 52 &&
                  offsetof(AEffect, offQualities) == 56 && offsetof(AEffect, ioRatio) == 60,
              "AEffect middle");
static_assert(offsetof(AEffect, object) == 64 && offsetof(AEffect, user) == 68 &&
                  offsetof(AEffect, uniqueID) == 72 && offsetof(AEffect, version) == 76 &&
                  offsetof(AEffect, processReplacing) == 80 &&
                  offsetof(AEffect, processDoubleReplacing) == 84 && offsetof(AEffect, future) == 88 &&
                  sizeof(AEffect) == 144,
              "AEffect tail");
static_assert(offsetof(VstMidiSysexEvent, resvd1) == 20 && offsetof(VstMidiSysexEvent, sysexDump) == 24 &&
                  offsetof(VstMidiSysexEvent, resvd2) == 28 && sizeof(VstMidiSysexEvent) == 32,
              "VstMidiSysexEvent");
static_assert(offsetof(VstEvents, reserved) == 4 && offsetof(VstEvents, events) == 8, "VstEvents");
#else
#error "unsupported pointer size"
#endif
static_assert(offsetof(AEffect, magic) == 0, "AEffect magic");

static_assert(sizeof(VstTimeInfo) == 88 && offsetof(VstTimeInfo, sampleRate) == 8 &&
                  offsetof(VstTimeInfo, nanoSeconds) == 16 && offsetof(VstTimeInfo, ppqPos) == 24 &&
                  offsetof(VstTimeInfo, tempo) == 32 && offsetof(VstTimeInfo, barStartPos) == 40 &&
                  offsetof(VstTimeInfo, cycleStartPos) == 48 && offsetof(VstTimeInfo, cycleEndPos) == 56,
              "VstTimeInfo positions");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64 &&
                  offsetof(VstTimeInfo, timeSigDenominator) == 68 &&
                  offsetof(VstTimeInfo, smpteOffset) == 72 && offsetof(VstTimeInfo, smpteFrameRate) == 76 &&
                  offsetof(VstTimeInfo, samplesToNextClock) == 80 && offsetof(VstTimeInfo, flags) == 84,
              "VstTimeInfo fields");
static_assert(sizeof(VstEvent) == 32 && offsetof(VstEvent, byteSize) == 4 &&
                  offsetof(VstEvent, deltaFrames) == 8 && offsetof(VstEvent, flags) == 12 &&
                  offsetof(VstEvent, data) == 16,
              "VstEvent");
static_assert(sizeof(VstMidiEvent) == 32 && offsetof(VstMidiEvent, noteLength) == 16 &&
                  offsetof(VstMidiEvent, noteOffset) == 20 && offsetof(VstMidiEvent, midiData) == 24 &&
                  offsetof(VstMidiEvent, detune) == 28 && offsetof(VstMidiEvent, noteOffVelocity) == 29 &&
                  offsetof(VstMidiEvent, reserved1) == 30 && offsetof(VstMidiEvent, reserved2) == 31,
              "VstMidiEvent");
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16, "VstMidiSysexEvent dump size");
static_assert(sizeof(ERect) == 8 && offsetof(ERect, left) == 2 && offsetof(ERect, bottom) == 4 &&
                  offsetof(ERect, right) == 6,
              "ERect");
static_assert(sizeof(VstPinProperties) == 128 && offsetof(VstPinProperties, flags) == 64 &&
                  offsetof(VstPinProperties, arrangementType) == 68 &&
                  offsetof(VstPinProperties, shortLabel) == 72 && offsetof(VstPinProperties, future) == 80,
              "VstPinProperties");
static_assert(sizeof(VstSpeakerProperties) == 112 && offsetof(VstSpeakerProperties, elevation) == 4 &&
                  offsetof(VstSpeakerProperties, radius) == 8 &&
                  offsetof(VstSpeakerProperties, reserved) == 12 &&
                  offsetof(VstSpeakerProperties, name) == 16 && offsetof(VstSpeakerProperties, type) == 80 &&
                  offsetof(VstSpeakerProperties, future) == 84,
              "VstSpeakerProperties");
static_assert(sizeof(VstSpeakerArrangement) == 904 && offsetof(VstSpeakerArrangement, numChannels) == 4 &&
                  offsetof(VstSpeakerArrangement, speakers) == 8,
              "VstSpeakerArrangement");
static_assert(sizeof(MidiKeyName) == 80 && offsetof(MidiKeyName, thisKeyNumber) == 4 &&
                  offsetof(MidiKeyName, keyName) == 8 && offsetof(MidiKeyName, reserved) == 72 &&
                  offsetof(MidiKeyName, flags) == 76,
              "MidiKeyName");
