#include "controls/IKSKnobMultiControlText.h"

#include "controls/IKSValueText.h"
#include "core/IPluginBase.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IGraphics.h"

#include <cmath>

namespace {

// The value text's box: 8 pixels below the knob, 14 pixels high.
constexpr int kTextGap = 8;
constexpr int kTextBottom = 22;

IRectangle KnobControlRect(int x, int y, const IFrameBitmap& strip) {
    return {x, y, x + strip.width, y + kTextBottom + strip.FrameHeight()};
}

// The parameter's default in normalised form, so a double-click restores it.
double NormalizedDefault(const IPluginBase* plugin, int parameter) {
    const IParameter* bound = plugin != nullptr ? plugin->ParameterAt(parameter) : nullptr;
    if (bound == nullptr) {
        return -1.0;
    }
    return std::pow((bound->DefaultValue() - bound->Min()) / (bound->Max() - bound->Min()),
                    1.0 / bound->Shape());
}

} // namespace

IKSKnobMultiControlText::IKSKnobMultiControlText(IPluginBase* plugin, int x, int y, int parameter,
                                                 const IFrameBitmap& strip)
    : IKnobControl(plugin, KnobControlRect(x, y, strip), parameter, 0), strip(strip) {
    textStyle = KSValueTextStyle();
    const int fw = strip.FrameWidth();
    const int fh = strip.FrameHeight();
    knobArea = {x, y, x + fw, y + fh};
    textArea = {x, y + fh + kTextGap, x + fw, y + fh + kTextBottom};
    SetDefaultValue(NormalizedDefault(plugin, parameter));
    SetPromptDisabled(true);
}

bool IKSKnobMultiControlText::Draw(IGraphics& editor) {
    editor.DrawBitmapFrame(strip, knobArea, FrameForValue(strip.frames, Value()), &blend);
    return DrawKSValueText(editor, Plugin(), ParameterIndex(), textStyle, textArea);
}
