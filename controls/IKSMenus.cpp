#include "controls/IKSMenus.h"

#include "effect/KSPhaser.h"
#include "effect/UpdateCheck.h"
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

IKSPresetMenu::IKSPresetMenu(Effect* effect, const IRectangle& rect)
    : IControl(effect, rect, -1, 0), effect(effect) {}

void IKSPresetMenu::MouseDown(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {
    IMenu menu;
    bool complete = true;
    {
        // The host may rename or switch programs meanwhile.
        LockGuard guard(effect->Lock());
        for (int i = 0; i < effect->PresetCount() && complete; ++i) {
            complete =
                menu.AppendEntry(effect->PresetName(i), i == effect->CurrentPreset() ? kMenuEntryChecked : 0);
        }
    }
    const int chosen = Choose(effect->Editor(), menu, complete, rect);
    if (chosen >= 0) {
        effect->SelectPresetFromEditor(chosen);
    }
    if (IGraphics* editor = effect->Editor()) {
        editor->MarkAllDirty();
    }
}

IKSOnlineMenu::IKSOnlineMenu(KSPhaser* phaser, const IRectangle& rect)
    : IControl(phaser, rect, -1, 0), phaser(phaser) {}

void IKSOnlineMenu::MouseDown(int x, int y, const IMouseState& /*mouse*/) {
    KSPhaser::SiteTexts site;
    phaser->ReadSiteTexts(site);
    IMenu menu;
    const bool complete = menu.AppendEntry(kUpdateCheckTitle, 0) && menu.AppendEntry(site.visitText, 0);
    const int chosen = Choose(phaser->Editor(), menu, complete, IRectangle{x, y, x, y});
    IGraphics* editor = phaser->Editor();
    if (chosen == 0) {
        phaser->CheckForUpdate();
    } else if (chosen == 1 && editor != nullptr) {
        editor->OpenUrl(site.homePage, nullptr, nullptr, nullptr);
    }
    if (editor != nullptr) {
        editor->MarkAllDirty();
    }
}
