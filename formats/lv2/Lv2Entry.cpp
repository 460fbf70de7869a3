// The LV2 library's two exports: the plug-in's descriptor and the UI's. Both are constant data:
// nothing runs when the library loads.
#include "formats/lv2/IPluginLV2.h"
#include "formats/lv2/IPluginLV2UI.h"

namespace {

constexpr LV2_Descriptor kDescriptor = {
    kLv2PluginUri,   IPluginLV2::Instantiate, IPluginLV2::ConnectPort, IPluginLV2::Activate,
    IPluginLV2::Run, IPluginLV2::Deactivate,  IPluginLV2::Cleanup,     IPluginLV2::ExtensionData};

constexpr LV2UI_Descriptor kUiDescriptor = {kLv2UiUri, IPluginLV2UI::Instantiate, IPluginLV2UI::Cleanup,
                                            IPluginLV2UI::PortEvent, IPluginLV2UI::ExtensionData};

} // namespace

// [any] No lock. The one plug-in at index 0.
LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}

// [any] No lock. The one UI at index 0.
LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kUiDescriptor : nullptr;
}
