#pragma once

#include "core/IByteBuffer.h"
#include "core/IOwnedList.h"

class IMenu;

// Flags of a menu entry.
constexpr int kMenuEntryGreyed = 1;
constexpr int kMenuEntryDisabled = 2;
constexpr int kMenuEntryChecked = 4;
constexpr int kMenuEntrySeparator = 8;

// One entry of a pop-up menu. The submenu is not owned.
class IMenuEntry {
public:
    // [ui] Copies text (none counts as empty).
    explicit IMenuEntry(const char* text, IMenu* submenu = nullptr, int flags = 0);
    IMenuEntry(const IMenuEntry&) = delete;
    IMenuEntry& operator=(const IMenuEntry&) = delete;

    // [ui] No lock; the text belongs to the entry.
    const char* Text() const;
    IMenu* Submenu() const { return submenu; }
    int Flags() const { return flags; }

private:
    IByteBuffer text{64};
    IMenu* submenu;
    int flags;
};

// A pop-up menu: its entries in display order (owned), how they are numbered and, after the
// window showed it, the index of the entry chosen (-1 for none).
class IMenu {
public:
    // numbering: 0 none, 1, 2 or 3 digits of 1-based position before each text.
    explicit IMenu(int numbering = 0) : numbering(numbering) {}
    IMenu(const IMenu&) = delete;
    IMenu& operator=(const IMenu&) = delete;

    // [ui] No lock. Take ownership of entry on success; on failure the caller still owns it.
    bool AppendEntry(IMenuEntry* entry) { return entries.Append(entry); }
    // A plain entry with text and flags; false (nothing appended) when memory runs out.
    bool AppendEntry(const char* text, int flags);
    // Inserts before position; a negative position counts as 0.
    bool InsertEntry(int position, IMenuEntry* entry) { return entries.Insert(position, entry); }
    int EntryCount() const { return entries.Count(); }
    // The entry at index, or none; still owned by the menu.
    IMenuEntry* EntryAt(int index) const { return entries.At(index); }
    // The text a window shows for entry index, numbered as asked, into out (capacity bytes).
    void DisplayText(int index, char* out, int capacity) const;
    int Numbering() const { return numbering; }
    int Chosen() const { return chosen; }
    void SetChosen(int index) { chosen = index; }

private:
    IOwnedList<IMenuEntry> entries;
    int numbering;
    int chosen = -1;
};
