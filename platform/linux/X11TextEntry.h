#pragma once

#include "graphics/IGraphicsRecords.h"
#include "graphics/TextEntryRules.h"
#include "platform/linux/X11Support.h"
#include "raster/PIX_MemBitmap.h"

#include <string>

class IControl;
class IGraphicsX11;
class IParameter;

// The in-place text entry over a control, drawn into the editor's window in the style's entry
// colours. It edits one line: typing replaces the initial (selected) text, then inserts at
// the caret; Return asks for a commit, Escape for a cancel.
class X11TextEntry {
public:
    // [ui] No lock. control and parameter (none for a text) are not owned.
    X11TextEntry(IGraphicsX11& editor, IControl* control, const ITextStyle& style, const IRectangle& area,
                 const char* text, IParameter* parameter);

    // [ui] No lock. A key pressed while the entry is open.
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
    const std::string& Text() const { return text; }

private:
    void Insert(char c);
    void Erase(bool before);

    IGraphicsX11& editor;
    IControl* control;
    IParameter* parameter;
    ITextStyle style;
    IRectangle area;
    std::string text;
    PIX_MemBitmap bitmap;
    size_t caret;
    bool selected = true; // the whole text, as the entry opens
    int state = kTextEntryOpen;
};
