#pragma once

#include "graphics/IGraphics.h"
#include "platform/linux/X11Support.h"

#include <chrono>
#include <memory>

class X11TextEntry;
struct X11SharedImage;

// The editor on Linux: an X11 child window of the host's window, on a display connection of
// its own. The host drives it, through the VST 2.4 idle call or its run loop watching the
// connection (EventDescriptor) and a timer: Idle handles every pending event and runs the
// frame timer when it is due; nothing else runs between the host's calls (no thread, no
// timer of its own). Pop-up menus and message boxes are windows drawn by the editor with loops of their
// own; the text entry is drawn inside the editor's window.
//
// Threads: everything here runs on the host's user interface thread. X errors of the editor's
// requests are caught around those requests (X11ErrorTrap); the host's error handler is
// never called.
class IGraphicsX11 : public IGraphics {
public:
    // [ui] No lock. No window yet. The plug-in is not owned.
    IGraphicsX11(IPluginBase* plugin, int width, int height, int frameRate);
    // [ui] No lock. Closes the window first.
    ~IGraphicsX11() override;

    bool CopyToWindow(const IRectangle& area) override;
    void CancelTextEntry() override;
    const char* GetBackendName() override { return "X11"; }
    // [ui] No lock. A box that cannot be laid out or shown answers as dismissed: OK, or No for a
    // Yes/No box.
    int ShowMessageBox(const char* text, const char* caption, int type) override;
    // [ui] No lock. A menu that cannot be built or cannot hold the pointer and the keyboard answers
    // none, as dismissed; submenus nest 16 deep at most.
    IMenu* ShowPopupMenu(IMenu& menu, const IRectangle& area) override;
    // [ui] No lock. Opens nothing when the entry cannot be allocated.
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& area, const char* text,
                       IParameter* parameter) override;
    // [ui] No lock. The five directory lookups append nothing when the path does not fit in
    // PATH_MAX bytes or out cannot grow: the caller sees out's size unchanged.
    void GetHostDirectory(IByteBuffer& out) override;
    void GetPluginDirectory(IByteBuffer& out) override;
    void GetDesktopDirectory(IByteBuffer& out) override;
    void GetAppDataDirectory(IByteBuffer& out, bool allUsers) override;
    void GetUserAppDataDirectory(IByteBuffer& out) override;
    void PromptForFile(IByteBuffer& path, int action, IByteBuffer& directory,
                       const char* extensions) override;
    bool PromptForColour(IColour& colour, const char* prompt) override;
    bool OpenUrl(const char* url, const char* caption, const char* confirmText,
                 const char* errorText) override;
    bool CanOpenWindow() const override { return true; }
    // [ui] No lock. parent is the host's X11 window id. Opens the connection and maps the child window
    // at (0, 0); none without a display or when the parent does not exist.
    void* OpenWindow(void* parent) override;
    // [ui] No lock. Destroys the window (unless the host already destroyed it with its parent) and closes
    // the connection.
    void CloseWindow() override;
    // [ui] No lock. The child window's id as a pointer, or none.
    void* GetWindow() override;
    void Idle() override;
    // [ui] No lock. The display connection's socket while the window is open, else -1.
    int EventDescriptor() const override;
    // [ui] No lock. False, with the empty text appended, when there is no text or it cannot be stored.
    bool GetClipboardText(IByteBuffer& out) override;
    PIX_IBitmap* LoadBitmapResource(int id, const char* fileName) override;

    // [ui] No lock. Runs the events of the editor's display and its frame timer until modal finishes:
    // the editor's own window is exposed and repainted meanwhile but takes no input.
    void RunModal(X11ModalWindow& modal);
    // [ui] No lock. The connection of the open window (empty while closed); owned by the editor.
    const X11Screen& Screen() const { return screen; }
    // [ui] No lock. The host's window the editor was opened in (0 while closed).
    Window ParentWindow() const { return parent; }
    // [ui] No lock. The editor's graphics context for the editor's windows; owned by the editor.
    GC Context() const { return gc; }
    // [ui] No lock. The font of the menus and message boxes (the font cache owns it), or none.
    PIX_IFont* DialogFont();

private:
    void HandleEvent(XEvent& event);
    void HandleButtonPress(const XButtonEvent& event);
    void HandleButtonRelease(const XButtonEvent& event);
    void HandleMotion(XEvent& event);
    void HandleKey(XKeyEvent& event);
    void HandleFocus(const XFocusChangeEvent& event);
    // Sends a key the editor does not take to the host's window.
    void ForwardKey(const XKeyEvent& event);
    bool FrameDue() const;
    void FrameTick();
    // Commits or cancels the text entry as its state asks.
    void TextEntryStep();
    void RemoveTextEntry();
    bool AttachSharedImage();
    void ReleaseSharedImage();

    X11Screen screen;
    Window parent = 0;
    Window window = 0;
    GC gc = nullptr;
    bool windowGone = false; // destroyed by the host with its parent
    std::unique_ptr<X11SharedImage> shared;
    std::unique_ptr<X11TextEntry> textEntry;
    std::chrono::steady_clock::time_point lastTick;
    std::chrono::milliseconds period;
    ITextStyle dialogStyle;
    // The last press, for double-clicks.
    unsigned lastButton = 0;
    Time lastPressTime = 0;
    int lastPressX = 0;
    int lastPressY = 0;
};
