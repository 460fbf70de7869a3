#include "graphics/IMenu.h"

#include "core/TextCopy.h"

#include <cstdio>
#include <new>

IMenuEntry::IMenuEntry(const char* text, IMenu* submenu, int flags) : submenu(submenu), flags(flags) {
    this->text.PutText(text);
}

const char* IMenuEntry::Text() const {
    return text.Text();
}

bool IMenu::AppendEntry(const char* text, int flags) {
    auto* entry = new (std::nothrow) IMenuEntry(text, nullptr, flags);
    if (entry != nullptr && entries.Append(entry)) {
        return true;
    }
    delete entry;
    return false;
}

void IMenu::DisplayText(int index, char* out, int capacity) const {
    if (out == nullptr || capacity <= 0) {
        return;
    }
    const IMenuEntry* entry = EntryAt(index);
    const char* text = entry != nullptr ? entry->Text() : "";
    switch (numbering) {
    case 1:
        std::snprintf(out, static_cast<size_t>(capacity), "%1d: %s", index + 1, text);
        break;
    case 2:
        std::snprintf(out, static_cast<size_t>(capacity), "%02d: %s", index + 1, text);
        break;
    case 3:
        std::snprintf(out, static_cast<size_t>(capacity), "%03d: %s", index + 1, text);
        break;
    default:
        CopyText(out, text, static_cast<size_t>(capacity));
        break;
    }
}
