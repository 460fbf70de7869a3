// Message boxes: a top-level window named by the caption, transient for the host's window,
// drawn with the raster library. It takes the keyboard focus itself, so it works without a
// window manager.
#include "platform/linux/IGraphicsX11.h"
#include "raster/PIX_IFont.h"
#include "raster/PIX_MemBitmap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

namespace {

constexpr int kMargin = 16;
constexpr int kTabWidth = 48;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;
constexpr int kMinimumWidth = 260;
constexpr uint32_t kButtonFace = 0xFFE1E1E1;
constexpr long kBoxEvents =
    ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;

struct Button {
    const char* label;
    int answer;
    IRectangle rect;
};

class X11MessageBox final : public X11ModalWindow {
public:
    X11MessageBox(IGraphicsX11& editor, int type) : editor(editor), screen(editor.Screen()) {
        if ((type & 0xF) == kMessageBoxYesNo) {
            buttons[0] = {"Yes", kMessageBoxAnswerYes, {}};
            buttons[1] = {"No", kMessageBoxAnswerNo, {}};
            buttonCount = 2;
            escapeAnswer = kMessageBoxAnswerNo;
        } else {
            buttons[0] = {"OK", kMessageBoxAnswerOk, {}};
            buttonCount = 1;
            escapeAnswer = kMessageBoxAnswerOk;
        }
    }
    ~X11MessageBox() override;
    X11MessageBox(const X11MessageBox&) = delete;
    X11MessageBox& operator=(const X11MessageBox&) = delete;

    // A box that cannot be laid out or shown answers as dismissed (escapeAnswer).
    int Run(const char* message, const char* caption);

    void HandleEvent(XEvent& event) override;
    bool Finished() const override { return answer != 0; }

private:
    void Layout();
    // Walks the text piece by piece (up to a tab or a line's end), drawing each piece into the
    // bitmap when draw is set; answers the widest line's width and sets lines to their count.
    int LayOutText(bool draw, int& lines);
    void Draw();
    int ButtonAt(int x, int y) const;

