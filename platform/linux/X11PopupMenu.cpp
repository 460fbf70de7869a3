// Pop-up menus: an override-redirect window for the menu and one for each open submenu, drawn
// with the raster library. The menu grabs the pointer and the keyboard while it is open, so it
// works without a window manager.
#include "platform/linux/IGraphicsX11.h"
#include "raster/PIX_IFont.h"
#include "raster/PIX_MemBitmap.h"

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <new>
#include <thread>

namespace {

constexpr int kRowPadding = 3; // above and below an entry's text
constexpr int kSeparatorHeight = 7;
constexpr int kMarkColumn = 22;  // left of the texts: the check marks
constexpr int kArrowColumn = 22; // right of the texts: the submenu arrows
constexpr int kMinimumWidth = 100;
constexpr int kMenuTextCapacity = 512;
constexpr size_t kMaxLevels = 16; // submenus nested deeper do not open
constexpr uint32_t kGreyedText = 0xFF9A9A9A;
constexpr uint32_t kSeparator = 0xFFB4B4B4;
constexpr long kMenuEvents = ExposureMask;
constexpr unsigned kGrabEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr int kGrabAttempts = 10;
constexpr auto kGrabRetry = std::chrono::milliseconds(20);

bool Selectable(const IMenuEntry* entry) {
    return (entry->Flags() & kMenuEntrySeparator) == 0;
}

bool Choosable(const IMenuEntry* entry) {
    return (entry->Flags() & (kMenuEntrySeparator | kMenuEntryGreyed | kMenuEntryDisabled)) == 0;
}

// One open level: the menu or a submenu, its window and the rows of its entries.
struct MenuLevel {
    IMenu* menu = nullptr;
    Window window = 0;
    IRectangle bounds;     // on the screen
    IByteBuffer edges{64}; // int32 each: the top of every entry's row, then the bottom of the last
    PIX_MemBitmap bitmap;
    int highlighted = -1;

    // Appends the next edge; false when it cannot be stored.
    bool AddEdge(int32_t y) {
        const int32_t stored = edges.Size();
        return edges.PutInt32(y) != stored;
    }
    // The row of entry index, in the window.
    IRectangle Row(int index) const {
        int32_t top = 0;
        int32_t bottom = 0;
        edges.GetInt32(4 * index, top);
        edges.GetInt32(4 * index + 4, bottom);
        return {1, top, bounds.Width() - 1, bottom};
    }
};

class X11PopupMenu final : public X11ModalWindow {
public:
    explicit X11PopupMenu(IGraphicsX11& editor) : editor(editor), screen(editor.Screen()) {}
    ~X11PopupMenu() override;
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    // Shows menu with its top-left corner at (x, y) on the screen until a choice or a dismissal;
    // a menu that cannot be built or cannot hold the pointer and keyboard answers as dismissed.
    IMenu* Run(IMenu& menu, int x, int y);

    void HandleEvent(XEvent& event) override;
    bool Finished() const override { return finished; }

private:
    // Opens menu as the deepest level; false when it has no entries or cannot be built.
    bool Open(IMenu& menu, int x, int y);
    void CloseFrom(size_t level);
    void Draw(MenuLevel& level);
    void Highlight(size_t level, int row);
    // Opens the submenu of the highlighted row of level (closing deeper ones); with keyboard,
    // highlights its first entry.
    void OpenSubmenu(size_t level, bool keyboard);
    void Choose(size_t level, int row);
    void HandleKey(XKeyEvent& event);
    void Step(int direction);
    // The level and row at a screen point; false outside every level.
    bool Find(int x, int y, size_t& level, int& row) const;

    IGraphicsX11& editor;
    const X11Screen& screen;
    std::unique_ptr<MenuLevel> levels[kMaxLevels];
    size_t levelCount = 0;
    IMenu* chosen = nullptr;
    bool finished = false;
    bool pressed = false;    // a press arrived since the menu opened
    bool dismissing = false; // a press outside awaits its release
};

X11PopupMenu::~X11PopupMenu() {
    CloseFrom(0);
}

IMenu* X11PopupMenu::Run(IMenu& menu, int x, int y) {
    if (!Open(menu, x, y)) {
        return nullptr;
    }
    const Window grabWindow = levels[0]->window;
    bool grabbed = false;
    // Another client may hold a grab for a moment (a host's own click handling): try a while.
    for (int attempt = 0; attempt < kGrabAttempts && !grabbed; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kGrabRetry);
        }
        X11ErrorTrap trap(screen.display);
        grabbed = XGrabPointer(screen.display, grabWindow, False, kGrabEvents, GrabModeAsync, GrabModeAsync,
                               None, None, CurrentTime) == GrabSuccess &&
                  XGrabKeyboard(screen.display, grabWindow, False, GrabModeAsync, GrabModeAsync,
                                CurrentTime) == GrabSuccess;
    }
    if (grabbed) {
        editor.RunModal(*this);
    }
    X11ErrorTrap trap(screen.display);
    XUngrabPointer(screen.display, CurrentTime);
    XUngrabKeyboard(screen.display, CurrentTime);
    CloseFrom(0);
    return chosen;
}

