// The Linux editor: an X11 child window in the host's window.
#include "platform/EditorFactory.h"
#include "platform/linux/IGraphicsX11.h"

#include <new>

std::unique_ptr<IGraphics> CreatePlatformEditor(IPluginBase* plugin, int width, int height, int frameRate) {
    return std::unique_ptr<IGraphics>(new (std::nothrow) IGraphicsX11(plugin, width, height, frameRate));
}
