#pragma once

// What the X11 editor's windows share: the display connection and its visual, the error trap,
// drawing with the raster library and copying bitmaps to windows. Everything here belongs to
// the host's user interface thread.
#include "graphics/IGraphicsRecords.h"
#include "raster/PIX_IBitmap.h"

#include <X11/Xlib.h>

#include <cstdint>

class IGraphics;
class PIX_IFont;

// The editor's connection: its own display, and the 24-bit true-colour visual every window of
// the editor is made with (the surface's pixel word is its pixel).
struct X11Screen {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    Colormap colormap = 0;
    bool ownColormap = false;
    int depth = 0;
    int width = 0; // of the screen, pixels
    int height = 0;
};

// [ui] No lock. Opens a connection to DISPLAY and finds the visual; false (and nothing open) without a
// display or without a 24-bit true-colour visual. CloseX11Screen releases what it opened.
bool OpenX11Screen(X11Screen& out);
void CloseX11Screen(X11Screen& screen);

// Catches the X errors of one display's requests while it lives: installs its own handler,
// which records errors of that display and drops every other one (the host's handler is never
// called), and on destruction waits for the server's answers before putting the previous
// handler back. Traps may nest.
class X11ErrorTrap {
public:
    // [ui] No lock. Installs the handler.
    explicit X11ErrorTrap(Display* display);
    // [ui] No lock. Synchronises with the server, then restores the previous handler.
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // [ui] No lock. Synchronises with the server; whether any request so far failed.
    bool Failed();

private:
    static int OnError(Display* display, XErrorEvent* error);

    Display* display;
    X11ErrorTrap* outer;
    int (*previous)(Display*, XErrorEvent*);
    bool failed = false;
};

// [ui] No lock. Call inside an error trap. A mapped-later InputOutput window of the editor's visual;
// override-redirect windows are placed by nobody but the editor.
Window CreateX11Window(const X11Screen& screen, Window parent, const IRectangle& area, bool overrideRedirect,
                       long eventMask);

// [ui] No lock. Call inside an error trap. Copies the w x h pixels at (sx, sy) of bitmap to (dx, dy) of
// window through a client-side image (XPutImage).
void PutX11Bitmap(const X11Screen& screen, Window window, GC gc, const PIX_IBitmap& bitmap, int sx, int sy,
                  int w, int h, int dx, int dy);

// [ui] No lock. The width x height pixels at the top-left of window as an opaque bitmap of
// that size (a 24-bit true-colour pixel is 0xRRGGBB); false when they cannot be read.
bool ReadX11Window(Display* display, Window window, int width, int height, PIX_IBitmap& out);

// [ui] No lock. Call inside an error trap. The host's top-level window that holds window (the child of
// the root on its way up), or window itself when it has no parent but the root; 0 when the
// tree cannot be read.
Window TopLevelOf(Display* display, Window window);

// A window of the editor that runs a loop of its own until it is answered (pop-up menus and
// message boxes); the editor hands it the events of its other windows meanwhile.
class X11ModalWindow {
public:
    virtual ~X11ModalWindow() = default;
    // [ui] No lock. An event of the editor's display that is not for the editor's window.
    virtual void HandleEvent(XEvent& event) = 0;
    // [ui] No lock. Whether the loop is over.
    virtual bool Finished() const = 0;
};

// Drawing the menus, message boxes and text entry with the raster library.
namespace x11draw {

// Their shared colours (0xAARRGGBB, opaque).
constexpr uint32_t kWindowColour = 0xFFF2F2F2;
constexpr uint32_t kInkColour = 0xFF000000;
constexpr uint32_t kEdgeColour = 0xFF7A7A7A;
constexpr uint32_t kAccentColour = 0xFF3060C0;    // the highlighted entry, the selection, the default button
constexpr uint32_t kAccentInkColour = 0xFFFFFFFF; // text on the accent colour

// [ui] No lock. Fills the w x h rectangle at (x, y) of bitmap with colour (0xAARRGGBB, opaque).
void Fill(PIX_IBitmap& bitmap, int x, int y, int w, int h, uint32_t colour);
// [ui] No lock. A one-pixel frame inside the w x h rectangle at (x, y).
void Frame(PIX_IBitmap& bitmap, int x, int y, int w, int h, uint32_t colour);
// [ui] Takes the text lock (the editors' fonts are shared). Width in pixels of length bytes of
// text (negative: up to the terminator); 0 without a font.
int TextWidth(PIX_IFont* font, const char* text, int length);
// [ui] Takes the text lock. Draws length bytes of text with its top-left corner at (x, y) in colour.
void Text(PIX_IBitmap& bitmap, PIX_IFont* font, const char* text, int length, int x, int y, uint32_t colour);

} // namespace x11draw
