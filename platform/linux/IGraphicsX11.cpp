#include "platform/linux/IGraphicsX11.h"

#include "platform/ModuleHandle.h"
#include "platform/ResourceName.h"
#include "platform/linux/X11TextEntry.h"
#include "raster/PIX_PNG.h"
#include "raster/PIX_SysBitmap.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

// A shared-memory image of the whole editor, for servers on this machine that offer MIT-SHM.
struct X11SharedImage {
    XShmSegmentInfo segment = {};
    XImage* image = nullptr;
};

namespace {

constexpr long kEditorEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask |
                               LeaveWindowMask;
constexpr Time kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 4;
constexpr unsigned kWheelUp = 4;
constexpr unsigned kWheelDown = 5;

// The key codes of DispatchKeyDown; -1 for keys the editor does not take.
int MapKey(KeySym key) {
    switch (key) {
    case XK_space:
        return kKeySpace;
    case XK_Up:
        return kKeyUp;
    case XK_Down:
        return kKeyDown;
    case XK_Left:
        return kKeyLeft;
    case XK_Right:
        return kKeyRight;
    default:
        break;
    }
    if (key >= XK_0 && key <= XK_9) {
        return kKeyDigit0 + static_cast<int>(key - XK_0);
    }
    if (key >= XK_a && key <= XK_z) {
        return kKeyLetterA + static_cast<int>(key - XK_a);
    }
    if (key >= XK_A && key <= XK_Z) {
        return kKeyLetterA + static_cast<int>(key - XK_A);
    }
    return -1;
}

// The buttons and keys of an event; state tells them as they were before the event, so a
// press adds its button and a release removes it.
IMouseState MouseOf(unsigned state, unsigned button, bool pressed) {
    IMouseState mouse;
    mouse.left = (state & Button1Mask) != 0;
    mouse.right = (state & Button3Mask) != 0;
    if (button == Button1) {
        mouse.left = pressed;
    } else if (button == Button3) {
        mouse.right = pressed;
    }
    mouse.shift = (state & ShiftMask) != 0;
    mouse.control = (state & ControlMask) != 0;
    mouse.alt = (state & Mod1Mask) != 0;
    return mouse;
}

int Distance(int a, int b) {
    return a > b ? a - b : b - a;
}

} // namespace

IGraphicsX11::IGraphicsX11(IPluginBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate),
      period(std::chrono::milliseconds(frameRate > 0 ? 1000 / frameRate : 40)) {
    std::snprintf(dialogStyle.fontName, sizeof dialogStyle.fontName, "%s", "Arial");
    dialogStyle.size = 14;
    dialogStyle.quality = 2;
}

IGraphicsX11::~IGraphicsX11() {
    IGraphicsX11::CloseWindow();
}

void* IGraphicsX11::OpenWindow(void* parentWindow) {
    CloseWindow();
    const auto id = static_cast<Window>(reinterpret_cast<uintptr_t>(parentWindow));
    if (id == 0 || !OpenX11Screen(screen)) {
        return nullptr;
    }
    bool failed = false;
    {
        X11ErrorTrap trap(screen.display);
        XWindowAttributes attributes;
        failed = XGetWindowAttributes(screen.display, id, &attributes) == 0 || trap.Failed();
        if (!failed) {
            window = CreateX11Window(screen, id, {0, 0, Width(), Height()}, false, kEditorEvents);
            gc = XCreateGC(screen.display, window, 0, nullptr);
            XMapWindow(screen.display, window);
            failed = trap.Failed();
        }
    }
    if (failed) {
        window = 0;
        gc = nullptr;
        CloseX11Screen(screen);
        return nullptr;
    }
    parent = id;
    windowGone = false;
    lastButton = 0;
    AttachSharedImage();
    MarkAllDirty();
    // The first idle call paints everything.
    lastTick = std::chrono::steady_clock::now() - period;
    return GetWindow();
}

void IGraphicsX11::CloseWindow() {
    if (screen.display == nullptr) {
        return;
    }
    textEntry.reset();
    {
        X11ErrorTrap trap(screen.display);
        ReleaseSharedImage();
        if (!windowGone) {
            XDestroyWindow(screen.display, window);
        }
        XFreeGC(screen.display, gc);
    }
    CloseX11Screen(screen);
    window = 0;
    gc = nullptr;
    parent = 0;
}