bool X11PopupMenu::Open(IMenu& menu, int x, int y) {
    if (levelCount == kMaxLevels || menu.EntryCount() == 0) {
        return false;
    }
    auto level = std::unique_ptr<MenuLevel>(new (std::nothrow) MenuLevel);
    PIX_IFont* font = editor.DialogFont();
    if (!level) {
        return false;
    }
    level->menu = &menu;
    const int lineHeight = font != nullptr ? font->GetLineHeight() : 14;
    int width = kMinimumWidth;
    int height = 1;
    for (int i = 0; i < menu.EntryCount(); ++i) {
        if (!level->AddEdge(height)) {
            return false;
        }
        char text[kMenuTextCapacity];
        menu.DisplayText(i, text, sizeof text);
        const bool separator = !Selectable(menu.EntryAt(i));
        height += separator ? kSeparatorHeight : lineHeight + 2 * kRowPadding;
        const int textWidth = separator ? 0 : x11draw::TextWidth(font, text, -1);
        width = std::max(width, kMarkColumn + textWidth + kArrowColumn + 2);
    }
    if (!level->AddEdge(height)) {
        return false;
    }
    height += 1;
    // Kept on the screen: pushed left and up as far as needed.
    x = std::max(0, std::min(x, screen.width - width));
    y = std::max(0, std::min(y, screen.height - height));
    level->bounds = {x, y, x + width, y + height};
    level->bitmap.SetSize(width, height);
    if (level->bitmap.GetWidth() != width || level->bitmap.GetHeight() != height) {
        return false;
    }
    X11ErrorTrap trap(screen.display);
    level->window = CreateX11Window(screen, screen.root, level->bounds, true, kMenuEvents);
    XMapRaised(screen.display, level->window);
    if (trap.Failed()) {
        return false;
    }
    Draw(*level);
    levels[levelCount++] = std::move(level);
    return true;
}

void X11PopupMenu::CloseFrom(size_t level) {
    if (level >= levelCount) {
        return;
    }
    X11ErrorTrap trap(screen.display);
    while (levelCount > level) {
        --levelCount;
        XDestroyWindow(screen.display, levels[levelCount]->window);
        levels[levelCount].reset();
    }
}

void X11PopupMenu::Draw(MenuLevel& level) {
    PIX_IFont* font = editor.DialogFont();
    PIX_MemBitmap& bitmap = level.bitmap;
    x11draw::Fill(bitmap, 0, 0, bitmap.GetWidth(), bitmap.GetHeight(), x11draw::kWindowColour);
    x11draw::Frame(bitmap, 0, 0, bitmap.GetWidth(), bitmap.GetHeight(), x11draw::kEdgeColour);
    for (int i = 0; i < level.menu->EntryCount(); ++i) {
        const IMenuEntry* entry = level.menu->EntryAt(i);
        const IRectangle row = level.Row(i);
        if (!Selectable(entry)) {
            x11draw::Fill(bitmap, row.L + 4, (row.T + row.B) / 2, row.Width() - 8, 1, kSeparator);
            continue;
        }
        uint32_t colour = Choosable(entry) || entry->Submenu() != nullptr ? x11draw::kInkColour : kGreyedText;
        if ((entry->Flags() & kMenuEntryDisabled) != 0 && (entry->Flags() & kMenuEntryGreyed) == 0) {
            colour = x11draw::kInkColour; // disabled but not greyed looks like any entry
        }
        if (i == level.highlighted) {
            x11draw::Fill(bitmap, row.L, row.T, row.Width(), row.Height(), x11draw::kAccentColour);
            colour = colour == kGreyedText ? kGreyedText : x11draw::kAccentInkColour;
        }
        const int middle = (row.T + row.B) / 2;
        if ((entry->Flags() & kMenuEntryChecked) != 0) {
            // A tick: a short stroke down to the right, a long one up to the right.
            for (int s = 0; s < 4; ++s) {
                x11draw::Fill(bitmap, 6 + s, middle - 1 + s, 2, 2, colour);
            }
            for (int s = 0; s < 7; ++s) {
                x11draw::Fill(bitmap, 9 + s, middle + 2 - s, 2, 2, colour);
            }
        }
        char text[kMenuTextCapacity];
        level.menu->DisplayText(i, text, sizeof text);
        x11draw::Text(bitmap, font, text, -1, kMarkColumn, row.T + kRowPadding, colour);
        if (entry->Submenu() != nullptr) {
            const int x = row.R - kArrowColumn + 8;
            for (int s = 0; s < 5; ++s) {
                x11draw::Fill(bitmap, x + s, middle - 4 + s, 1, 9 - 2 * s, colour);
            }
        }
    }
    X11ErrorTrap trap(screen.display);
    PutX11Bitmap(screen, level.window, editor.Context(), bitmap, 0, 0, bitmap.GetWidth(), bitmap.GetHeight(),
                 0, 0);
}

