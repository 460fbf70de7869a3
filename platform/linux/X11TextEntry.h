#pragma once

#include "core/IByteBuffer.h"
#include "graphics/IGraphicsRecords.h"
#include "graphics/TextEntryRules.h"
#include "platform/linux/X11Support.h"
#include "raster/PIX_MemBitmap.h"

#include <cstdint>
#include <memory>

class IControl;
class IGraphicsX11;
class IParameter;

// The in-place text entry over a control, drawn into the editor's window in the style's entry
// colours. It edits one line: typing replaces the initial (selected) text, then inserts at
// the caret; Return asks for a commit, Escape for a cancel.
class X11TextEntry {
public:
    // [ui] No lock. The entry over area showing text (none counts as empty), or none when its
    // text or its picture cannot be allocated; the caller owns it. control and parameter (none
    // for a text) are not owned.
    static std::unique_ptr<X11TextEntry> Create(IGraphicsX11& editor, IControl* control,
                                                const ITextStyle& style, const IRectangle& area,
                                                const char* text, IParameter* parameter);

    // [ui] No lock. A key pressed while the entry is open; a character that cannot be stored is
    // refused.
    void HandleKey(XKeyEvent& event);
    // [ui] No lock. Call inside an error trap. Draws the entry over the editor's window.
    void Draw();
    // [ui] Takes the plug-in lock (through the plug-in). Hands the typed text to the control: a
    // parameter's value or the text itself.
    void Commit();

    // [ui] No lock.
    int State() const { return state; }
    void SetState(int newState) { state = newState; }
    const IRectangle& Area() const { return area; }
    // [ui] No lock. The typed text, owned by the entry until its next key.
    const char* Text() const { return text.Text(); }

private:
    X11TextEntry(IGraphicsX11& editor, IControl* control, const ITextStyle& style, const IRectangle& area,
                 IParameter* parameter);

    int32_t Length() const { return text.Size() - 1; }
    void Insert(char c);
    void Erase(bool before);
    void Empty();

    IGraphicsX11& editor;
    IControl* control;
    IParameter* parameter;
    ITextStyle style;
    IRectangle area;
    IByteBuffer text{32}; // always zero-terminated
    PIX_MemBitmap bitmap;
    int32_t caret = 0;
    bool selected = true; // the whole text, as the entry opens
    int state = kTextEntryOpen;
};
