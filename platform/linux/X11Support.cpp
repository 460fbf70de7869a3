#include "platform/linux/X11Support.h"

#include "graphics/GraphicsCaches.h"
#include "raster/PIX_Blend.h"
#include "raster/PIX_IFont.h"

#include <X11/Xutil.h>

namespace {

// The innermost trap of this thread; the editor's displays are read on this thread only.
thread_local X11ErrorTrap* activeTrap = nullptr;

constexpr int kTextFlags = DT_NOCLIP | DT_SINGLELINE | DT_NOPREFIX;

} // namespace

bool OpenX11Screen(X11Screen& out) {
    out = X11Screen();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    const int screen = DefaultScreen(display);
    XVisualInfo info;
    // The surface's pixel word 0xAARRGGBB is the pixel of a 24-bit true-colour visual with these
    // masks; servers without one are not served.
    if (XMatchVisualInfo(display, screen, 24, TrueColor, &info) == 0 || info.red_mask != 0xFF0000 ||
        info.green_mask != 0xFF00 || info.blue_mask != 0xFF) {
        XCloseDisplay(display);
        return false;
    }
    out.display = display;
    out.screen = screen;
    out.root = RootWindow(display, screen);
    out.visual = info.visual;
    out.depth = 24;
    out.width = DisplayWidth(display, screen);
    out.height = DisplayHeight(display, screen);
    if (info.visual == DefaultVisual(display, screen)) {
        out.colormap = DefaultColormap(display, screen);
    } else {
        out.colormap = XCreateColormap(display, out.root, info.visual, AllocNone);
        out.ownColormap = true;
    }
    return true;
}

void CloseX11Screen(X11Screen& screen) {
    if (screen.display == nullptr) {
        return;
    }
    {
        X11ErrorTrap trap(screen.display);
        if (screen.ownColormap) {
            XFreeColormap(screen.display, screen.colormap);
        }
    }
    // Everything else the connection made goes with it.
    XCloseDisplay(screen.display);
    screen = X11Screen();
}

X11ErrorTrap::X11ErrorTrap(Display* display)
    : display(display), outer(activeTrap), previous(XSetErrorHandler(OnError)) {
    activeTrap = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display, False);
    activeTrap = outer;
    XSetErrorHandler(previous);
}

bool X11ErrorTrap::Failed() {
    XSync(display, False);
    return failed;
}

int X11ErrorTrap::OnError(Display* display, XErrorEvent* /*error*/) {
    for (X11ErrorTrap* trap = activeTrap; trap != nullptr; trap = trap->outer) {
        if (trap->display == display) {
            trap->failed = true;
            break;
        }
    }
    return 0;
}

Window CreateX11Window(const X11Screen& screen, Window parent, const IRectangle& area, bool overrideRedirect,
                       long eventMask) {
    XSetWindowAttributes attributes = {};
    attributes.colormap = screen.colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;
    attributes.override_redirect = overrideRedirect ? True : False;
    attributes.event_mask = eventMask;
    const unsigned long mask = CWColormap | CWBorderPixel | CWBackPixmap | CWOverrideRedirect | CWEventMask;
    return XCreateWindow(screen.display, parent, area.L, area.T, static_cast<unsigned>(area.Width()),
                         static_cast<unsigned>(area.Height()), 0, screen.depth, InputOutput, screen.visual,
                         mask, &attributes);
}

void PutX11Bitmap(const X11Screen& screen, Window window, GC gc, const PIX_IBitmap& bitmap, int sx, int sy,
                  int w, int h, int dx, int dy) {
    if (w <= 0 || h <= 0 || bitmap.GetPixels() == nullptr || bitmap.IsBottomUp()) {
        return;
    }
    // The image only borrows the bitmap's pixels.
    XImage* image =
        XCreateImage(screen.display, screen.visual, static_cast<unsigned>(screen.depth), ZPixmap, 0,
                     reinterpret_cast<char*>(bitmap.GetPixels()), static_cast<unsigned>(bitmap.GetWidth()),
                     static_cast<unsigned>(bitmap.GetHeight()), 32, bitmap.GetRowSpan() * 4);
    if (image == nullptr) {
        return;
    }
    XPutImage(screen.display, window, gc, image, sx, sy, dx, dy, static_cast<unsigned>(w),
              static_cast<unsigned>(h));
    image->data = nullptr;
    XDestroyImage(image);
}

bool ReadX11Window(Display* display, Window window, int width, int height, PIX_IBitmap& out) {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    out.SetSize(width, height);
    const bool sized = out.GetWidth() == width && out.GetHeight() == height;
    for (int y = 0; sized && y < height; ++y) {
        PIX_Pixel32* row = PIX_RowAddress(out, y);
        for (int x = 0; x < width; ++x) {
            row[x] = 0xFF000000u | static_cast<PIX_Pixel32>(XGetPixel(image, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return sized;
}

Window TopLevelOf(Display* display, Window window) {
    Window current = window;
    for (int depth = 0; depth < 64; ++depth) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, current, &root, &parent, &children, &count) == 0) {
            return 0;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == 0 || parent == root) {
            return current;
        }
        current = parent;
    }
    return current;
}

namespace x11draw {

void Fill(PIX_IBitmap& bitmap, int x, int y, int w, int h, uint32_t colour) {
    PIX_FillArea(&bitmap, x, y, w, h, colour, 1.0f, BlendCopy);
}

void Frame(PIX_IBitmap& bitmap, int x, int y, int w, int h, uint32_t colour) {
    Fill(bitmap, x, y, w, 1, colour);
    Fill(bitmap, x, y + h - 1, w, 1, colour);
    Fill(bitmap, x, y, 1, h, colour);
    Fill(bitmap, x + w - 1, y, 1, h, colour);
}

int TextWidth(PIX_IFont* font, const char* text, int length) {
    if (font == nullptr || text == nullptr || length == 0 || text[0] == '\0') {
        return 0;
    }
    const TextLock lock;
    PIX_Rect extent = {0, 0, 0, 0};
    font->RenderText(nullptr, text, length, extent, kTextFlags | DT_CALCRECT);
    return extent.right;
}

void Text(PIX_IBitmap& bitmap, PIX_IFont* font, const char* text, int length, int x, int y, uint32_t colour) {
    if (font == nullptr || text == nullptr || length == 0 || text[0] == '\0') {
        return;
    }
    const TextLock lock;
    font->SetForeground(colour);
    PIX_Rect box = {x, y, x, y};
    font->RenderText(&bitmap, text, length, box, kTextFlags);
}

} // namespace x11draw
