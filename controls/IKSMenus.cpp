#include "controls/IKSMenus.h"

#include "effect/KSPhaser.h"
#include "effect/UpdateCheck.h"
#include "graphics/IGraphics.h"

#include <new>

namespace {

// Builds a menu of count entries, shows it for area and answers the index chosen, or -1.
template <typename EntryAt>
int ShowMenu(IGraphics* editor, int count, EntryAt entryAt, const IRectangle& area) {
    if (editor == nullptr) {
        return -1;
    }
    int chosen = -1;
    IMenu menu;
    bool complete = true;
    for (int i = 0; i < count && complete; ++i) {
        IMenuEntry* entry = entryAt(i);
        complete = entry != nullptr && menu.AppendEntry(entry);
        if (!complete) {
            delete entry;
        }
    }
    if (complete) {
        if (const IMenu* answered = editor->ShowPopupMenu(menu, area)) {
            chosen = answered->Chosen();
        }
    }
    return chosen;
}

} // namespace

IKSPresetMenu::IKSPresetMenu(Effect* effect, const IRectangle& rect)
    : IControl(effect, rect, -1, 0), effect(effect) {}

void IKSPresetMenu::MouseDown(int /*x*/, int /*y*/, const IMouseState& /*mouse*/) {
    const int current = effect->CurrentPreset();
    const int chosen = ShowMenu(
        effect->Editor(), effect->PresetCount(),
        [&](int i) {
            return new (std::nothrow)
                IMenuEntry(effect->PresetName(i), nullptr, i == current ? kMenuEntryChecked : 0);
        },
        rect);
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
    const char* const texts[] = {kUpdateCheckTitle, site.visitText};
    const int chosen = ShowMenu(
        phaser->Editor(), 2, [&](int i) { return new (std::nothrow) IMenuEntry(texts[i]); },
        IRectangle{x, y, x, y});
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
