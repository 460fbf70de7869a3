#include "graphics/IKnobControl.h"

#include <cmath>

namespace {

constexpr double kFineFactor = 10.0;
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;

} // namespace

IKnobControl::IKnobControl(IPluginBase* plugin, const IRectangle& rect, int parameter, int blendMethod)
    : IControl(plugin, rect, parameter, blendMethod) {}

void IKnobControl::MouseDrag(int /*x*/, int /*y*/, int dx, int dy, const IMouseState& mouse) {
    const double g = mouse.shift || mouse.control ? gearing * kFineFactor : gearing;
    const double delta = direction == kVertical ? dy / static_cast<double>(rect.T - rect.B) / g
                                                : dx / static_cast<double>(rect.R - rect.L) / g;
    // A zero extent or gearing would make the step infinite or not a number.
    if (!std::isfinite(delta)) {
        return;
    }
    SetValue(Value() + delta);
    MarkDirty(true);
}

void IKnobControl::MouseWheel(int /*x*/, int /*y*/, const IMouseState& mouse, int steps) {
    SetValue(Value() + steps * (mouse.shift || mouse.control ? kFineWheelStep : kWheelStep));
    MarkDirty(true);
}
