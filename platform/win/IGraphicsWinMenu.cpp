// Native pop-up menus built from the editor's menus.
#include "platform/win/IGraphicsWin.h"
#include "platform/win/NativeMenu.h"

namespace {

constexpr int kLabelCapacity = 512;

} // namespace

HMENU BuildNativeMenu(const IMenu& menu, int& counter) {
    HMENU native = CreatePopupMenu();
    if (native == nullptr) {
        return nullptr;
    }
    const int first = counter;
    counter += menu.EntryCount();
    for (int i = 0; i < menu.EntryCount(); ++i) {
        const IMenuEntry* entry = menu.EntryAt(i);
        if ((entry->Flags() & kMenuEntrySeparator) != 0) {
            AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char label[kLabelCapacity];
        menu.DisplayText(i, label, sizeof label);
        if (entry->Submenu() != nullptr) {
            if (HMENU sub = BuildNativeMenu(*entry->Submenu(), counter)) {
                AppendMenuA(native, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), label);
            }
            continue;
        }
        UINT flags = MF_STRING;
        flags |= (entry->Flags() & kMenuEntryGreyed) != 0 ? MF_GRAYED : 0;
        flags |= (entry->Flags() & kMenuEntryDisabled) != 0 ? MF_DISABLED : 0;
        flags |= (entry->Flags() & kMenuEntryChecked) != 0 ? MF_CHECKED : 0;
        AppendMenuA(native, flags, static_cast<UINT_PTR>(first + i), label);
    }
    return native;
}

IMenu* FindMenuEntry(int id, int& counter, IMenu& menu, int& index) {
    const int base = counter;
    counter += menu.EntryCount();
    if (id >= base && id < base + menu.EntryCount()) {
        index = id - base;
        return &menu;
    }
    for (int i = 0; i < menu.EntryCount(); ++i) {
        if (IMenu* sub = menu.EntryAt(i)->Submenu()) {
            if (IMenu* found = FindMenuEntry(id, counter, *sub, index)) {
                return found;
            }
        }
    }
    return nullptr;
}

IMenu* IGraphicsWin::ShowPopupMenu(IMenu& menu, const IRectangle& area) {
    // No drag goes on after the menu.
    ReleaseCapture();
    int counter = kFirstMenuId;
    HMENU native = window != nullptr ? BuildNativeMenu(menu, counter) : nullptr;
    if (native == nullptr) {
        return nullptr;
    }
    POINT corner = {area.L, area.B};
    ClientToScreen(window, &corner);
    IMenu* result = nullptr;
    if (TrackPopupMenu(native, 0, corner.x, corner.y, 0, window, nullptr) && window != nullptr) {
        MSG command;
        if (PeekMessageA(&command, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
            HIWORD(command.wParam) == 0) {
            counter = kFirstMenuId;
            int index = -1;
            if (IMenu* chosen = FindMenuEntry(LOWORD(command.wParam), counter, menu, index)) {
                chosen->SetChosen(index);
                result = chosen;
            }
        }
    }
    DestroyMenu(native);
    if (window != nullptr) {
        const RECT all = {0, 0, Width(), Height()};
        InvalidateRect(window, &all, FALSE);
    }
    return result;
}
