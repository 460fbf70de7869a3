#pragma once

#include "graphics/IGraphicsRecords.h"

class IGraphics;
class IPluginBase;

// [any] No lock. The style of every value text: Arial 13, light yellow-white, centred,
// ClearType.
ITextStyle KSValueTextStyle();

// [ui] No lock: reads the parameter's atomic value and display function. Draws the display
// text of the bound parameter's current plain value, then its label, centred from the top of
// area and not clipped. True when there is no text or it was drawn.
bool DrawKSValueText(IGraphics& editor, IPluginBase* plugin, int parameter, ITextStyle& style,
                     IRectangle area);
