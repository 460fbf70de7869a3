#pragma once

// The editor as the plug-in drives it. The plug-in base owns the attached editor and destroys
// it first; every call site checks that an editor is attached.
class IGraphics {
public:
    IGraphics() = default;
    virtual ~IGraphics() = default;
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // Size of the panel in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Creates the editor's window inside the host's parent window; answers it, or none.
    virtual void* OpenWindow(void* parent) = 0;
    virtual void CloseWindow() = 0;
    // Creates the drawing surfaces of the panel's size.
    virtual void PrepareDrawing() = 0;
    // Moves the controls bound to parameter index; a plain value is normalised first.
    virtual void SetParameterFromHost(int index, double value, bool normalized) = 0;
    // Redraws every control at the next frame.
    virtual void MarkAllDirty() = 0;
};
