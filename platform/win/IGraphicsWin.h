#pragma once

#include "graphics/IGraphics.h"
#include "graphics/TextEntryRules.h"

#include <windows.h>

#include <memory>

// The editor on Windows: a child window inside the host's window, drawn from the off-screen
// surface on a frame timer and driven by the window's mouse and key messages, with native
// pop-up menus, an in-place EDIT control for typed values, message boxes and shell services.
//
// Threads: everything here runs on the host's user interface thread that owns the window; the
// window procedures, the timer, painting and the modal loops of menus and dialogs included.
// The process-wide count of editor windows is used without a lock for the same reason.
class IGraphicsWin : public IGraphics {
public:
    // [ui] module: the plug-in library, whose resources hold the images and which owns the
    // window class. Creates no window. The plug-in and the module are not owned.
    IGraphicsWin(IPluginBase* plugin, int width, int height, int frameRate, HMODULE module);
    // [ui] Closes the window first.
    ~IGraphicsWin() override;

    bool CopyToWindow(const IRectangle& area) override;
    void CancelTextEntry() override;
    void Resize(int newWidth, int newHeight) override;
    const char* GetBackendName() override { return "Windows GDI"; }
    int ShowMessageBox(const char* text, const char* caption, int type) override;
    IMenu* ShowPopupMenu(IMenu& menu, const IRectangle& area) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& area, const char* text,
                       IParameter* parameter) override;
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
    void* OpenWindow(void* parent) override;
    void CloseWindow() override;
    void* GetWindow() override { return window; }
    bool GetClipboardText(IByteBuffer& out) override;
    void HideMouseCursor() override;
    void ShowMouseCursor() override;
    PIX_IBitmap* LoadBitmapResource(int id, const char* fileName) override;

    // [ui] No lock. The host's top-level window (the root of the parent chain, or a window of
    // this process with the class found before), cached while it exists; none when unknown.
    // The window is the host's.
    HWND FindMainWindow();
    // [ui] No lock. The text of the tooltip that covers the window; none clears it. Copied.
    void SetTooltipText(const char* text);
    // [ui] No lock. Whether the window shows tooltips (it needs mouse-over handling too).
    // Takes effect at the next OpenWindow.
    void SetShowTooltips(bool show) { showTooltips = show; }
    // [ui] No lock. The state of the open text entry (kTextEntry...), or kTextEntryOpen when none.
    int TextEntryState() const { return textEntryState; }
    // [ui] No lock. The open text entry's EDIT control, or none; the editor owns it.
    HWND TextEntryWindow() const { return textEntry; }

private:
    static LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextEntryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT ForwardKey(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleEntryMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnFrameTimer();
    void OnPaint();
    void CreateTooltip();
    void ClearTooltip();
    // Commits or cancels the text entry as its state asks (one frame tick's step).
    void TextEntryStep();
    void CommitTextEntry();
    void RemoveTextEntry();
    // Drops the entry's handles and state once its window is gone.
    void ForgetTextEntry();
    // Gives back this window's share of the window class.
    static void ReleaseWindowClass(HMODULE module);

    HMODULE module;
    HWND window = nullptr;
    HWND textEntry = nullptr;
    HWND tooltipWindow = nullptr;
    IControl* editedControl = nullptr;
    IParameter* editedParameter = nullptr;
    WNDPROC previousEntryProc = nullptr;
    HFONT entryFont = nullptr;
    int textEntryState = kTextEntryOpen;
    bool tooltipShown = false;
    bool showTooltips = false;
    int tooltipControl = -1;
    std::unique_ptr<COLORREF[]> customColours;
    HWND parentWindow = nullptr;
    HWND mainWindow = nullptr;
    char mainWindowClass[256] = {};
    // The window went with its parent before CloseWindow: its class share is still to be given back.
    bool windowLost = false;
    bool cursorHidden = false;
    POINT cursorPosition = {-1, -1};
};
