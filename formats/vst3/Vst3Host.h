#pragma once

// The VST 3 binary interface: what the host implements for the plug-in outside processing and
// the editor (its application object, state streams, edit notifications, messages between a
// separated component and controller). Every pointer the host passes in is borrowed.

#include "formats/vst3/Vst3Types.h"

namespace vst3 {

// The initialize context.
class IHostApplication : public FUnknown {
public:
    // [ui] The host's name.
    virtual tresult VST3_CALL getName(String128 name) = 0;
    // [ui] Makes a host object (IMessage, IAttributeList), returned with a reference for the
    // caller.
    virtual tresult VST3_CALL createInstance(TUID classId, TUID interfaceId, void** obj) = 0;

protected:
    ~IHostApplication() = default;
};

inline constexpr Uid kIHostApplicationIid = MakeUid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);

// Optional, on the initialize context.
class IPlugInterfaceSupport : public FUnknown {
public:
    // [ui] kResultTrue when the host uses the plug-in interface interfaceId.
    virtual tresult VST3_CALL isPlugInterfaceSupported(const TUID interfaceId) = 0;

protected:
    ~IPlugInterfaceSupport() = default;
};

inline constexpr Uid kIPlugInterfaceSupportIid = MakeUid(0x4FB58B9E, 0x9EAA4E0F, 0xAB361C1C, 0xCCB56FEA);

// restartComponent's reasons.
enum RestartFlags : int32 {
    kReloadComponent = 0x1,
    kIoChanged = 0x2,
    kParamValuesChanged = 0x4,
    kLatencyChanged = 0x8,
    kParamTitlesChanged = 0x10,
    kMidiCCAssignmentChanged = 0x20,
    kNoteExpressionChanged = 0x40,
    kIoTitlesChanged = 0x80,
    kPrefetchableSupportChanged = 0x100,
    kRoutingInfoChanged = 0x200,
    kKeyswitchChanged = 0x400,
    kParamIDMappingChanged = 0x800,
};

// The controller's way to the host. Hosts may answer errors (kNotImplemented); none is fatal.
class IComponentHandler : public FUnknown {
public:
    // [ui] A user gesture on parameter id: begin, each value on the way (normalised), end.
    virtual tresult VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult VST3_CALL endEdit(ParamID id) = 0;
    // [ui] flags: RestartFlags; the host asks again for what changed.
    virtual tresult VST3_CALL restartComponent(int32 flags) = 0;

protected:
    ~IComponentHandler() = default;
};

inline constexpr Uid kIComponentHandlerIid = MakeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

// Optional, queried on the component handler.
class IComponentHandler2 : public FUnknown {
public:
    // [ui] The project holds unsaved plug-in changes.
    virtual tresult VST3_CALL setDirty(TBool state) = 0;
    // [ui] Asks the host to open the view of the given type ("editor").
    virtual tresult VST3_CALL requestOpenEditor(FIDString name) = 0;
    // [ui] Bracket edits of several parameters that belong together.
    virtual tresult VST3_CALL startGroupEdit() = 0;
    virtual tresult VST3_CALL finishGroupEdit() = 0;

protected:
    ~IComponentHandler2() = default;
};

inline constexpr Uid kIComponentHandler2Iid = MakeUid(0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC);

// notifyProgramListChange's program index when the whole list changed.
constexpr int32 kAllProgramInvalid = -1;

// Optional, queried on the component handler.
class IUnitHandler : public FUnknown {
public:
    // [ui] The plug-in selected unit unitId.
    virtual tresult VST3_CALL notifyUnitSelection(UnitID unitId) = 0;
    // [ui] A program of list listId (or kAllProgramInvalid: all of them) changed.
    virtual tresult VST3_CALL notifyProgramListChange(ProgramListID listId, int32 programIndex) = 0;

protected:
    ~IUnitHandler() = default;
};

inline constexpr Uid kIUnitHandlerIid = MakeUid(0x4B5147F8, 0x4654486B, 0x8DAB30BA, 0x163A3C56);

// A state stream: a window into a preset or project file, read and written from its current
// position.
class IBStream : public FUnknown {
public:
    enum IStreamSeekMode : int32 {
        kIBSeekSet = 0,
        kIBSeekCur = 1,
        kIBSeekEnd = 2,
    };

    // [ui] Move up to numBytes; the count moved goes to the last argument when it is not null.
    virtual tresult VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    // [ui] mode: IStreamSeekMode; the new position goes to *result when it is not null.
    virtual tresult VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult VST3_CALL tell(int64* pos) = 0;

protected:
    ~IBStream() = default;
};

inline constexpr Uid kIBStreamIid = MakeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);

// Named values of a message; made by the host.
class IAttributeList : public FUnknown {
public:
    // [ui] Set and get one value under id; string sizes are in bytes. getBinary's data stays the
    // list's.
    virtual tresult VST3_CALL setInt(FIDString id, int64 value) = 0;
    virtual tresult VST3_CALL getInt(FIDString id, int64& value) = 0;
    virtual tresult VST3_CALL setFloat(FIDString id, double value) = 0;
    virtual tresult VST3_CALL getFloat(FIDString id, double& value) = 0;
    virtual tresult VST3_CALL setString(FIDString id, const TChar* string) = 0;
    virtual tresult VST3_CALL getString(FIDString id, TChar* string, uint32 sizeInBytes) = 0;
    virtual tresult VST3_CALL setBinary(FIDString id, const void* data, uint32 sizeInBytes) = 0;
    virtual tresult VST3_CALL getBinary(FIDString id, const void*& data, uint32& sizeInBytes) = 0;

protected:
    ~IAttributeList() = default;
};

inline constexpr Uid kIAttributeListIid = MakeUid(0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4);

// What a separated component and controller send each other; made by the host.
class IMessage : public FUnknown {
public:
    // [ui] The message's name.
    virtual FIDString VST3_CALL getMessageID() = 0;
    virtual void VST3_CALL setMessageID(FIDString id) = 0;
    // [ui] The message's values, borrowed.
    virtual IAttributeList* VST3_CALL getAttributes() = 0;

protected:
    ~IMessage() = default;
};

inline constexpr Uid kIMessageIid = MakeUid(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613);

// Links a separated component and controller, perhaps through host proxies.
class IConnectionPoint : public FUnknown {
public:
    // [ui] The other side, to be kept (with a reference) until disconnect.
    virtual tresult VST3_CALL connect(IConnectionPoint* other) = 0;
    virtual tresult VST3_CALL disconnect(IConnectionPoint* other) = 0;
    // [ui] A message from the other side.
    virtual tresult VST3_CALL notify(IMessage* message) = 0;

protected:
    ~IConnectionPoint() = default;
};

inline constexpr Uid kIConnectionPointIid = MakeUid(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);

} // namespace vst3
