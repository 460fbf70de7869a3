#pragma once

// The VST 3 binary interface: the edit controller with its parameters, and the units and
// program lists it describes.

#include "formats/vst3/Vst3Host.h"
#include "formats/vst3/Vst3Types.h"
#include "formats/vst3/Vst3View.h"

namespace vst3 {

struct ParameterInfo {
    enum ParameterFlags : int32 {
        kNoFlags = 0,
        kCanAutomate = 0x1,
        kIsReadOnly = 0x2,
        kIsWrapAround = 0x4,
        kIsList = 0x8,
        kIsHidden = 0x10,
        kIsProgramChange = 0x8000,
        kIsBypass = 0x10000,
    };

    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    // 0: continuous; N: N + 1 values at normalised steps of 1 / N.
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

// Plug-in parameter ids lie in [kMinParamId, kMaxParamId]; the upper half belongs to hosts.
constexpr ParamID kNoParamId = 0xFFFFFFFF;
constexpr ParamID kMinParamId = 0;
constexpr ParamID kMaxParamId = 0x7FFFFFFF;

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

using KnobMode = int32;

enum KnobModes : KnobMode {
    kCircularMode = 0,
    kRelativCircularMode = 1,
    kLinearMode = 2,
};

// The plug-in's parameters and editor for the host. A single object may implement it beside
// IComponent: the controller's own state slots are named apart from the component's.
class IEditController : public IPluginBase {
public:
    // [ui] The component's state (its getState): parameter values follow it.
    virtual tresult VST3_CALL setComponentState(IBStream* state) = 0;
    // [ui] The controller's own state, which may be empty.
    virtual tresult VST3_CALL setControllerState(IBStream* state) = 0;
    virtual tresult VST3_CALL getControllerState(IBStream* state) = 0;
    // [ui] The parameters by index, with stable ids.
    virtual int32 VST3_CALL getParameterCount() = 0;
    virtual tresult VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    // [ui] Display text and its parse, normalised values.
    virtual tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string) = 0;
    virtual tresult VST3_CALL getParamValueByString(ParamID id, TChar* string,
                                                    ParamValue& valueNormalized) = 0;
    // [ui] Conversions between normalised and plain values.
    virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    // [ui] The current value; the host's setting never goes back to it through the handler.
    virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    // [ui] The host's handler (borrowed), or null; may never come.
    virtual tresult VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    // [ui] A new view of type name ("editor") with one reference for the caller, or null.
    virtual IPlugView* VST3_CALL createView(FIDString name) = 0;

protected:
    ~IEditController() = default;
};

inline constexpr Uid kIEditControllerIid = MakeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

// Optional, beside IEditController. kResultFalse: not supported.
class IEditController2 : public FUnknown {
public:
    // [ui] How knobs follow the mouse: KnobModes.
    virtual tresult VST3_CALL setKnobMode(KnobMode mode) = 0;
    // [ui] With onlyCheck, answers only whether the plug-in would open it.
    virtual tresult VST3_CALL openHelp(TBool onlyCheck) = 0;
    virtual tresult VST3_CALL openAboutBox(TBool onlyCheck) = 0;

protected:
    ~IEditController2() = default;
};

inline constexpr Uid kIEditController2Iid = MakeUid(0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038);

// Beside IEditController: the units (a root unit with id kRootUnitId) and program lists.
class IUnitInfo : public FUnknown {
public:
    // [ui] The units by index.
    virtual int32 VST3_CALL getUnitCount() = 0;
    virtual tresult VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    // [ui] The program lists by index, and their programs.
    virtual int32 VST3_CALL getProgramListCount() = 0;
    virtual tresult VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult VST3_CALL getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
    virtual tresult VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex, FIDString attributeId,
                                             String128 attributeValue) = 0;
    virtual tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                                  String128 name) = 0;
    // [ui] The unit the plug-in shows.
    virtual UnitID VST3_CALL getSelectedUnit() = 0;
    virtual tresult VST3_CALL selectUnit(UnitID unitId) = 0;
    // [ui] The unit a bus channel belongs to.
    virtual tresult VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                           UnitID& unitId) = 0;
    // [ui] A program's data for a list or unit (with IProgramListData).
    virtual tresult VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;

protected:
    ~IUnitInfo() = default;
};

inline constexpr Uid kIUnitInfoIid = MakeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);

// Optional, on the component: each program's data as a stream.
class IProgramListData : public FUnknown {
public:
    // [ui] kResultTrue when list listId has program data.
    virtual tresult VST3_CALL programDataSupported(ProgramListID listId) = 0;
    virtual tresult VST3_CALL getProgramData(ProgramListID listId, int32 programIndex, IBStream* data) = 0;
    virtual tresult VST3_CALL setProgramData(ProgramListID listId, int32 programIndex, IBStream* data) = 0;

protected:
    ~IProgramListData() = default;
};

inline constexpr Uid kIProgramListDataIid = MakeUid(0x8683B01F, 0x7B354F70, 0xA2651DEC, 0x353AF4FF);

} // namespace vst3
