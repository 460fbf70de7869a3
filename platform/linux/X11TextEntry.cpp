#include "platform/linux/X11TextEntry.h"

#include "core/IParameter.h"
#include "graphics/IControl.h"
#include "graphics/TextEntryRules.h"
#include "platform/linux/IGraphicsX11.h"
#include "raster/PIX_IFont.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstring>
#include <new>

X11TextEntry::X11TextEntry(IGraphicsX11& editor, IControl* control, const ITextStyle& style,
                           const IRectangle& area, IParameter* parameter)
    : editor(editor), control(control), parameter(parameter), style(style), area(area),
      bitmap(area.Width() + 1, area.Height() + 1) {
    this->style.cachedFont = nullptr;
}

std::unique_ptr<X11TextEntry> X11TextEntry::Create(IGraphicsX11& editor, IControl* control,
                                                   const ITextStyle& style, const IRectangle& area,
                                                   const char* text, IParameter* parameter) {
    std::unique_ptr<X11TextEntry> entry(new (std::nothrow)
                                            X11TextEntry(editor, control, style, area, parameter));
    if (!entry) {
        return nullptr;
    }
    // The picture is one pixel larger than the area, which may be empty but not inverted.
    const bool pictureMissing =
        area.Width() >= 0 && area.Height() >= 0 && entry->bitmap.GetPixels() == nullptr;
    if (pictureMissing || !entry->text.SetText(text)) {
        return nullptr;
    }
    entry->caret = entry->Length();
    return entry;
}

void X11TextEntry::HandleKey(XKeyEvent& event) {
    char typed[16];
    KeySym key = NoSymbol;
    const int length = XLookupString(&event, typed, sizeof typed, &key, nullptr);
    switch (key) {
    case XK_Return:
    case XK_KP_Enter:
        state = kTextEntryCommit;
        return;
    case XK_Escape:
        state = kTextEntryCancel;
        return;
    case XK_BackSpace:
        Erase(true);
        break;
    case XK_Delete:
        Erase(false);
        break;
    case XK_Left:
        caret = selected ? 0 : (caret > 0 ? caret - 1 : 0);
        selected = false;
        break;
    case XK_Right:
        caret = selected ? Length() : (caret < Length() ? caret + 1 : caret);
        selected = false;
        break;
    case XK_Home:
        caret = 0;
        selected = false;
        break;
    case XK_End:
        caret = Length();
        selected = false;
        break;
    default:
        for (int i = 0; i < length; ++i) {
            Insert(typed[i]);
        }
        break;
    }
    X11ErrorTrap trap(editor.Screen().display);
    Draw();
}

void X11TextEntry::Insert(char c) {
    // Control characters never go into the text; the parameter's rules decide the rest.
    if (static_cast<unsigned char>(c) < ' ' ||
        !EntryAcceptsCharacter(parameter, static_cast<unsigned char>(c))) {
        return;
    }
    if (selected) {
        Empty();
    }
    if (Length() >= control->TextEntryLength()) {
        return;
    }
    const int32_t size = text.Size();
    text.Resize(size + 1, false);
    if (text.Size() != size + 1) {
        return;
    }
    // The bytes from the caret on, terminator included, move up by one.
    char* chars = reinterpret_cast<char*>(text.Data());
    std::memmove(chars + caret + 1, chars + caret, static_cast<size_t>(size - caret));
    chars[caret++] = c;
}

void X11TextEntry::Erase(bool before) {
    if (selected) {
        Empty();
        return;
    }
    const int32_t at = before ? caret - 1 : caret;
    if (at < 0 || at >= Length()) {
        return;
    }
    char* chars = reinterpret_cast<char*>(text.Data());
    std::memmove(chars + at, chars + at + 1, static_cast<size_t>(text.Size() - at - 1));
    text.Resize(text.Size() - 1, false);
    caret = at;
}

void X11TextEntry::Empty() {
    // Shrinking without giving memory back cannot fail.
    text.Resize(1, false);
    text.Data()[0] = 0;
    caret = 0;
    selected = false;
}

void X11TextEntry::Draw() {
    const int w = bitmap.GetWidth();
    const int h = bitmap.GetHeight();
    if (w <= 0 || h <= 0) {
        return;
    }
    x11draw::Fill(bitmap, 0, 0, w, h, style.entryBackground.Packed() | 0xFF000000);
    PIX_IFont* font = editor.FontForStyle(style);
    const int textWidth = x11draw::TextWidth(font, Text(), Length());
    const int lineHeight = font != nullptr ? font->GetLineHeight() : 0;
    int x = 2;
    if (style.alignment == 2) {
        x = w - 2 - textWidth;
    } else if (style.alignment != 0) {
        x = (w - textWidth) / 2;
    }
    const int y = (h - lineHeight) / 2;
    uint32_t colour = style.entryText.Packed() | 0xFF000000;
    if (selected && Length() > 0) {
        x11draw::Fill(bitmap, x, y, textWidth, lineHeight, x11draw::kAccentColour);
        colour = x11draw::kAccentInkColour;
    }
    x11draw::Text(bitmap, font, Text(), Length(), x, y, colour);
    if (!selected) {
        const int caretX = x + x11draw::TextWidth(font, Text(), caret);
        x11draw::Fill(bitmap, caretX, y, 1, lineHeight, colour);
    }
    const X11Screen& screen = editor.Screen();
    PutX11Bitmap(screen, static_cast<Window>(reinterpret_cast<uintptr_t>(editor.GetWindow())),
                 editor.Context(), bitmap, 0, 0, w, h, area.L, area.T);
}

void X11TextEntry::Commit() {
    if (parameter == nullptr) {
        control->SetTextFromUser(Text());
        return;
    }
    control->SetValueFromUser(EntryCommitValue(*parameter, Text()));
}
