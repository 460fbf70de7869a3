#pragma once

#include "graphics/IControl.h"

// Turns vertical (or horizontal) mouse movement and the wheel into value changes; Shift or
// Control makes the movement ten times finer. Drawing is left to the derived control.
class IKnobControl : public IControl {
public:
    enum Direction : int { kVertical = 0, kHorizontal = 1 };

    // [ui] Vertical, with gearing 4: a drag over the whole height moves the value by 0.25.
    IKnobControl(IPluginBase* plugin, const IRectangle& rect, int parameter, int blendMethod);

    // [ui] Both push the new value (SetParameterFromEditor takes the plug-in lock). A drag
    // over a control without extent in its direction changes nothing.
    void MouseDrag(int x, int y, int dx, int dy, const IMouseState& mouse) override;
    void MouseWheel(int x, int y, const IMouseState& mouse, int steps) override;

protected:
    Direction direction = kVertical;
    double gearing = 4.0;
};
