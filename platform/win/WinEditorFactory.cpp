// On Windows the editor is the child window in the host's window.
#include "platform/EditorFactory.h"
#include "platform/ModuleHandle.h"
#include "platform/win/IGraphicsWin.h"

#include <new>

std::unique_ptr<IGraphics> CreatePlatformEditor(IPluginBase* plugin, int width, int height, int frameRate) {
    return std::unique_ptr<IGraphics>(new (std::nothrow) IGraphicsWin(
        plugin, width, height, frameRate, static_cast<HMODULE>(PluginModuleHandle())));
}
