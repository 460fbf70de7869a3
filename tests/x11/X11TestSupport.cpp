#include "X11TestSupport.h"

#include "platform/linux/X11Support.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

namespace {

std::mutex displaysMutex;
std::set<Display*> testDisplays;

} // namespace

TestDisplay::TestDisplay() : display(XOpenDisplay(nullptr)) {
    if (display == nullptr) {
        std::abort();
    }
    std::lock_guard<std::mutex> lock(displaysMutex);
    testDisplays.insert(display);
}

TestDisplay::~TestDisplay() {
    XCloseDisplay(display);
    std::lock_guard<std::mutex> lock(displaysMutex);
    testDisplays.erase(display);
}

bool TestDisplay::IsTestDisplay(Display* display) {
    std::lock_guard<std::mutex> lock(displaysMutex);
    return testDisplays.count(display) != 0;
}

void TestDisplay::Move(int x, int y) {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}

void TestDisplay::Button(unsigned button, bool press) {
    XTestFakeButtonEvent(display, button, press ? True : False, CurrentTime);
    XSync(display, False);
}

void TestDisplay::Click(int x, int y, unsigned button) {
    Move(x, y);
    Button(button, true);
    Button(button, false);
}

void TestDisplay::Modifier(unsigned long keysym, bool press) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), press ? True : False, CurrentTime);
    XSync(display, False);
}

void TestDisplay::Key(unsigned long keysym, bool shift) {
    if (shift) {
        Modifier(XK_Shift_L, true);
    }
    Modifier(keysym, true);
    Modifier(keysym, false);
    if (shift) {
        Modifier(XK_Shift_L, false);
    }
}

std::unique_ptr<PIX_MemBitmap> TestDisplay::Capture(Window window, int width, int height) {
    auto bitmap = std::make_unique<PIX_MemBitmap>(width, height);
    XSync(display, False);
    if (!ReadX11Window(display, window, width, height, *bitmap)) {
        return nullptr;
    }
    return bitmap;
}

namespace {

// The mapped children of the root that satisfy test, topmost last.
Window FindChild(Display* display, const std::function<bool(Window, const XWindowAttributes&)>& test) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    XSync(display, False);
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && test(children[i], attributes)) {
            found = children[i];
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

} // namespace

Window TestDisplay::FindMenu() {
    return FindChild(display, [](Window, const XWindowAttributes& a) { return a.override_redirect != 0; });
}

Window TestDisplay::FindNamed(const std::string& name) {
    return FindChild(display, [&](Window window, const XWindowAttributes&) {
        char* text = nullptr;
        const bool same = XFetchName(display, window, &text) != 0 && text != nullptr && name == text;
        if (text != nullptr) {
            XFree(text);
        }
        return same;
    });
}

bool TestDisplay::WaitForKeyboardGrab() {
    // A grab on a window that is not mapped never succeeds: the server answers AlreadyGrabbed
    // while another client holds the keyboard, else GrabNotViewable. So the menu's own grab is
    // never disturbed.
    const Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const bool grabbed = WaitForWindow([this, probe]() -> Window {
                             return XGrabKeyboard(display, probe, False, GrabModeAsync, GrabModeAsync,
                                                  CurrentTime) == AlreadyGrabbed
                                        ? probe
                                        : 0;
                         }) != 0;
    XDestroyWindow(display, probe);
    XSync(display, False);
    return grabbed;
}

void TestDisplay::Geometry(Window window, int& x, int& y, int& width, int& height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    width = attributes.width;
    height = attributes.height;
}

Window TestDisplay::FocusWindow() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus;
}

Window WaitForWindow(const std::function<Window()>& find, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (const Window window = find()) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

HostWindow::HostWindow(TestDisplay& display, int x, int y, int width, int height)
    : display(display), x(x), y(y) {
    Display* d = display.Get();
    window = XCreateSimpleWindow(d, display.Root(), x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, BlackPixel(d, DefaultScreen(d)),
                                 BlackPixel(d, DefaultScreen(d)));
    XStoreName(d, window, "test host");
    XSelectInput(d, window, StructureNotifyMask | KeyPressMask);
    XMapWindow(d, window);
    XEvent event;
    do {
        XWindowEvent(d, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}

HostWindow::~HostWindow() {
    Destroy();
}

void HostWindow::Destroy() {
    if (window != 0) {
        XDestroyWindow(display.Get(), window);
        XSync(display.Get(), False);
        window = 0;
    }
}

int HostWindow::ForwardedKeys() {
    XSync(display.Get(), False);
    XEvent event;
    while (window != 0 && XCheckTypedWindowEvent(display.Get(), window, KeyPress, &event)) {
        forwarded += event.xkey.send_event ? 1 : 0;
    }
    return forwarded;
}
