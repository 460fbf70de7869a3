// On Windows the editor is the child window in the host's window.
#include "platform/EditorFactory.h"
#include "platform/ModuleHandle.h"
#include "platform/win/IGraphicsWin.h"

#include <new>

IGraphics* CreatePlatformEditor(IPluginBase* plugin, int width, int height, int frameRate) {
    return new (std::nothrow)
        IGraphicsWin(plugin, width, height, frameRate, static_cast<HMODULE>(PluginModuleHandle()));
}
