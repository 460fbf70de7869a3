#pragma once

#include "core/IPluginBase.h"
#include "core/IPluginHost.h"

#include <lv2/ui/ui.h>

#include <memory>

// The LV2 binding's panel: the editor of an instance of the plug-in of its own, in the host's
// window (ui:parent), driven by the host's idle calls (ui:idleInterface). It talks to the plug-in
// only through the ports: values from the host reach the editor, and the editor's changes (the
// preset menu's among them) go to the host as port writes in the ports' units, between touch
// gestures where the host offers ui:touch. The instance never processes audio.
//
// Threads and the plug-in lock: the host calls every function on its user-interface thread; each
// holds the instance's lock while it works on the instance, except idle, which runs the window's
// events without it as IEditor::Idle asks.
class IPluginLV2UI final : public QuietPluginHost {
public:
    // [ui] No lock. The descriptor's functions. Instantiate answers none for another plug-in,
    // without the parent window or the idle interface, or when the window cannot be opened.
    static LV2UI_Handle Instantiate(const LV2UI_Descriptor* descriptor, const char* pluginUri,
                                    const char* bundlePath, LV2UI_Write_Function write,
                                    LV2UI_Controller controller, LV2UI_Widget* widget,
                                    const LV2_Feature* const* features);
    static void Cleanup(LV2UI_Handle ui);
    // [ui] Takes the instance's lock. A control port's value (float protocol) reaches the editor.
    static void PortEvent(LV2UI_Handle ui, uint32_t port, uint32_t bufferSize, uint32_t format,
                          const void* buffer);
    // [any] No lock. The idle interface; nothing else.
    static const void* ExtensionData(const char* uri);
    // [ui] No lock. Runs the window's events and frame timer; answers 0: the window stays open.
    static int Idle(LV2UI_Handle ui);

    // [ui] Takes the instance's lock to close the window.
    ~IPluginLV2UI();
    IPluginLV2UI(const IPluginLV2UI&) = delete;
    IPluginLV2UI& operator=(const IPluginLV2UI&) = delete;

    // IPluginHost: the editor's gestures become ui:touch calls and its values port writes; the
    // rest answers as a host that tells nothing, since the instance processes no audio.
    void BeginParameterGesture(int index) override;
    void EndParameterGesture(int index) override;
    void AutomateParameter(int index, double normalized) override;

private:
    IPluginLV2UI(std::unique_ptr<::IPluginBase> plugin, LV2UI_Write_Function write,
                 LV2UI_Controller controller, const LV2UI_Touch* touch);

    std::unique_ptr<::IPluginBase> plugin;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    bool windowOpen = false;
};
