#include "controls/IKSMenus.h"

#include "core/IPluginBase.h"
#include "graphics/IGraphics.h"

namespace {

// Shows a complete menu for area; answers the index chosen, or -1.
int Choose(IGraphics* editor, IMenu& menu, bool complete, const IRectangle& area) {
    if (editor == nullptr || !complete) {
        return -1;
    }
    const IMenu* answered = editor->ShowPopupMenu(menu, area);
    return answered != nullptr ? answered->Chosen() : -1;
}

} // namespace

IKSPresetMenu::IKSPresetMenu(IPluginBase* plugin, IKSPresetChoice* choice, const IRectangle& rect)
    : IControl(plugin, rect, -1, 0), choice(choice) {}

void IKSPresetMenu::MouseDown(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {
    IPluginBase* plugin = Plugin();
    IMenu menu;
    bool complete = plugin != nullptr;
    if (complete) {
        // The host may rename or switch programs meanwhile.
        LockGuard guard(plugin->Lock());
        for (int i = 0; i < plugin->PresetCount() && complete; ++i) {
            complete =
                menu.AppendEntry(plugin->PresetName(i), i == plugin->CurrentPreset() ? kMenuEntryChecked : 0);
        }
    }
    const int chosen = Choose(Editor(), menu, complete, rect);
    if (chosen >= 0 && choice != nullptr) {
        choice->SelectPresetFromEditor(chosen);
    }
    if (IGraphics* editor = Editor()) {
        editor->MarkAllDirty();
    }
}

IKSOnlineMenu::IKSOnlineMenu(IPluginBase* plugin, IKSOnlineActions* actions, const IRectangle& rect)
    : IControl(plugin, rect, -1, 0), actions(actions) {}

void IKSOnlineMenu::MouseDown(int x, int y, const IMouseState& /*mouse*/) {
    IKSSiteTexts site;
    actions->ReadSiteTexts(site);
    IMenu menu;
    const bool complete = menu.AppendEntry(kUpdateCheckTitle, 0) && menu.AppendEntry(site.visitText, 0);
    IGraphics* editor = Editor();
    const int chosen = Choose(editor, menu, complete, IRectangle{x, y, x, y});
    if (chosen == 0) {
        actions->CheckForUpdate();
    } else if (chosen == 1 && editor != nullptr) {
        editor->OpenUrl(site.homePage, nullptr, nullptr, nullptr);
    }
    if (editor != nullptr) {
        editor->MarkAllDirty();
    }
}
