#pragma once

#include "core/IByteBuffer.h"
#include "core/IEditor.h"
#include "core/IOwnedList.h"
#include "graphics/IControl.h"
#include "graphics/IGraphicsRecords.h"
#include "graphics/IMenu.h"

#include <memory>

class IParameter;
class IPluginBase;
class PIX_IBitmap;
class PIX_IFont;
class PIX_SysBitmap;

// Key codes of DispatchKeyDown.
constexpr int kKeySpace = 0;
constexpr int kKeyUp = 1;
constexpr int kKeyDown = 2;
constexpr int kKeyLeft = 3;
constexpr int kKeyRight = 4;
constexpr int kKeyDigit0 = 5;   // to 14 for 9
constexpr int kKeyLetterA = 15; // to 40 for Z

// Message box types and answers (the Win32 values).
constexpr int kMessageBoxOk = 0x0;
constexpr int kMessageBoxYesNo = 0x4;
constexpr int kMessageBoxIconError = 0x10;
constexpr int kMessageBoxIconInformation = 0x40;
constexpr int kMessageBoxAnswerOk = 1;
constexpr int kMessageBoxAnswerYes = 6;
constexpr int kMessageBoxAnswerNo = 7;

// The platform-neutral half of the editor: the ordered control list (index 0 is the bottom,
// the last control the top), the off-screen surface the controls draw into, dirty tracking,
// painting, and the mouse and key dispatch. The platform half derives from it and implements
// what needs a window.
//
// Threads: everything runs on the host's user interface thread, except SetParameterFromHost
// and MarkAllDirty, which the host's parameter, program and state paths call from any thread
// with the plug-in lock held; they touch only the controls' atomic values and flags. Painting
// takes no lock but the text lock, around each text (the fonts are shared by every editor of
// the process). The control list itself changes only while the layout is built (Resize and
// AddControl), before the editor is attached or with the plug-in lock held.
class IGraphics : public IEditor {
public:
    // [ui] Stores the size and frame rate; creates no bitmap. The plug-in is not owned.
    IGraphics(IPluginBase* plugin, int width, int height, int frameRate);
    // [ui] Destroys the key catcher, the controls (last to first) and the surface; cached
    // bitmaps and fonts stay in the process-wide caches.
    ~IGraphics() override;
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // Window operations: implemented by the platform half.
    // [ui] Copies area of the surface to the window; false when it could not.
    virtual bool CopyToWindow(const IRectangle& area) = 0;
    // [ui] Takes the text lock. DrawStyledText measuring: moves rect to the text's extent.
    virtual bool MeasureText(ITextStyle& style, const char* text, IRectangle& rect);
    // [ui] Ends an open text entry without committing it.
    virtual void CancelTextEntry() = 0;
    // [ui] Takes the plug-in lock while it replaces the surface, empties the control list (the
    // caller builds its controls again) and reports the new size to the plug-in.
    virtual void Resize(int newWidth, int newHeight);
    // [ui] No lock.
    virtual bool IsWindowOpen() { return GetWindow() != nullptr; }
    // [ui] No lock. The drawing back end's name; the owner is the editor (static text).
    virtual const char* GetBackendName() { return ""; }
    // [ui] Modal; answers the button chosen (kMessageBoxAnswer...).
    virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
    // [ui] Modal; answers the menu (or submenu) in which a choice was made, its Chosen() set,
    // or none when dismissed. The menus stay the caller's.
    virtual IMenu* ShowPopupMenu(IMenu& menu, const IRectangle& area) = 0;
    // [ui] Opens a text entry over area; the window commits it to the control later.
    virtual void ShowTextEntry(IControl* control, const ITextStyle& style, const IRectangle& area,
                               const char* text, IParameter* parameter) = 0;
    // [ui] Directories as zero-terminated texts appended to out.
    virtual void GetHostDirectory(IByteBuffer& out) = 0;
    virtual void GetPluginDirectory(IByteBuffer& out) = 0;
    virtual void GetDesktopDirectory(IByteBuffer& out) = 0;
    virtual void GetAppDataDirectory(IByteBuffer& out, bool allUsers) = 0;
    virtual void GetUserAppDataDirectory(IByteBuffer& out) = 0;
    // [ui] Modal file dialog; path and directory are zero-terminated texts, replaced on a
    // choice. action: 1 save, anything else open.
    virtual void PromptForFile(IByteBuffer& path, int action, IByteBuffer& directory,
                               const char* extensions) = 0;
    // [ui] Modal colour dialog; true and colour set when one was chosen.
    virtual bool PromptForColour(IColour& colour, const char* prompt) = 0;
    // [ui] Opens a web address in the browser; caption, confirmText and errorText may be none.
    virtual bool OpenUrl(const char* url, const char* caption, const char* confirmText,
                         const char* errorText) = 0;
    // [ui] No lock. Whether OpenWindow can give a window on this target at all.
    bool CanOpenWindow() const override = 0;
    // [ui] Called with the plug-in lock held. Makes the window inside the host's parent window;
    // answers it (the editor owns it), or none. Every control is marked dirty.
    void* OpenWindow(void* parent) override = 0;
    // [ui] Called with the plug-in lock held.
    void CloseWindow() override = 0;
    // [ui] No lock. The open window, or none.
    virtual void* GetWindow() = 0;
    // [ui] Called without the plug-in lock. The host's idle call, open window or not: windows
    // without an event loop of their own handle their events and run the frame timer here, and
    // do nothing while closed.
    void Idle() override {}
    // [ui] No lock. None unless the platform's window says otherwise.
    int EventDescriptor() const override { return -1; }
    // [ui] Appends the clipboard's text, zero-terminated; false when there is none.
    virtual bool GetClipboardText(IByteBuffer& out) = 0;
    virtual void HideMouseCursor() {}
    virtual void ShowMouseCursor() {}
    // [ui] Decodes the image resource id; the caller owns the bitmap. None for names that do
    // not end in ".png" (any case) or a missing resource.
    virtual PIX_IBitmap* LoadBitmapResource(int id, const char* fileName) = 0;

