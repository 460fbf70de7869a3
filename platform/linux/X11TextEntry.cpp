#include "platform/linux/X11TextEntry.h"

#include "core/IParameter.h"
#include "graphics/IControl.h"
#include "graphics/TextEntryRules.h"
#include "platform/linux/IGraphicsX11.h"
#include "raster/PIX_IFont.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {} // namespace

X11TextEntry::X11TextEntry(IGraphicsX11& editor, IControl* control, const ITextStyle& style,
                           const IRectangle& area, const char* text, IParameter* parameter)
    : editor(editor), control(control), parameter(parameter), style(style), area(area),
      text(text != nullptr ? text : ""), bitmap(area.Width() + 1, area.Height() + 1),
      caret(this->text.size()) {
    this->style.cachedFont = nullptr;
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
        caret = selected ? text.size() : (caret < text.size() ? caret + 1 : caret);
        selected = false;
        break;
    case XK_Home:
        caret = 0;
        selected = false;
        break;
    case XK_End:
        caret = text.size();
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
        text.clear();
        caret = 0;
        selected = false;
    }
    if (text.size() >= static_cast<size_t>(control->TextEntryLength())) {
        return;
    }
    text.insert(caret, 1, c);
    ++caret;
}

void X11TextEntry::Erase(bool before) {
    if (selected) {
        text.clear();
        caret = 0;
        selected = false;
    } else if (before && caret > 0) {
        text.erase(--caret, 1);
    } else if (!before && caret < text.size()) {
        text.erase(caret, 1);
    }
}

void X11TextEntry::Draw() {
    const int w = bitmap.GetWidth();
    const int h = bitmap.GetHeight();
    if (w <= 0 || h <= 0) {
        return;
    }
    x11draw::Fill(bitmap, 0, 0, w, h, style.entryBackground.Packed() | 0xFF000000);
    PIX_IFont* font = editor.FontForStyle(style);
    const int textWidth = x11draw::TextWidth(font, text.c_str(), static_cast<int>(text.size()));
    const int lineHeight = font != nullptr ? font->GetLineHeight() : 0;
    int x = 2;
    if (style.alignment == 2) {
        x = w - 2 - textWidth;
    } else if (style.alignment != 0) {
        x = (w - textWidth) / 2;
    }
    const int y = (h - lineHeight) / 2;
    uint32_t colour = style.entryText.Packed() | 0xFF000000;
    if (selected && !text.empty()) {
        x11draw::Fill(bitmap, x, y, textWidth, lineHeight, x11draw::kAccentColour);
        colour = x11draw::kAccentInkColour;
    }
    x11draw::Text(bitmap, font, text.c_str(), static_cast<int>(text.size()), x, y, colour);
    if (!selected) {
        const int caretX = x + x11draw::TextWidth(font, text.c_str(), static_cast<int>(caret));
        x11draw::Fill(bitmap, caretX, y, 1, lineHeight, colour);
    }
    const X11Screen& screen = editor.Screen();
    PutX11Bitmap(screen, static_cast<Window>(reinterpret_cast<uintptr_t>(editor.GetWindow())),
                 editor.Context(), bitmap, 0, 0, w, h, area.L, area.T);
}

void X11TextEntry::Commit() {
    if (parameter == nullptr) {
        control->SetTextFromUser(text.c_str());
        return;
    }
    control->SetValueFromUser(EntryCommitValue(*parameter, text.c_str()));
}
