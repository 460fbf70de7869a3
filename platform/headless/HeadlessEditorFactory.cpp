// The targets without an editor window: the editor paints, but the host sees no editor.
#include "platform/EditorFactory.h"
#include "platform/ModuleHandle.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <new>

std::unique_ptr<IGraphics> CreatePlatformEditor(IPluginBase* plugin, int width, int height, int frameRate) {
    return std::unique_ptr<IGraphics>(
        new (std::nothrow) IGraphicsHeadless(plugin, width, height, frameRate, PluginModuleHandle()));
}