void* IGraphicsX11::GetWindow() {
    return window != 0 ? reinterpret_cast<void*>(static_cast<uintptr_t>(window)) : nullptr;
}

bool IGraphicsX11::AttachSharedImage() {
    int major = 0;
    int minor = 0;
    Bool pixmaps = False;
    if (XShmQueryVersion(screen.display, &major, &minor, &pixmaps) == 0) {
        return false;
    }
    auto image = std::unique_ptr<X11SharedImage>(new (std::nothrow) X11SharedImage);
    if (!image) {
        return false;
    }
    XShmSegmentInfo& segment = image->segment;
    image->image =
        XShmCreateImage(screen.display, screen.visual, static_cast<unsigned>(screen.depth), ZPixmap, nullptr,
                        &segment, static_cast<unsigned>(Width()), static_cast<unsigned>(Height()));
    if (image->image == nullptr) {
        return false;
    }
    const size_t bytes = static_cast<size_t>(image->image->bytes_per_line) * static_cast<size_t>(Height());
    segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* memory = segment.shmid >= 0 ? shmat(segment.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    bool attached = false;
    if (memory != reinterpret_cast<void*>(-1)) {
        segment.shmaddr = static_cast<char*>(memory);
        segment.readOnly = False;
        image->image->data = segment.shmaddr;
        // A server on another machine cannot attach the segment; that is an error to catch.
        X11ErrorTrap trap(screen.display);
        attached = XShmAttach(screen.display, &segment) != 0 && !trap.Failed();
    }
    if (segment.shmid >= 0) {
        // Marked for removal now: it goes when the last process detaches, even after a crash.
        shmctl(segment.shmid, IPC_RMID, nullptr);
    }
    if (!attached) {
        if (memory != reinterpret_cast<void*>(-1)) {
            shmdt(memory);
        }
        image->image->data = nullptr;
        XDestroyImage(image->image);
        return false;
    }
    shared = std::move(image);
    return true;
}

void IGraphicsX11::ReleaseSharedImage() {
    if (!shared) {
        return;
    }
    XShmDetach(screen.display, &shared->segment);
    XSync(screen.display, False);
    shmdt(shared->segment.shmaddr);
    shared->image->data = nullptr;
    XDestroyImage(shared->image);
    shared.reset();
}

bool IGraphicsX11::CopyToWindow(const IRectangle& area) {
    PIX_SysBitmap* surface = Surface();
    if (window == 0 || windowGone || surface == nullptr || surface->GetPixels() == nullptr) {
        return false;
    }
    const IRectangle clipped = area.Intersect({0, 0, surface->GetWidth(), surface->GetHeight()});
    const int w = clipped.Width();
    const int h = clipped.Height();
    if (w <= 0 || h <= 0) {
        return true;
    }
    X11ErrorTrap trap(screen.display);
    // The shared image has the size the editor had when the window opened.
    if (shared && clipped.R <= shared->image->width && clipped.B <= shared->image->height) {
        XImage* image = shared->image;
        for (int y = clipped.T; y < clipped.B; ++y) {
            std::memcpy(image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line +
                            static_cast<ptrdiff_t>(clipped.L) * 4,
                        PIX_RowAddress(*surface, y) + clipped.L, static_cast<size_t>(w) * 4);
        }
        XShmPutImage(screen.display, window, gc, image, clipped.L, clipped.T, clipped.L, clipped.T,
                     static_cast<unsigned>(w), static_cast<unsigned>(h), False);
    } else {
        PutX11Bitmap(screen, window, gc, *surface, clipped.L, clipped.T, w, h, clipped.L, clipped.T);
    }
    if (textEntry) {
        textEntry->Draw();
    }
    // The trap's synchronisation also tells that the server is done with the shared image.
    return !trap.Failed();
}

void IGraphicsX11::Idle() {
    if (screen.display == nullptr) {
        return;
    }
    // One look at the socket: an idle editor costs the host no more than that.
    pollfd readable = {ConnectionNumber(screen.display), POLLIN, 0};
    const bool waiting = XQLength(screen.display) > 0 || poll(&readable, 1, 0) > 0;
    while (waiting && screen.display != nullptr && XPending(screen.display) > 0) {
        XEvent event;
        XNextEvent(screen.display, &event);
        HandleEvent(event);
    }
    if (screen.display != nullptr && FrameDue()) {
        FrameTick();
    }
}

int IGraphicsX11::EventDescriptor() const {
    return screen.display != nullptr ? ConnectionNumber(screen.display) : -1;
}

bool IGraphicsX11::FrameDue() const {
    return std::chrono::steady_clock::now() - lastTick >= period;
}

void IGraphicsX11::FrameTick() {
    // The next tick is due one period after this one was due, so that the frame rate holds on
    // average whatever the host's idle rate; after a longer pause the count starts again.
    const auto now = std::chrono::steady_clock::now();
    lastTick = now - lastTick < 2 * period ? lastTick + period : now;
    if (textEntry && textEntry->State() != kTextEntryOpen) {
        TextEntryStep();
        return;
    }
    IRectangle area;
    if (!CollectDirtyArea(area)) {
        return;
    }
    PaintArea(area);
    if (textEntry) {
        textEntry->SetState(kTextEntryPainted);
    }
}

void IGraphicsX11::RunModal(X11ModalWindow& modal) {
    const int fd = ConnectionNumber(screen.display);
    while (!modal.Finished()) {
        while (!modal.Finished() && XPending(screen.display) > 0) {
            XEvent event;
            XNextEvent(screen.display, &event);
            if (event.xany.window != window) {
                modal.HandleEvent(event);
            } else if (event.type == Expose || event.type == DestroyNotify) {
                HandleEvent(event);
            }
        }
        if (modal.Finished()) {
            break;
        }
        if (FrameDue()) {
            FrameTick();
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            period - (std::chrono::steady_clock::now() - lastTick));
        pollfd readable = {fd, POLLIN, 0};
        poll(&readable, 1, wait.count() > 0 ? static_cast<int>(wait.count()) : 1);
    }
    // Clicks in the menu or box came between: the next press on the editor is a first one.
    lastButton = 0;
}

void IGraphicsX11::HandleEvent(XEvent& event) {
    if (event.xany.window != window) {
        return;
    }
    switch (event.type) {
    case Expose:
        CopyToWindow({event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                      event.xexpose.y + event.xexpose.height});
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window) {
            windowGone = true;
        }
        break;
    case ButtonPress:
        HandleButtonPress(event.xbutton);
        break;
    case ButtonRelease:
        HandleButtonRelease(event.xbutton);
        break;
    case MotionNotify:
        HandleMotion(event);
        break;
    case KeyPress:
    case KeyRelease:
        HandleKey(event.xkey);
        break;
    case FocusIn:
    case FocusOut:
        HandleFocus(event.xfocus);
        break;
    case LeaveNotify:
        if (MouseOverControl() >= 0 && (event.xcrossing.state & (Button1Mask | Button3Mask)) == 0) {
            DispatchMouseOut();
        }
        break;
    default:
        break;
    }
}