    IGraphicsX11& editor;
    const X11Screen& screen;
    Button buttons[2] = {};
    int buttonCount;
    const char* text = ""; // the caller's, while Run lasts
    PIX_MemBitmap bitmap;
    Window window = 0;
    Atom deleteWindow = None;
    int escapeAnswer;
    int answer = 0;
    int pressedButton = -1;
    int lineHeight = 14;
    Window previousFocus = None;
    int previousRevert = RevertToParent;
};

X11MessageBox::~X11MessageBox() {
    if (window != 0) {
        X11ErrorTrap trap(screen.display);
        XDestroyWindow(screen.display, window);
    }
}

int X11MessageBox::LayOutText(bool draw, int& lines) {
    PIX_IFont* font = editor.DialogFont();
    int line = 0;
    int x = 0;
    int textWidth = 0;
    const char* start = text;
    for (const char* p = text;; ++p) {
        if (*p == '\t' || *p == '\n' || *p == '\0') {
            const int length = static_cast<int>(p - start);
            if (draw) {
                x11draw::Text(bitmap, font, start, length, kMargin + x, kMargin + line * lineHeight,
                              x11draw::kInkColour);
            }
            x += x11draw::TextWidth(font, start, length);
            textWidth = std::max(textWidth, x);
            if (*p == '\t') {
                x = (x / kTabWidth + 1) * kTabWidth;
            } else if (*p == '\n') {
                x = 0;
                ++line;
            } else {
                break;
            }
            start = p + 1;
        }
    }
    lines = line + 1;
    return textWidth;
}

void X11MessageBox::Layout() {
    PIX_IFont* font = editor.DialogFont();
    lineHeight = font != nullptr ? font->GetLineHeight() : 14;
    int lines = 0;
    const int textWidth = LayOutText(false, lines);
    const int buttonsWidth = buttonCount * (kButtonWidth + kButtonGap) - kButtonGap;
    const int width = std::max({kMinimumWidth, textWidth + 2 * kMargin, buttonsWidth + 2 * kMargin});
    const int height = kMargin + lines * lineHeight + kMargin + kButtonHeight + kMargin;
    int buttonX = width - kMargin - buttonsWidth;
    for (int i = 0; i < buttonCount; ++i) {
        buttons[i].rect = {buttonX, height - kMargin - kButtonHeight, buttonX + kButtonWidth,
                           height - kMargin};
        buttonX += kButtonWidth + kButtonGap;
    }
    bitmap.SetSize(width, height);
}

void X11MessageBox::Draw() {
    if (bitmap.GetPixels() == nullptr) {
        return;
    }
    PIX_IFont* font = editor.DialogFont();
    x11draw::Fill(bitmap, 0, 0, bitmap.GetWidth(), bitmap.GetHeight(), x11draw::kWindowColour);
    // Without a window manager nothing else frames the box.
    x11draw::Frame(bitmap, 0, 0, bitmap.GetWidth(), bitmap.GetHeight(), x11draw::kEdgeColour);
    int lines = 0;
    LayOutText(true, lines);
    for (int i = 0; i < buttonCount; ++i) {
        const IRectangle& r = buttons[i].rect;
        x11draw::Fill(bitmap, r.L, r.T, r.Width(), r.Height(), kButtonFace);
        // Return presses the first button: it carries the mark.
        x11draw::Frame(bitmap, r.L, r.T, r.Width(), r.Height(),
                       i == 0 ? x11draw::kAccentColour : x11draw::kEdgeColour);
        const int labelWidth = x11draw::TextWidth(font, buttons[i].label, -1);
        x11draw::Text(bitmap, font, buttons[i].label, -1, r.L + (r.Width() - labelWidth) / 2,
                      r.T + (r.Height() - lineHeight) / 2, x11draw::kInkColour);
    }
    X11ErrorTrap trap(screen.display);
    PutX11Bitmap(screen, window, editor.Context(), bitmap, 0, 0, bitmap.GetWidth(), bitmap.GetHeight(), 0, 0);
}

int X11MessageBox::ButtonAt(int x, int y) const {
    for (int i = 0; i < buttonCount; ++i) {
        if (buttons[i].rect.Contains(x, y)) {
            return i;
        }
    }
    return -1;
}

int X11MessageBox::Run(const char* message, const char* caption) {
    text = message != nullptr ? message : "";
    Layout();
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    if (width <= 0 || height <= 0) {
        return escapeAnswer;
    }
    Display* display = screen.display;
    {
        X11ErrorTrap trap(display);
        // Centred over the host's window, or over the screen when it cannot be found.
        const Window host = TopLevelOf(display, editor.ParentWindow());
        int x = (screen.width - width) / 2;
        int y = (screen.height - height) / 2;
        XWindowAttributes attributes;
        if (host != 0 && XGetWindowAttributes(display, host, &attributes) != 0) {
            int hostX = 0;
            int hostY = 0;
            Window child = 0;
            XTranslateCoordinates(display, host, screen.root, 0, 0, &hostX, &hostY, &child);
            x = hostX + (attributes.width - width) / 2;
            y = hostY + (attributes.height - height) / 2;
        }
        x = std::max(0, std::min(x, screen.width - width));
        y = std::max(0, std::min(y, screen.height - height));
        window = CreateX11Window(screen, screen.root, {x, y, x + width, y + height}, false, kBoxEvents);
        XStoreName(display, window, caption != nullptr ? caption : "");
        if (host != 0) {
            XSetTransientForHint(display, window, host);
        }
        deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &deleteWindow, 1);
        const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
        const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&dialog), 1);
        XSizeHints* hints = XAllocSizeHints();
        if (hints != nullptr) {
            hints->flags = PPosition | PMinSize | PMaxSize;
            hints->x = x;
            hints->y = y;
            hints->min_width = hints->max_width = width;
            hints->min_height = hints->max_height = height;
            XSetWMNormalHints(display, window, hints);
            XFree(hints);
        }
        XGetInputFocus(display, &previousFocus, &previousRevert);
        XMapRaised(display, window);
        if (trap.Failed()) {
            return escapeAnswer;
        }
    }
    editor.RunModal(*this);
    X11ErrorTrap trap(display);
    XDestroyWindow(display, window);
    window = 0;
    if (previousFocus != None) {
        XSetInputFocus(display, previousFocus, previousRevert, CurrentTime);
    }
    return answer;
}

void X11MessageBox::HandleEvent(XEvent& event) {
    if (event.xany.window != window) {
        return;
    }
    switch (event.type) {
    case MapNotify: {
        // Only a viewable window can take the focus.
        X11ErrorTrap trap(screen.display);
        XSetInputFocus(screen.display, window, RevertToParent, CurrentTime);
        break;
    }
    case Expose:
        if (event.xexpose.count == 0) {
            Draw();
        }
        break;
    case KeyPress: {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_Return || key == XK_KP_Enter) {
            answer = buttons[0].answer;
        } else if (key == XK_Escape) {
            answer = escapeAnswer;
        }
        break;
    }
    case ButtonPress:
        pressedButton = event.xbutton.button == Button1 ? ButtonAt(event.xbutton.x, event.xbutton.y) : -1;
        break;
    case ButtonRelease:
        if (event.xbutton.button == Button1 && pressedButton >= 0 &&
            ButtonAt(event.xbutton.x, event.xbutton.y) == pressedButton) {
            answer = buttons[pressedButton].answer;
        }
        pressedButton = -1;
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
            answer = escapeAnswer;
        }
        break;
    case DestroyNotify:
        window = 0;
        answer = escapeAnswer;
        break;
    default:
        break;
    }
}

} // namespace

int IGraphicsX11::ShowMessageBox(const char* text, const char* caption, int type) {
    if (GetWindow() == nullptr) {
        return (type & 0xF) == kMessageBoxYesNo ? kMessageBoxAnswerNo : kMessageBoxAnswerOk;
    }
    X11MessageBox box(*this, type);
    return box.Run(text, caption);
}
