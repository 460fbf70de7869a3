#pragma once

// The plug-in core's view of its editor: the core hands it parameter values and has it make its
// drawing surface; the host bindings size, open, close and idle its window. The editor
// framework's IGraphics implements it; the core owns the editor once it is attached.
class IEditor {
public:
    virtual ~IEditor() = default;

    // [any] Called with the plug-in lock held. Hands a host value (plain values are normalised
    // first) to the controls bound to parameter index; touches only what painting reads
    // atomically.
    virtual void SetParameterFromHost(int index, double value, bool normalized) = 0;
    // [ui] Called with the plug-in lock held. Creates the drawing surface; false when it cannot
    // be made.
    virtual bool PrepareDrawing() = 0;
    // [any] No lock. The window's size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // [any] No lock. How many frames a second the window paints, at the most.
    virtual int FrameRate() const = 0;
    // [ui] No lock. Whether OpenWindow can give a window on this target at all.
    virtual bool CanOpenWindow() const = 0;
    // [ui] Called with the plug-in lock held. Makes the window inside the host's parent window;
    // answers it (owned by the editor), or none.
    virtual void* OpenWindow(void* parent) = 0;
    // [ui] Called with the plug-in lock held.
    virtual void CloseWindow() = 0;
    // [ui] Called without the plug-in lock: the window's events may wait for the display or the
    // user, and the audio thread must not wait with them. The host's idle call, window open or
    // not.
    virtual void Idle() = 0;
    // [ui] No lock. The file descriptor a host's run loop watches for the open window's events,
    // calling Idle when it is readable and on a timer of the frame period; -1 where the window
    // gets its events from the system (Windows) or has none.
    virtual int EventDescriptor() const = 0;
};
