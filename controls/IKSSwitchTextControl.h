#pragma once

#include "graphics/IBitmapControl.h"

// A toggle switch that prints its parameter's display text under the lever. Clicks are taken
// on the lever only; every redraw covers the text too.
class IKSSwitchTextControl : public ISwitchControl {
public:
    // [ui] The lever's frame at (x, y); the text box overlaps its bottom 3 pixels.
    IKSSwitchTextControl(IPluginBase* plugin, int x, int y, int parameter, const IFrameBitmap& strip);

    // [ui] No lock: the text comes from the parameter's atomic value and display function.
    bool Draw(IGraphics& editor) override;

    const IRectangle& SwitchArea() const { return switchArea; }
    const IRectangle& TextArea() const { return textArea; }

private:
    IRectangle textArea;
    IRectangle switchArea;
};
