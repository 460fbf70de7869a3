#pragma once

#include "graphics/IKnobControl.h"

// The phaser's knob: one frame of a rotary strip and, 8 pixels under it, the bound parameter's
// display text. Mouse handling is IKnobControl's; a double-click restores the parameter's
// default.
class IKSKnobMultiControlText : public IKnobControl {
public:
    // [ui] The knob's frame at (x, y); the text box 14 pixels high below it. The strip's bitmap
    // belongs to the bitmap cache.
    IKSKnobMultiControlText(IPluginBase* plugin, int x, int y, int parameter, const IFrameBitmap& strip);

    // [ui] No lock: the text comes from the parameter's atomic value and display function.
    bool Draw(IGraphics& editor) override;

    const IRectangle& KnobArea() const { return knobArea; }
    const IRectangle& TextArea() const { return textArea; }

private:
    IRectangle textArea;
    IRectangle knobArea;
    IFrameBitmap strip;
};
