#pragma once

#include "core/IByteBuffer.h"
#include "core/IOwnedList.h"
#include "graphics/IGraphicsRecords.h"

#include <atomic>

class IGraphics;
class IPluginBase;

// The base of everything the editor shows and the user touches: a rectangle on the surface,
// optionally bound to one parameter whose normalised value (0..1) it holds.
//
// Threads: the value, the double-click default and the dirty and redraw flags are written by
// the host's parameter paths (any thread, under the plug-in lock) and read by the user
// interface thread without a lock, so they are atomic (relaxed order suffices: each is one
// independent word). Everything else belongs to the user interface thread.
class IControl {
public:
    // [ui] parameter -1 binds none. The plug-in is not owned.
    IControl(IPluginBase* plugin, const IRectangle& rect, int parameter, int blendMethod);
    virtual ~IControl() = default;
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // [ui] Mouse and key events from the editor's dispatch; no lock, except where a value is
    // pushed to the plug-in (SetParameterFromEditor takes the plug-in lock).
    // The base opens the value prompt on a right-button press.
    virtual void MouseDown(int x, int y, const IMouseState& mouse);
    virtual void MouseUp(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {}
    virtual void MouseDrag(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/, const IMouseState& /*mouse*/) {}
    // The base restores the double-click default, if there is one, and pushes it.
    virtual void MouseDoubleClick(int x, int y, const IMouseState& mouse);
    virtual void MouseWheel(int /*x*/, int /*y*/, const IMouseState& /*mouse*/, int /*steps*/) {}
    virtual bool KeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }
    virtual void MouseOver(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {}
    virtual void MouseOut() {}
    // [ui] Draws into the editor's surface; answers false when something could not be drawn.
    virtual bool Draw(IGraphics& editor) = 0;

    // [any] Called with the plug-in lock held by the host's paths. The first value received
    // also becomes the double-click default; a changed value marks the control dirty and
    // requests one more redraw. Never pushes back to the plug-in.
    virtual void SetValueFromHost(double v);
    // [ui] A value chosen in a menu or text entry: pushed to the plug-in when it differs.
    virtual void SetValueFromUser(double v);
    virtual void SetTextFromUser(const char* /*text*/) {}
    // [ui] No lock.
    virtual void SetHidden(bool hide);
    // [ui] No lock. A greyed control is not hit and is drawn at weight 0.25.
    virtual void SetGreyed(bool grey);
    // [ui] No lock. Whether (x, y) lies in the target rectangle.
    virtual bool HitTest(int x, int y) const;
    // [any] Clamps the value into the clamp range and marks the control dirty; with push (user
    // interface thread only) hands the value to the plug-in's SetParameterFromEditor, which
    // takes the plug-in lock. A value that is not a number becomes the low clamp first, so
    // nothing but finite values ever reaches a parameter.
    virtual void MarkDirty(bool push);
    // [ui] No lock. The redraw request becomes the next dirty flag.
    virtual void MarkClean();
    // [any] No lock.
    virtual bool IsDirty() const { return (state.load(std::memory_order_relaxed) & kDirty) != 0; }
    // [any] Called with the plug-in lock held: the value of auxiliary binding index.
    virtual void SetAuxValueFromHost(int index, double v);

    // [ui] Right-click prompt: a menu or text entry for the bound parameter, unless prompts are
    // disabled or the control binds none.
    void PromptForValue();

    // [ui] Binds one more parameter that the control follows; false when the list cannot grow.
    bool AddAuxParameter(int parameter);
    // [any] No lock.
    int AuxParameterCount() const { return auxBindings.Count(); }
    int AuxParameter(int index) const;
    double AuxValue(int index) const;

    // [any] No lock.
    double Value() const { return value.load(std::memory_order_relaxed); }
    double DefaultValue() const { return defaultValue.load(std::memory_order_relaxed); }
    bool RedrawRequested() const { return (state.load(std::memory_order_relaxed) & kRedrawRequested) != 0; }
    int ParameterIndex() const { return parameter; }
    // [ui] No lock. The editor that owns the control (set when it takes the control), or none.
    IGraphics* Editor() const { return editor; }
    // [ui] No lock.
    const IRectangle& Rect() const { return rect; }
    const IRectangle& TargetRect() const { return targetRect; }
    const IBlend& Blend() const { return blend; }
    ITextStyle& TextStyle() { return textStyle; }
    bool IsHidden() const { return hidden; }
    bool IsGreyed() const { return greyed; }
    bool DoubleClickAsPress() const { return doubleClickAsPress; }
    bool MouseOverWhenGreyed() const { return mouseOverWhenGreyed; }
    bool PromptDisabled() const { return promptDisabled; }
    void SetPromptDisabled(bool disabled) { promptDisabled = disabled; }
    void SetClamp(double low, double high);
    void SetDoubleClickAsPress(bool asPress) { doubleClickAsPress = asPress; }
    void SetMouseOverWhenGreyed(bool overWhenGreyed) { mouseOverWhenGreyed = overWhenGreyed; }
    // [ui] No lock. Most characters the in-place text entry takes.
    int TextEntryLength() const { return textEntryLength; }
    void SetTextEntryLength(int length) { textEntryLength = length; }
    // [ui] No lock. The text shown while the mouse rests on the control (empty: none); the
    // control owns it. SetTooltip copies text and answers false when it could not.
    const char* Tooltip() const;
    bool SetTooltip(const char* text);

protected:
    // [ui] For derived controls: set the value without marking anything.
    void SetValue(double v) { value.store(v, std::memory_order_relaxed); }
    void SetDefaultValue(double v) { defaultValue.store(v, std::memory_order_relaxed); }
    void RequestRedraw() { state.fetch_or(kRedrawRequested, std::memory_order_relaxed); }
    IPluginBase* Plugin() const { return plugin; }

    ITextStyle textStyle;
    IRectangle rect;
    IRectangle targetRect;
    IBlend blend;

private:
    // Keeps the value inside the clamp range (a value that is not a number becomes the low
    // clamp); answers it.
    double ClampValue();
    // Clamps the value, then marks it dirty and requests one more redraw in one step.
    void MarkChanged();

    struct AuxBinding {
        explicit AuxBinding(int parameter) : parameter(parameter) {}
        std::atomic<double> value{0.0};
        int parameter;
    };

    // The editor sets its own address when it takes the control.
    friend class IGraphics;

    IPluginBase* plugin;
    IGraphics* editor = nullptr;
    int parameter;
    IOwnedList<AuxBinding> auxBindings;
    std::atomic<double> value{0.0};
    std::atomic<double> defaultValue{-1.0}; // negative: none yet
    double clampLow = 0.0;
    double clampHigh = 1.0;
    // The dirty flag and the redraw request share one word, so that a host thread marking the
    // control while the paint pass cleans it can never leave a change undrawn.
    static constexpr unsigned kDirty = 1;
    static constexpr unsigned kRedrawRequested = 2;
    std::atomic<unsigned> state{kDirty};
    IByteBuffer tooltip{64};
    int textEntryLength = 7;
    bool hidden = false;
    bool greyed = false;
    bool promptDisabled = true;
    bool doubleClickAsPress = false;
    bool mouseOverWhenGreyed = false;
};
