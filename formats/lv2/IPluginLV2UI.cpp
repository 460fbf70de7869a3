// The LV2 binding's panel: the editor of a plug-in instance of its own, talking to the host's
// instance through its ports only.
#include "formats/lv2/IPluginLV2UI.h"

#include "core/PluginFactory.h"
#include "formats/lv2/Lv2Ports.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

const void* Feature(const LV2_Feature* const* features, const char* uri, bool& found) {
    found = false;
    for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
        if (std::strcmp(features[i]->URI, uri) == 0) {
            found = true;
            return features[i]->data;
        }
    }
    return nullptr;
}

} // namespace

IPluginLV2UI::IPluginLV2UI(std::unique_ptr<::IPluginBase> owned, LV2UI_Write_Function write,
                           LV2UI_Controller controller, const LV2UI_Touch* touch)
    : plugin(std::move(owned)), write(write), controller(controller), touch(touch) {
    plugin->SetHost(this);
}

IPluginLV2UI::~IPluginLV2UI() {
    if (windowOpen) {
        LockGuard guard(plugin->Lock());
        plugin->OnEditorClose();
        plugin->Editor()->CloseWindow();
    }
}

LV2UI_Handle IPluginLV2UI::Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                                       const char* /*bundlePath*/, LV2UI_Write_Function write,
                                       LV2UI_Controller controller, LV2UI_Widget* widget,
                                       const LV2_Feature* const* features) {
    bool hasParent = false;
    bool hasIdle = false;
    bool hasTouch = false;
    bool hasResize = false;
    void* parent = const_cast<void*>(Feature(features, LV2_UI__parent, hasParent));
    Feature(features, LV2_UI__idleInterface, hasIdle);
    const auto* touch = static_cast<const LV2UI_Touch*>(Feature(features, LV2_UI__touch, hasTouch));
    const auto* resize = static_cast<const LV2UI_Resize*>(Feature(features, LV2_UI__resize, hasResize));
    // Without the idle calls nothing would drive the window: no panel rather than a frozen one.
    if (pluginUri == nullptr || std::strcmp(pluginUri, kLv2PluginUri) != 0 || write == nullptr ||
        widget == nullptr || parent == nullptr || !hasIdle) {
        return nullptr;
    }
    std::unique_ptr<::IPluginBase> plugin = CreatePlugin();
    IEditor* editor = plugin ? plugin->Editor() : nullptr;
    if (editor == nullptr || !editor->CanOpenWindow()) {
        return nullptr;
    }
    std::unique_ptr<IPluginLV2UI> ui(new (std::nothrow) IPluginLV2UI(
        std::move(plugin), write, controller, touch != nullptr && touch->touch != nullptr ? touch : nullptr));
    if (!ui) {
        return nullptr;
    }
    {
        LockGuard guard(ui->plugin->Lock());
        void* window = editor->OpenWindow(parent);
        ui->windowOpen = window != nullptr;
        if (!ui->windowOpen) {
            return nullptr;
        }
        ui->plugin->OnEditorOpen();
        *widget = window;
    }
    if (resize != nullptr && resize->ui_resize != nullptr) {
        resize->ui_resize(resize->handle, editor->Width(), editor->Height());
    }
    return ui.release();
}

void IPluginLV2UI::Cleanup(LV2UI_Handle ui) {
    delete static_cast<IPluginLV2UI*>(ui);
}

void IPluginLV2UI::PortEvent(LV2UI_Handle ui, uint32_t port, uint32_t bufferSize, uint32_t format,
                             const void* buffer) {
    IPluginLV2UI* self = static_cast<IPluginLV2UI*>(ui);
    if (format != 0 || bufferSize != sizeof(float) || buffer == nullptr || port >= kLv2ParameterPortCount) {
        return;
    }
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    LockGuard guard(self->plugin->Lock());
    if (const IParameter* parameter = self->plugin->ParameterAt(static_cast<int>(port))) {
        self->plugin->SetPlainParameterFromHost(static_cast<int>(port), Lv2PlainValue(*parameter, value));
    }
}

int IPluginLV2UI::Idle(LV2UI_Handle ui) {
    static_cast<IPluginLV2UI*>(ui)->plugin->Editor()->Idle();
    return 0;
}

const void* IPluginLV2UI::ExtensionData(const char* uri) {
    static const LV2UI_Idle_Interface idle = {Idle};
    return uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

void IPluginLV2UI::BeginParameterGesture(int index) {
    if (touch != nullptr && index >= 0 && static_cast<uint32_t>(index) < kLv2ParameterPortCount) {
        touch->touch(touch->handle, static_cast<uint32_t>(index), true);
    }
}

void IPluginLV2UI::EndParameterGesture(int index) {
    if (touch != nullptr && index >= 0 && static_cast<uint32_t>(index) < kLv2ParameterPortCount) {
        touch->touch(touch->handle, static_cast<uint32_t>(index), false);
    }
}

void IPluginLV2UI::AutomateParameter(int index, double normalized) {
    const IParameter* parameter = plugin->ParameterAt(index);
    if (parameter == nullptr || static_cast<uint32_t>(index) >= kLv2ParameterPortCount) {
        return;
    }
    const auto value = static_cast<float>(parameter->UnitValue(parameter->ValueFromNormalized(normalized)));
    write(controller, static_cast<uint32_t>(index), sizeof value, 0, &value);
}
