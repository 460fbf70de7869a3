// The in-place text entry: an EDIT control over a control, committed or cancelled on a frame tick.
#include "platform/win/IGraphicsWin.h"

#include "graphics/TextEntryRules.h"

#include "core/IParameter.h"

namespace {

constexpr int kEntryChildId = 99;
// WM_GETTEXT's buffer: at most 31 characters are read back.
constexpr int kEntryTextCapacity = 32;
constexpr int kBoldWeight = 700;
constexpr int kStyleBold = 1;
constexpr int kStyleItalic = 2;

} // namespace

void IGraphicsWin::CancelTextEntry() {
    textEntryState = kTextEntryCancel;
}

void IGraphicsWin::ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& area,
                                 const char* text, IParameter* parameter) {
    if (control == nullptr || textEntry != nullptr || window == nullptr) {
        return;
    }
    DWORD alignment = ES_CENTER;
    if (style.alignment == 0) {
        alignment = ES_LEFT;
    } else if (style.alignment == 2) {
        alignment = ES_RIGHT;
    }
    textEntry =
        CreateWindowExA(0, "EDIT", text != nullptr ? text : "",
                        WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | alignment, area.L, area.T,
                        area.R - area.L + 1, area.B - area.T + 1, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryChildId)), module, nullptr);
    if (textEntry == nullptr) {
        return;
    }
    entryFont = CreateFontA(style.size, 0, 0, 0, style.style == kStyleBold ? kBoldWeight : 0,
                            style.style == kStyleItalic, 0, 0, 0, 0, 0, 0, 0, style.fontName);
    SendMessageA(textEntry, EM_LIMITTEXT, static_cast<WPARAM>(control->TextEntryLength()), 0);
    SendMessageA(textEntry, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont), FALSE);
    SendMessageA(textEntry, EM_SETSEL, 0, -1);
    SetFocus(textEntry);
    // Replaced after the focus moved, so the state stays open until the entry gains it again.
    previousEntryProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(textEntry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextEntryProc)));
    editedControl = control;
    editedParameter = parameter;
}

LRESULT CALLBACK IGraphicsWin::TextEntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(hwnd), GWLP_USERDATA));
    if (editor == nullptr || editor->textEntry != hwnd) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return editor->HandleEntryMessage(hwnd, message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEntryMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ClearTooltip();
    switch (message) {
    case WM_SETFOCUS:
        textEntryState = kTextEntryFocused;
        break;
    case WM_KILLFOCUS:
        textEntryState = kTextEntryCommit;
        break;
    case WM_GETDLGCODE: {
        const LRESULT code = CallWindowProcA(previousEntryProc, hwnd, message, wParam, lParam);
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        // A dialog host passes Enter on to the entry.
        if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
            return code | DLGC_WANTMESSAGE;
        }
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            textEntryState = kTextEntryCommit;
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            textEntryState = kTextEntryCancel;
            return 0;
        }
        break;
    case WM_CHAR:
        if (!EntryAcceptsCharacter(editedParameter, static_cast<unsigned char>(wParam))) {
            return 0;
        }
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == 1) {
            textEntryState = kTextEntryCommit;
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(previousEntryProc, hwnd, message, wParam, lParam);
}

void IGraphicsWin::TextEntryStep() {
    switch (textEntryState) {
    case kTextEntryCommit:
        CommitTextEntry();
        RemoveTextEntry();
        break;
    case kTextEntryCancel:
        RemoveTextEntry();
        break;
    default:
        textEntryState = kTextEntryOpen;
        break;
    }
}

void IGraphicsWin::CommitTextEntry() {
    char text[kEntryTextCapacity] = {};
    SendMessageA(textEntry, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (editedParameter != nullptr) {
        editedControl->SetValueFromUser(EntryCommitValue(*editedParameter, text));
    } else {
        editedControl->SetTextFromUser(text);
    }
}

void IGraphicsWin::RemoveTextEntry() {
    SetWindowLongPtrA(textEntry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousEntryProc));
    DestroyWindow(textEntry);
    ForgetTextEntry();
}

void IGraphicsWin::ForgetTextEntry() {
    textEntry = nullptr;
    editedControl = nullptr;
    editedParameter = nullptr;
    previousEntryProc = nullptr;
    textEntryState = kTextEntryOpen;
    if (entryFont != nullptr) {
        DeleteObject(entryFont);
        entryFont = nullptr;
    }
}
