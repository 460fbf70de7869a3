#pragma once

#include "core/IPluginBase.h"

#include <memory>

// [ui] Creates the plug-in this library carries, with its parameters, programs and editor
// (no window yet) and no host: the binding that calls it owns the plug-in and hands it its host.
// None when memory ran out. Defined by the effect; every format's binding calls it.
std::unique_ptr<IPluginBase> CreatePlugin();