    // [ui] Appends a control on top of the others and owns it; a control that cannot be added
    // is deleted. Answers whether it was added.
    bool AddControl(IControl* control);
    // [ui] Inserts a plain-copy bitmap control of the whole image id below every control.
    void AttachBackground(int id, const char* fileName);
    // [ui] Takes the bitmap cache's lock. The strip of image id, decoded once per process;
    // the bitmap belongs to the cache (none when it cannot be loaded).
    IFrameBitmap LoadFrameBitmap(int id, const char* fileName, int frames);
    // [ui] Creates the surface of width x height; false when it cannot be made.
    bool PrepareDrawing() override;
    // [any] Called with the plug-in lock held. Hands a host value (plain values are
    // normalised first) to every control bound to index and to the first auxiliary binding of
    // each that names it. Values that are not numbers are dropped.
    void SetParameterFromHost(int index, double value, bool normalized) override;
    // [any] No lock. Every control will be drawn at the next paint.
    void MarkAllDirty();
    // [ui] Right-click prompt: a menu of the value texts for enumerated parameters (and
    // booleans with texts), else a text entry showing the current value.
    void PromptForParameter(IControl* control, IParameter* parameter, IRectangle* area);

    // [ui] No lock. Drawing into the surface, clipped to the draw rectangle. False when the
    // bitmap or the surface is missing.
    bool DrawBitmap(const IFrameBitmap& bitmap, const IRectangle& dest, int srcX, int srcY,
                    const IBlend* blend);
    // frame is 1-based and not clamped here.
    bool DrawBitmapFrame(const IFrameBitmap& bitmap, const IRectangle& dest, int frame, const IBlend* blend);
    // [ui] Takes the text lock for the whole text (the font is shared by every editor of the
    // process), and the font cache's lock while the style's font is first looked up. Draws text
    // into rect (not clipped), or with measure moves rect to the text's extent. False when no
    // font can be made for the style.
    bool DrawStyledText(ITextStyle& style, const char* text, IRectangle& rect, bool measure);
    // [ui] Takes the text lock, and within it the font cache's lock. The shared font of the
    // style, made on first use and kept in the style; none when the system has no such font.
    // The cache owns it; whoever measures or draws with it holds the text lock meanwhile.
    PIX_IFont* FontForStyle(ITextStyle& style);

    // [ui] No lock. Unites the rectangles of the dirty controls into area; true when one
    // was dirty. After more than 20 quiet calls in a row calls the plug-in's OnHostIdle, taking
    // the plug-in lock for it.
    bool CollectDirtyArea(IRectangle& area);
    // [ui] No lock. Draws the controls that meet area (or, without strict drawing, the dirty
    // controls and what they cover), cleans them and copies area to the window.
    bool PaintArea(const IRectangle& area);

    // [ui] Mouse and key dispatch, in client pixels. Searches run from the top control down
    // and skip hidden and greyed controls. Gestures bracket presses and double-clicks on bound
    // controls (the release ends them). No lock, except that a right-click handed to the
    // plug-in's OnHostParameterMenu takes the plug-in lock for it.
    void DispatchMouseDown(int x, int y, const IMouseState& mouse);
    void DispatchMouseUp(int x, int y, const IMouseState& mouse);
    bool DispatchMouseOver(int x, int y, const IMouseState& mouse);
    void DispatchMouseOut();
    bool DispatchDoubleClick(int x, int y, const IMouseState& mouse);
    void DispatchMouseWheel(int x, int y, const IMouseState& mouse, int steps);
    bool DispatchKeyDown(int x, int y, int key);
    // [ui] A drag to (x, y), delivered to the captured control with the movement since the
    // last position. Nothing without a capture or when the position has not changed.
    void DispatchMouseDrag(int x, int y, const IMouseState& mouse);
    // [ui] Drops the mouse capture.
    void ReleaseCapture();

    // [ui] No lock. The control at index (owned by the editor), or none.
    IControl* ControlAt(int index) const { return controls.At(index); }
    int ControlCount() const { return controls.Count(); }
    // [ui] Takes ownership of the control that receives keys no other control takes (none
    // removes it).
    void SetKeyCatcher(IControl* control);
    int CapturedControl() const { return captured; }
    int MouseOverControl() const { return mouseOverControl; }
    void SetHandleMouseOver(bool handle) { handleMouseOver = handle; }
    void SetStrictDrawing(bool strict) { strictDrawing = strict; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    int FrameRate() const override { return frameRate; }
    IPluginBase* Plugin() const { return plugin; }
    // [ui] The surface (owned by the editor), or none before PrepareDrawing.
    PIX_SysBitmap* Surface() const { return surface.get(); }
    const IRectangle& DrawRect() const { return drawRect; }

private:
    // The topmost control that is visible, not greyed and hit by (x, y); -1 for none.
    int ControlUnder(int x, int y) const;
    void Capture(int index, int x, int y);
    void PaintStrict(const IRectangle& area);
    void PaintDirty();

    IOwnedList<IControl> controls;
    IPluginBase* plugin;
    IRectangle drawRect;
    std::unique_ptr<PIX_SysBitmap> surface;
    std::unique_ptr<IControl> keyCatcher;
    int width;
    int height;
    int frameRate;
    int idleTicks = 0;
    int captured = -1;
    int mouseOverControl = -1;
    int lastX = 0;
    int lastY = 0;
    bool handleMouseOver = false;
    bool strictDrawing = true;
};
