#pragma once

#include "graphics/IControl.h"

// [any] No lock. The 1-based frame of an n-frame strip that a normalised value shows: the
// nearest frame, halves rounding up, kept within 1..n (1 for strips of one frame or none).
int FrameForValue(int frames, double value);

// Shows the frame of a strip that its value selects. The strip's bitmap belongs to the
// process-wide bitmap cache.
class IBitmapControl : public IControl {
public:
    // [ui] The control covers one frame at (x, y).
    IBitmapControl(IPluginBase* plugin, int x, int y, int parameter, const IFrameBitmap& strip,
                   int blendMethod);

    // [ui] No lock.
    bool Draw(IGraphics& editor) override;

    const IFrameBitmap& Strip() const { return strip; }

protected:
    IFrameBitmap strip;
};

// A bitmap control that steps to its next frame on every click, with any button, wrapping
// from the last frame to the first; a double-click steps it again.
class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    // [ui] Pushes the new value (SetParameterFromEditor takes the plug-in lock).
    void MouseDown(int x, int y, const IMouseState& mouse) override;
    void MouseDoubleClick(int x, int y, const IMouseState& mouse) override;
};