void X11PopupMenu::Highlight(size_t level, int row) {
    MenuLevel& target = *levels[level];
    if (target.highlighted != row) {
        target.highlighted = row;
        Draw(target);
    }
}

void X11PopupMenu::OpenSubmenu(size_t level, bool keyboard) {
    CloseFrom(level + 1);
    MenuLevel& from = *levels[level];
    if (from.highlighted < 0) {
        return;
    }
    const IMenuEntry* entry = from.menu->EntryAt(from.highlighted);
    IMenu* submenu = entry->Submenu();
    if (submenu == nullptr || (entry->Flags() & (kMenuEntryGreyed | kMenuEntryDisabled)) != 0) {
        return;
    }
    const IRectangle row = from.Row(from.highlighted);
    if (Open(*submenu, from.bounds.R - 2, from.bounds.T + row.T - 1) && keyboard) {
        Step(1);
    }
}

void X11PopupMenu::Choose(size_t level, int row) {
    MenuLevel& target = *levels[level];
    const IMenuEntry* entry = target.menu->EntryAt(row);
    if (entry == nullptr || !Choosable(entry)) {
        return;
    }
    if (entry->Submenu() != nullptr) {
        Highlight(level, row);
        OpenSubmenu(level, true);
        return;
    }
    target.menu->SetChosen(row);
    chosen = target.menu;
    finished = true;
}

void X11PopupMenu::Step(int direction) {
    MenuLevel& level = *levels[levelCount - 1];
    const int count = level.menu->EntryCount();
    int row = level.highlighted;
    for (int tries = 0; tries < count; ++tries) {
        row = row < 0 ? (direction > 0 ? 0 : count - 1) : (row + direction + count) % count;
        if (Selectable(level.menu->EntryAt(row))) {
            Highlight(levelCount - 1, row);
            return;
        }
    }
}

void X11PopupMenu::HandleKey(XKeyEvent& event) {
    const KeySym key = XLookupKeysym(&event, 0);
    const size_t last = levelCount - 1;
    switch (key) {
    case XK_Down:
        Step(1);
        break;
    case XK_Up:
        Step(-1);
        break;
    case XK_Right:
        OpenSubmenu(last, true);
        break;
    case XK_Left:
        if (last > 0) {
            CloseFrom(last);
        }
        break;
    case XK_Return:
    case XK_KP_Enter:
        if (levels[last]->highlighted >= 0) {
            Choose(last, levels[last]->highlighted);
        }
        break;
    case XK_Escape:
        finished = true;
        break;
    default:
        break;
    }
}

bool X11PopupMenu::Find(int x, int y, size_t& level, int& row) const {
    for (size_t i = levelCount; i-- > 0;) {
        const MenuLevel& candidate = *levels[i];
        if (!candidate.bounds.Contains(x, y)) {
            continue;
        }
        level = i;
        row = -1;
        for (int r = 0; r < candidate.menu->EntryCount(); ++r) {
            if (candidate.Row(r).Contains(x - candidate.bounds.L, y - candidate.bounds.T)) {
                row = r;
            }
        }
        return true;
    }
    return false;
}

void X11PopupMenu::HandleEvent(XEvent& event) {
    size_t level = 0;
    int row = -1;
    switch (event.type) {
    case Expose:
        for (size_t i = 0; i < levelCount; ++i) {
            MenuLevel& open = *levels[i];
            if (open.window == event.xexpose.window) {
                Draw(open);
            }
        }
        break;
    case KeyPress:
        HandleKey(event.xkey);
        break;
    case MotionNotify:
        if (Find(event.xmotion.x_root, event.xmotion.y_root, level, row) && row >= 0 &&
            Selectable(levels[level]->menu->EntryAt(row))) {
            if (levels[level]->highlighted != row || level + 1 == levelCount) {
                Highlight(level, row);
                OpenSubmenu(level, false);
            }
        }
        break;
    case ButtonPress:
        pressed = true;
        // A press outside dismisses the menu; its release is awaited under the grab, so that
        // the click reaches nothing else.
        dismissing = !Find(event.xbutton.x_root, event.xbutton.y_root, level, row);
        break;
    case ButtonRelease:
        if (dismissing) {
            finished = true;
        } else if (pressed && Find(event.xbutton.x_root, event.xbutton.y_root, level, row) && row >= 0) {
            // The release of the press that opened the menu chooses nothing.
            Choose(level, row);
        }
        break;
    default:
        break;
    }
}

} // namespace

IMenu* IGraphicsX11::ShowPopupMenu(IMenu& menu, const IRectangle& area) {
    ReleaseCapture();
    if (window == 0 || windowGone) {
        return nullptr;
    }
    int x = 0;
    int y = 0;
    {
        X11ErrorTrap trap(screen.display);
        Window child = 0;
        if (XTranslateCoordinates(screen.display, window, screen.root, area.L, area.B, &x, &y, &child) == 0 ||
            trap.Failed()) {
            return nullptr;
        }
    }
    X11PopupMenu popup(*this);
    return popup.Run(menu, x, y);
}
