#include "graphics/IBitmapControl.h"

#include "graphics/IGraphics.h"

namespace {

// A step past 1 by more than rounding error wraps the switch to its first frame.
constexpr double kSwitchWrapLimit = 1.001;

IRectangle FrameRectangle(int x, int y, const IFrameBitmap& strip) {
    return {x, y, x + strip.FrameWidth(), y + strip.FrameHeight()};
}

} // namespace

int FrameForValue(int frames, double value) {
    if (frames <= 1) {
        return 1;
    }
    const double position = (frames - 1) * value + 0.5;
    if (!(position >= 0.0)) {
        return 1;
    }
    return position >= frames ? frames : static_cast<int>(position) + 1;
}

IBitmapControl::IBitmapControl(IPluginBase* plugin, int x, int y, int parameter, const IFrameBitmap& strip,
                               int blendMethod)
    : IControl(plugin, FrameRectangle(x, y, strip), parameter, blendMethod), strip(strip) {}

bool IBitmapControl::Draw(IGraphics& editor) {
    return editor.DrawBitmapFrame(strip, rect, FrameForValue(strip.frames, Value()), &blend);
}

void ISwitchControl::MouseDown(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {
    double v = Value() + (strip.frames >= 2 ? 1.0 / (strip.frames - 1) : 1.0);
    if (v > kSwitchWrapLimit) {
        v = 0.0;
    }
    SetValue(v);
    MarkDirty(true);
}

void ISwitchControl::MouseDoubleClick(int x, int y, const IMouseState& mouse) {
    ISwitchControl::MouseDown(x, y, mouse);
}
