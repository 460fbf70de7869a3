#pragma once

#include "formats/vst3/Vst3Object.h"
#include "formats/vst3/Vst3View.h"

#include <atomic>

class IPluginVST3;

// The editor in the host's window: an HWND child on Windows; on Linux an X11 child driven by the
// host's run loop, which watches the editor's display connection and calls a timer of the frame
// period, so the editor needs no thread and no idle call. The panel has one size.
//
// Threads: everything on the host's user-interface thread. The window's operations hold the
// plug-in lock, the run loop's calls do not (the window's events may wait for the display or
// the user, and the audio thread must not wait with them).
class Vst3PluginView final : public vst3::IPlugView,
                             public vst3::IPlugViewContentScaleSupport
#ifndef _WIN32
    ,
                             public vst3::Linux::IEventHandler,
                             public vst3::Linux::ITimerHandler
#endif
{
public:
    // [ui] A view of owner's editor, reference count 1 (the caller's); none when memory ran out.
    static Vst3PluginView* Create(IPluginVST3* owner);
    Vst3PluginView(const Vst3PluginView&) = delete;
    Vst3PluginView& operator=(const Vst3PluginView&) = delete;

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID interfaceId, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override;
    vst3::uint32 VST3_CALL release() override;

    vst3::tresult VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
    // Opens the editor's window in parent; on Linux only with the frame's run loop to drive it.
    vst3::tresult VST3_CALL attached(void* parent, vst3::FIDString type) override;
    vst3::tresult VST3_CALL removed() override;
    vst3::tresult VST3_CALL onWheel(float distance) override;
    vst3::tresult VST3_CALL onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult VST3_CALL onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult VST3_CALL getSize(vst3::ViewRect* size) override;
    vst3::tresult VST3_CALL onSize(vst3::ViewRect* newSize) override;
    vst3::tresult VST3_CALL onFocus(vst3::TBool state) override;
    vst3::tresult VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult VST3_CALL canResize() override;
    vst3::tresult VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;
    // The panel is drawn at one scale: kResultFalse.
    vst3::tresult VST3_CALL setContentScaleFactor(float factor) override;
#ifndef _WIN32
    void VST3_CALL onFDIsSet(vst3::Linux::FileDescriptor fd) override;
    void VST3_CALL onTimer() override;
#endif

private:
    explicit Vst3PluginView(IPluginVST3* owner);
    ~Vst3PluginView();
    // The host's run loop stops calling this view.
    void Unregister();
    // The window's events and the frame timer.
    void Run();

    Vst3References references;
    IPluginVST3* owner;
    vst3::IPlugFrame* frame = nullptr;
    bool open = false;
#ifndef _WIN32
    vst3::Linux::IRunLoop* runLoop = nullptr;
#endif
};
