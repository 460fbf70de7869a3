#include "controls/IKSValueText.h"

#include "core/IPluginBase.h"
#include "core/TextCopy.h"
#include "graphics/IGraphics.h"

#include <cstring>

ITextStyle KSValueTextStyle() {
    ITextStyle style;
    CopyText(style.fontName, "Arial", sizeof style.fontName);
    style.size = 13;
    style.colour = {255, 255, 255, 192};
    style.alignment = 1;
    style.quality = 3;
    return style;
}

bool DrawKSValueText(IGraphics& editor, IPluginBase* plugin, int parameter, ITextStyle& style,
                     IRectangle area) {
    const IParameter* bound = plugin != nullptr ? plugin->ParameterAt(parameter) : nullptr;
    if (bound == nullptr) {
        return true;
    }
    // The longest value text and the longest label, with the terminator.
    char text[kParameterTextCapacity + kParameterNameCapacity];
    bound->FormatDisplay(bound->Value(), false, text, true);
    const size_t length = std::strlen(text);
    CopyText(text + length, bound->LabelForHost(), sizeof text - length);
    if (text[0] == '\0') {
        return true;
    }
    return editor.DrawStyledText(style, text, area, false);
}