void IGraphicsX11::HandleButtonPress(const XButtonEvent& event) {
    const IMouseState mouse = MouseOf(event.state, event.button, true);
    const bool entryFocused = textEntry && textEntry->State() == kTextEntryFocused;
    if (event.button == kWheelUp || event.button == kWheelDown) {
        if (textEntry) {
            if (!entryFocused) {
                textEntry->SetState(kTextEntryCancel);
            }
            return;
        }
        DispatchMouseWheel(event.x, event.y, mouse, event.button == kWheelUp ? 1 : -1);
        return;
    }
    if (event.button > Button3) {
        return;
    }
    if (textEntry) {
        // Focused: a left or right press beside the entry cancels it; unfocused: any press commits.
        if (!entryFocused) {
            textEntry->SetState(kTextEntryCommit);
        } else if (event.button != Button2 && !textEntry->Area().Contains(event.x, event.y)) {
            textEntry->SetState(kTextEntryCancel);
        }
        return;
    }
    const bool doubleClick = event.button == lastButton && event.time - lastPressTime <= kDoubleClickTime &&
                             Distance(event.x, lastPressX) <= kDoubleClickDistance &&
                             Distance(event.y, lastPressY) <= kDoubleClickDistance;
    // A third press starts over.
    lastButton = doubleClick ? 0 : event.button;
    lastPressTime = event.time;
    lastPressX = event.x;
    lastPressY = event.y;
    if (doubleClick && event.button == Button1) {
        DispatchDoubleClick(event.x, event.y, mouse);
        return;
    }
    DispatchMouseDown(event.x, event.y, mouse);
}

