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
    const int fw = strip.FrameWidth();
    const int fh = strip.FrameHeight();
    switchArea = {x, y, x + fw, y + fh};
    textArea = {x, y + fh - kTextOverlap, x + fw, y + fh + kTextBelow};
    targetRect = switchArea;
    rect = {x, y, x + fw, y + fh + kTextBelow};
}

bool IKSSwitchTextControl::Draw(IGraphics& editor) {
    editor.DrawBitmapFrame(strip, switchArea, FrameForValue(strip.frames, Value()), &blend);
    return DrawKSValueText(editor, Plugin(), ParameterIndex(), textStyle, textArea);
}
