#include "graphics/IControl.h"

#include "core/IPluginBase.h"
#include "graphics/IGraphics.h"

#include <new>

namespace {

constexpr float kGreyedWeight = 0.25f;
// The text entry box a prompt opens over a control without value texts.
constexpr int kPromptHalfWidth = 20;
constexpr int kPromptHalfHeight = 8;

} // namespace

IControl::IControl(IPluginBase* plugin, const IRectangle& rect, int parameter, int blendMethod)
    : rect(rect), targetRect(rect), blend{blendMethod, 1.0f}, plugin(plugin), parameter(parameter) {}

void IControl::MouseDown(int /*x*/, int /*y*/, const IMouseState& mouse) {
    if (mouse.right) {
        PromptForValue();
    }
}

void IControl::MouseDoubleClick(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {
    const double fallback = DefaultValue();
    if (fallback >= 0.0) {
        SetValue(fallback);
        MarkDirty(true);
    }
}

void IControl::SetValueFromHost(double v) {
    if (DefaultValue() < 0.0) {
        SetValue(v);
        SetDefaultValue(v);
    }
    const double current = Value();
    if (current != v || v != v) {
        SetValue(v);
        MarkChanged();
    }
}

void IControl::SetValueFromUser(double v) {
    if (Value() != v) {
        SetValue(v);
        RequestRedraw();
        MarkDirty(true);
    }
}

void IControl::SetHidden(bool hide) {
    hidden = hide;
    RequestRedraw();
    MarkDirty(false);
}

void IControl::SetGreyed(bool grey) {
    greyed = grey;
    blend.weight = grey ? kGreyedWeight : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int x, int y) const {
    return targetRect.Contains(x, y);
}

double IControl::ClampValue() {
    const double current = Value();
    double v = current != current ? clampLow : current;
    v = clampLow > v ? clampLow : (clampHigh < v ? clampHigh : v);
    // A host thread marking the control must not write back a value that a drag on the user
    // interface thread is changing at the same moment.
    if (v != current) {
        SetValue(v);
    }
    return v;
}

void IControl::MarkDirty(bool push) {
    const double v = ClampValue();
    state.fetch_or(kDirty, std::memory_order_relaxed);
    if (push && plugin != nullptr && parameter >= 0) {
        plugin->SetParameterFromEditor(parameter, v);
    }
}

void IControl::MarkChanged() {
    ClampValue();
    state.fetch_or(kDirty | kRedrawRequested, std::memory_order_relaxed);
}

void IControl::MarkClean() {
    unsigned old = state.load(std::memory_order_relaxed);
    while (!state.compare_exchange_weak(old, (old & kRedrawRequested) != 0 ? kDirty : 0u,
                                        std::memory_order_relaxed)) {
    }
}

void IControl::SetAuxValueFromHost(int index, double v) {
    AuxBinding* binding = auxBindings.At(index);
    if (binding == nullptr || binding->value.load(std::memory_order_relaxed) == v) {
        return;
    }
    binding->value.store(v, std::memory_order_relaxed);
    MarkChanged();
}

void IControl::PromptForValue() {
    IParameter* bound = plugin != nullptr ? plugin->ParameterAt(parameter) : nullptr;
    if (bound == nullptr || editor == nullptr || promptDisabled) {
        return;
    }
    IRectangle area = rect;
    if (bound->ValueTextCount() == 0) {
        const int cx = static_cast<int>((rect.L + rect.R) * 0.5);
        const int cy = static_cast<int>((rect.T + rect.B) * 0.5);
        area = {cx - kPromptHalfWidth, cy - kPromptHalfHeight, cx + kPromptHalfWidth, cy + kPromptHalfHeight};
    }
    editor->PromptForParameter(this, bound, &area);
    RequestRedraw();
}

bool IControl::AddAuxParameter(int auxParameter) {
    auto* binding = new (std::nothrow) AuxBinding(auxParameter);
    if (binding == nullptr) {
        return false;
    }
    if (!auxBindings.Append(binding)) {
        delete binding;
        return false;
    }
    return true;
}

int IControl::AuxParameter(int index) const {
    const AuxBinding* binding = auxBindings.At(index);
    return binding != nullptr ? binding->parameter : -1;
}

double IControl::AuxValue(int index) const {
    const AuxBinding* binding = auxBindings.At(index);
    return binding != nullptr ? binding->value.load(std::memory_order_relaxed) : 0.0;
}

void IControl::SetClamp(double low, double high) {
    clampLow = low;
    clampHigh = high;
}

const char* IControl::Tooltip() const {
    return tooltip.Text();
}

bool IControl::SetTooltip(const char* text) {
    tooltip.Clear();
    return text == nullptr || text[0] == '\0' || tooltip.PutText(text) > 0;
}
