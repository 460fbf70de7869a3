#pragma once

// The VST 3 binary interface: the plug-in's editor view inside the host's window, the host's
// frame around it and, on Linux, the host's run loop that drives it.

#include "formats/vst3/Vst3Types.h"

namespace vst3 {

// In physical pixels.
struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

namespace ViewType {
inline constexpr char8 kEditor[] = "editor";
} // namespace ViewType

// The parent window attached gives: an HWND, or an X11 window id carried in the pointer.
inline constexpr char8 kPlatformTypeHWND[] = "HWND";
inline constexpr char8 kPlatformTypeX11EmbedWindowID[] = "X11EmbedWindowID";

class IPlugFrame;

// Made by createView, owned by the host, never outliving its controller.
class IPlugView : public FUnknown {
public:
    // [ui] kResultTrue for the platform type this build can open in.
    virtual tresult VST3_CALL isPlatformTypeSupported(FIDString type) = 0;
    // [ui] Makes the view's child window inside parent, and destroys it.
    virtual tresult VST3_CALL attached(void* parent, FIDString type) = 0;
    virtual tresult VST3_CALL removed() = 0;
    // [ui] Input the host forwards: kResultTrue only when the view used it, so the host's
    // shortcuts keep working.
    virtual tresult VST3_CALL onWheel(float distance) = 0;
    virtual tresult VST3_CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult VST3_CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    // [ui] The current size, also before attached.
    virtual tresult VST3_CALL getSize(ViewRect* size) = 0;
    // [ui] The host resized its window: the view follows now.
    virtual tresult VST3_CALL onSize(ViewRect* newSize) = 0;
    virtual tresult VST3_CALL onFocus(TBool state) = 0;
    // [ui] The host's frame (borrowed), or null before removed.
    virtual tresult VST3_CALL setFrame(IPlugFrame* frame) = 0;
    // [ui] kResultFalse for a fixed size; otherwise checkSizeConstraint moves a proposed size to
    // the nearest the view takes.
    virtual tresult VST3_CALL canResize() = 0;
    virtual tresult VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;

protected:
    ~IPlugView() = default;
};

inline constexpr Uid kIPlugViewIid = MakeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

// The host's side of a view; on Linux it also offers Linux::IRunLoop.
class IPlugFrame : public FUnknown {
public:
    // [ui] Asks for a new size; the host answers through the view's onSize.
    virtual tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;

protected:
    ~IPlugFrame() = default;
};

inline constexpr Uid kIPlugFrameIid = MakeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

// Optional, on the view.
class IPlugViewContentScaleSupport : public FUnknown {
public:
    // [ui] The monitor's scale, at any time the view exists; kResultTrue when the view follows it.
    virtual tresult VST3_CALL setContentScaleFactor(float factor) = 0;

protected:
    ~IPlugViewContentScaleSupport() = default;
};

inline constexpr Uid kIPlugViewContentScaleSupportIid =
    MakeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);

// Linux has no process-wide event loop: the host's user-interface loop calls the plug-in's
// handlers, which the host keeps with a reference until they are unregistered.
namespace Linux {

using TimerInterval = uint64;
using FileDescriptor = int;

class IEventHandler : public FUnknown {
public:
    // [ui] fd is readable.
    virtual void VST3_CALL onFDIsSet(FileDescriptor fd) = 0;

protected:
    ~IEventHandler() = default;
};

inline constexpr Uid kIEventHandlerIid = MakeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

class ITimerHandler : public FUnknown {
public:
    // [ui] Every interval, until unregistered.
    virtual void VST3_CALL onTimer() = 0;

protected:
    ~ITimerHandler() = default;
};

inline constexpr Uid kITimerHandlerIid = MakeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

// Queried on the IPlugFrame or the factory's host context. Some hosts answer kNotImplemented.
class IRunLoop : public FUnknown {
public:
    // [ui] One handler per descriptor.
    virtual tresult VST3_CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
    virtual tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;
    // [ui] milliseconds above 0.
    virtual tresult VST3_CALL registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0;
    virtual tresult VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;

protected:
    ~IRunLoop() = default;
};

inline constexpr Uid kIRunLoopIid = MakeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

} // namespace Linux

} // namespace vst3
