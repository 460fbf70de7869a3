#pragma once

#include "graphics/IGraphics.h"

#include <memory>

class IPluginBase;

// [ui] The editor of this target for plugin, without a window yet: the platform's window
// editor where the target has one, otherwise an editor that paints but cannot open a window
// (IGraphics::CanOpenWindow answers false, and the host is told of no editor). Reads its
// images from the library's module. The caller owns it; none when memory runs out.
std::unique_ptr<IGraphics> CreatePlatformEditor(IPluginBase* plugin, int width, int height, int frameRate);
