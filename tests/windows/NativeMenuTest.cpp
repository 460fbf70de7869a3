#include "platform/win/NativeMenu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Append(IMenu& menu, const char* text, IMenu* submenu = nullptr, int flags = 0) {
    ASSERT_TRUE(menu.AppendEntry(new IMenuEntry(text, submenu, flags)));
}

std::string Label(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(NativeMenu, IdBlocksStartAtOneAndSubmenusFollowDepthFirst) {
    IMenu top;
    IMenu q;
    IMenu deeper;
    Append(top, "P");
    Append(top, "Q", &q);
    Append(top, "R");
    Append(q, "X");
    Append(q, "Y", &deeper);
    Append(deeper, "Z");
    int counter = kFirstMenuId;
    HMENU native = BuildNativeMenu(top, counter);
    ASSERT_NE(native, nullptr);
    // P 1, (Q) 2, R 3; X 4, (Y) 5; Z 6.
    EXPECT_EQ(counter, 7);
    EXPECT_EQ(GetMenuItemCount(native), 3);
    EXPECT_EQ(GetMenuItemID(native, 0), 1u);
    EXPECT_EQ(GetMenuItemID(native, 2), 3u);
    HMENU sub = GetSubMenu(native, 1);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(Label(native, 1), "Q");
    EXPECT_EQ(GetMenuItemID(sub, 0), 4u);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(sub, 1), 0), 6u);
    DestroyMenu(native);

    const struct {
        int id;
        IMenu* menu;
        int index;
    } lookups[] = {{1, &top, 0}, {3, &top, 2}, {4, &q, 0}, {5, &q, 1}, {6, &deeper, 0}};
    for (const auto& lookup : lookups) {
        counter = kFirstMenuId;
        int index = -1;
        EXPECT_EQ(FindMenuEntry(lookup.id, counter, top, index), lookup.menu) << lookup.id;
        EXPECT_EQ(index, lookup.index) << lookup.id;
    }
    for (int id : {0, 7, 100}) {
        counter = kFirstMenuId;
        int index = -1;
        EXPECT_EQ(FindMenuEntry(id, counter, top, index), nullptr) << id;
    }
}

TEST(NativeMenu, LabelsNumberedAndFlagsCarriedOver) {
    IMenu menu(2);
    for (int i = 0; i < 7; ++i) {
        Append(menu, "entry");
    }
    Append(menu, "", nullptr, kMenuEntrySeparator); // separators count in the numbering
    Append(menu, "ninth", nullptr, kMenuEntryChecked);
    Append(menu, "greyed", nullptr, kMenuEntryGreyed);
    Append(menu, "disabled", nullptr, kMenuEntryDisabled);
    int counter = kFirstMenuId;
    HMENU native = BuildNativeMenu(menu, counter);
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(Label(native, 0), "01: entry");
    EXPECT_EQ(GetMenuState(native, 7, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(Label(native, 8), "09: ninth");
    EXPECT_EQ(GetMenuItemID(native, 8), 9u);
    EXPECT_NE(GetMenuState(native, 8, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(native, 9, MF_BYPOSITION) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(native, 10, MF_BYPOSITION) & MF_DISABLED, 0u);
    EXPECT_EQ(GetMenuState(native, 0, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u);
    DestroyMenu(native);
}

} // namespace