void IGraphicsX11::HandleButtonRelease(const XButtonEvent& event) {
    if (event.button > Button3 || (textEntry && textEntry->State() == kTextEntryFocused)) {
        return;
    }
    DispatchMouseUp(event.x, event.y, MouseOf(event.state, event.button, false));
}

void IGraphicsX11::HandleMotion(XEvent& event) {
    // Only the newest of the moves queued one after another counts.
    while (XEventsQueued(screen.display, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(screen.display, &next);
        if (next.type != MotionNotify || next.xany.window != window) {
            break;
        }
        XNextEvent(screen.display, &event);
    }
    const XMotionEvent& motion = event.xmotion;
    const IMouseState mouse = MouseOf(motion.state, 0, false);
    if (mouse.left || mouse.right) {
        if (!textEntry) {
            DispatchMouseDrag(motion.x, motion.y, mouse);
        }
    } else if (!textEntry || textEntry->State() != kTextEntryFocused) {
        DispatchMouseOver(motion.x, motion.y, mouse);
    }
}

void IGraphicsX11::HandleKey(XKeyEvent& event) {
    if (textEntry) {
        if (event.type == KeyPress) {
            textEntry->HandleKey(event);
        }
        return;
    }
    if (event.type == KeyPress) {
        const int key = MapKey(XLookupKeysym(&event, 0));
        if (key >= 0 && DispatchKeyDown(event.x, event.y, key)) {
            return;
        }
    }
    ForwardKey(event);
}

void IGraphicsX11::ForwardKey(const XKeyEvent& event) {
    if (windowGone) {
        return;
    }
    XEvent forwarded;
    forwarded.xkey = event;
    forwarded.xkey.window = parent;
    forwarded.xkey.subwindow = None;
    X11ErrorTrap trap(screen.display);
    XSendEvent(screen.display, parent, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask,
               &forwarded);
}

void IGraphicsX11::HandleFocus(const XFocusChangeEvent& event) {
    // Grabs of the editor's own menus and the pointer's wanderings do not move the focus.
    if (!textEntry || event.mode != NotifyNormal || event.detail == NotifyPointer ||
        event.detail == NotifyInferior) {
        return;
    }
    if (event.type == FocusIn) {
        textEntry->SetState(kTextEntryFocused);
    } else {
        textEntry->SetState(kTextEntryCommit);
    }
}

void IGraphicsX11::ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& area,
                                 const char* text, IParameter* parameter) {
    if (control == nullptr || textEntry || window == 0 || windowGone) {
        return;
    }
    textEntry = X11TextEntry::Create(*this, control, style, area, text, parameter);
    if (!textEntry) {
        return;
    }
    X11ErrorTrap trap(screen.display);
    textEntry->Draw();
    XSetInputFocus(screen.display, window, RevertToParent, CurrentTime);
}

void IGraphicsX11::CancelTextEntry() {
    if (textEntry) {
        textEntry->SetState(kTextEntryCancel);
    }
}

void IGraphicsX11::TextEntryStep() {
    const int state = textEntry->State();
    if (state == kTextEntryCommit) {
        textEntry->Commit();
        RemoveTextEntry();
    } else if (state == kTextEntryCancel) {
        RemoveTextEntry();
    } else if (state == kTextEntryPainted) {
        textEntry->SetState(kTextEntryOpen);
    }
}

void IGraphicsX11::RemoveTextEntry() {
    const IRectangle area = textEntry->Area();
    textEntry.reset();
    {
        X11ErrorTrap trap(screen.display);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(screen.display, &focus, &revert);
        if (focus == window && !windowGone) {
            XSetInputFocus(screen.display, parent, RevertToParent, CurrentTime);
        }
    }
    // The entry is one pixel larger than its area.
    CopyToWindow({area.L, area.T, area.R + 1, area.B + 1});
}

PIX_IFont* IGraphicsX11::DialogFont() {
    return dialogStyle.cachedFont != nullptr ? dialogStyle.cachedFont : FontForStyle(dialogStyle);
}

PIX_IBitmap* IGraphicsX11::LoadBitmapResource(int id, const char* fileName) {
    if (!IsPngFileName(fileName)) {
        return nullptr;
    }
    return PIX_ReadPNGResource(static_cast<PIX_ModuleHandle>(PluginModuleHandle()), id);
}
