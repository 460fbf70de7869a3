#pragma once

// What the window tests share: a host's top-level window, real input through XTest, the
// screen's pixels, and finding the editor's menus and message boxes from another connection.
#include "raster/PIX_MemBitmap.h"

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// A connection of the test's own (the editor opens another one).
class TestDisplay {
public:
    TestDisplay();
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    Display* Get() const { return display; }
    // Whether display is one of the tests' connections.
    static bool IsTestDisplay(Display* display);
    Window Root() const { return DefaultRootWindow(display); }

    // Real input at root coordinates; every call waits until the server has handled it.
    void Move(int x, int y);
    void Button(unsigned button, bool press);
    void Click(int x, int y, unsigned button = 1);
    // A key by its keysym, with Shift held when shift is set.
    void Key(unsigned long keysym, bool shift = false);
    void Modifier(unsigned long keysym, bool press);

    // The pixels of window (with its children) as an opaque bitmap.
    std::unique_ptr<PIX_MemBitmap> Capture(Window window, int width, int height);

    // A mapped override-redirect child of the root (an open pop-up menu), or 0.
    Window FindMenu();
    // Waits until another client holds the keyboard grab (an open menu's); false after 10 s.
    bool WaitForKeyboardGrab();
    // A mapped child of the root named name, or 0.
    Window FindNamed(const std::string& name);
    // Window's rectangle on the screen.
    void Geometry(Window window, int& x, int& y, int& width, int& height);
    Window FocusWindow();

private:
    Display* display;
};

// Waits up to timeout for find to answer a window; 0 when none came.
Window WaitForWindow(const std::function<Window()>& find,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// A host's top-level window at (x, y) on the test's display, mapped; keys sent on to it by the
// editor are counted.
class HostWindow {
public:
    HostWindow(TestDisplay& display, int x, int y, int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    Window Id() const { return window; }
    void* Handle() const { return reinterpret_cast<void*>(window); }
    // Destroys the window now (the editor's child goes with it).
    void Destroy();
    // Key presses the window received from the editor so far.
    int ForwardedKeys();
    int X() const { return x; }
    int Y() const { return y; }

private:
    TestDisplay& display;
    Window window;
    int x;
    int y;
    int forwarded = 0;
};

// The editor's top-left corner of the panel pictures and the phaser's parameters for ComposePanel.
constexpr int kPanelWidth = 720;
constexpr int kPanelHeight = 174;
