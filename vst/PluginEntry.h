#pragma once

#include "vst/IPluginVST.h"

// Creates the plug-in for one VSTPluginMain call; none when it could not be created.
// Defined by the effect.
IPluginVST* CreatePlugin(audioMasterCallback host);
