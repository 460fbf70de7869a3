#pragma once

#include "graphics/IMenu.h"

#include <windows.h>

// Native menu ids are handed out in blocks: a menu's entries take consecutive ids, the whole
// block reserved before any of its submenus is built; submenus take the next blocks in entry
// order, depth first. Numbering starts at 1, since a choice of id 0 is not reported everywhere.
constexpr int kFirstMenuId = 1;

// [ui] No lock. A native pop-up menu of menu (labels numbered as the menu asks), ids from
// counter on; counter moves past every id reserved. The caller owns the menu (DestroyMenu);
// none when it could not be created.
HMENU BuildNativeMenu(const IMenu& menu, int& counter);

// [ui] No lock. The menu (menu itself or one of its submenus, not owned) whose entry has the
// native id that BuildNativeMenu gave from counter on, with the entry's index in it; none when no
// entry has that id.
IMenu* FindMenuEntry(int id, int& counter, IMenu& menu, int& index);
