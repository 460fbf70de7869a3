#include "controls/IKSSwitchTextControl.h"

#include "controls/IKSValueText.h"
#include "graphics/IGraphics.h"

namespace {

constexpr int kTextOverlap = 3;
constexpr int kTextBelow = 16;

} // namespace

IKSSwitchTextControl::IKSSwitchTextControl(IPluginBase* plugin, int x, int y, int parameter,
                                           const IFrameBitmap& strip)
    : ISwitchControl(plugin, x, y, parameter, strip, 0) {
    textStyle = KSValueTextStyle();
    SetPromptDisabled(true);
    // The switch's own rectangle is one frame at (x, y): the lever and the hit area. The text
    // below widens what is drawn.
    switchArea = rect;
    targetRect = rect;
    textArea = {rect.L, rect.B - kTextOverlap, rect.R, rect.B + kTextBelow};
    rect.B += kTextBelow;
}

bool IKSSwitchTextControl::Draw(IGraphics& editor) {
    editor.DrawBitmapFrame(strip, switchArea, FrameForValue(strip.frames, Value()), &blend);
    return DrawKSValueText(editor, Plugin(), ParameterIndex(), textStyle, textArea);
}
