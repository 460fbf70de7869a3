// The editor's mouse and key dispatch and the right-click prompt.
#include "graphics/IGraphics.h"

#include "core/IParameter.h"
#include "core/IPluginBase.h"

#include <cstring>

namespace {

constexpr int kHostHintRightClickMenu = 1;

} // namespace

int IGraphics::ControlUnder(int x, int y) const {
    for (int i = controls.Count() - 1; i >= 0; --i) {
        const IControl* control = controls.At(i);
        if (!control->IsHidden() && !control->IsGreyed() && control->HitTest(x, y)) {
            return i;
        }
    }
    return -1;
}

void IGraphics::ReleaseCapture() {
    captured = -1;
    lastX = -1;
    lastY = -1;
}

void IGraphics::Capture(int index, int x, int y) {
    captured = index;
    lastX = x;
    lastY = y;
}

void IGraphics::DispatchMouseDown(int x, int y, const IMouseState& mouse) {
    ReleaseCapture();
    const int index = ControlUnder(x, y);
    if (index < 0) {
        return;
    }
    IControl* control = controls.At(index);
    const int parameter = control->ParameterIndex();
    // A host that offers its own parameter menu takes right-clicks on bound controls.
    if (mouse.right && parameter >= 0 && plugin != nullptr &&
        plugin->GetHostHint() == kHostHintRightClickMenu) {
        LockGuard guard(plugin->Lock());
        plugin->OnHostParameterMenu(parameter, x, y);
        return;
    }
    Capture(index, x, y);
    if (parameter >= 0 && plugin != nullptr) {
        plugin->BeginParameterGesture(parameter);
    }
    control->MouseDown(x, y, mouse);
}

void IGraphics::DispatchMouseUp(int x, int y, const IMouseState& mouse) {
    const int index = captured >= 0 ? captured : ControlUnder(x, y);
    ReleaseCapture();
    IControl* control = controls.At(index);
    if (control == nullptr) {
        return;
    }
    control->MouseUp(x, y, mouse);
    if (control->ParameterIndex() >= 0 && plugin != nullptr) {
        plugin->EndParameterGesture(control->ParameterIndex());
    }
}

void IGraphics::DispatchMouseDrag(int x, int y, const IMouseState& mouse) {
    IControl* control = controls.At(captured);
    // A move that ends where the last one did is no drag.
    if (control == nullptr || (x == lastX && y == lastY)) {
        return;
    }
    const int dx = x - lastX;
    const int dy = y - lastY;
    lastX = x;
    lastY = y;
    control->MouseDrag(x, y, dx, dy, mouse);
}

bool IGraphics::DispatchDoubleClick(int x, int y, const IMouseState& mouse) {
    ReleaseCapture();
    const int index = ControlUnder(x, y);
    if (index < 0) {
        return false;
    }
    IControl* control = controls.At(index);
    // The release that follows ends a gesture, and the control may send a value now: begin one,
    // so the host sees each change between a begin and an end.
    if (control->ParameterIndex() >= 0 && plugin != nullptr) {
        plugin->BeginParameterGesture(control->ParameterIndex());
    }
    if (control->DoubleClickAsPress()) {
        Capture(index, x, y);
        control->MouseDown(x, y, mouse);
        return true;
    }
    control->MouseDoubleClick(x, y, mouse);
    return false;
}

void IGraphics::DispatchMouseWheel(int x, int y, const IMouseState& mouse, int steps) {
    IControl* control = controls.At(captured >= 0 ? captured : ControlUnder(x, y));
    if (control != nullptr) {
        control->MouseWheel(x, y, mouse, steps);
    }
}

bool IGraphics::DispatchMouseOver(int x, int y, const IMouseState& mouse) {
    if (!handleMouseOver) {
        return false;
    }
    int index = captured;
    for (int i = controls.Count() - 1; index < 0 && i >= 0; --i) {
        const IControl* control = controls.At(i);
        if (!control->IsHidden() && control->HitTest(x, y) &&
            (!control->IsGreyed() || control->MouseOverWhenGreyed())) {
            index = i;
        }
    }
    if (index < 0) {
        return true;
    }
    lastX = x;
    lastY = y;
    controls.At(index)->MouseOver(x, y, mouse);
    if (mouseOverControl != index && mouseOverControl != -1) {
        if (IControl* previous = controls.At(mouseOverControl)) {
            previous->MouseOut();
        }
    }
    mouseOverControl = index;
    return true;
}

void IGraphics::DispatchMouseOut() {
    for (int i = 0; i < controls.Count(); ++i) {
        controls.At(i)->MouseOut();
    }
    mouseOverControl = -1;
}

bool IGraphics::DispatchKeyDown(int x, int y, int key) {
    const int index = captured >= 0 ? captured : ControlUnder(x, y);
    if (index > 0) {
        return controls.At(index)->KeyDown(x, y, key);
    }
    return keyCatcher ? keyCatcher->KeyDown(x, y, key) : false;
}

void IGraphics::PromptForParameter(IControl* control, IParameter* parameter, IRectangle* area) {
    if (control == nullptr || parameter == nullptr || area == nullptr) {
        return;
    }
    const int texts = parameter->ValueTextCount();
    const ParameterType type = parameter->Type();
    if (type == kParameterEnumerated || (type == kParameterBoolean && texts > 0)) {
        char current[kParameterTextCapacity];
        parameter->FormatDisplay(parameter->Value(), false, current, true);
        IMenu menu;
        for (int i = 0; i < texts; ++i) {
            const char* text = parameter->ValueText(i);
            const bool checked = std::strcmp(text != nullptr ? text : "", current) == 0;
            if (!menu.AppendEntry(text, checked ? kMenuEntryChecked : 0)) {
                return;
            }
        }
        if (const IMenu* chosen = ShowPopupMenu(menu, *area)) {
            control->SetValueFromUser(parameter->NormalizedOf(chosen->Chosen()));
        }
        return;
    }
    char text[kParameterTextCapacity];
    parameter->FormatDisplay(parameter->Value(), false, text, false);
    ShowTextEntry(control, control->TextStyle(), *area, text, parameter);
}
