#include "tests/vst/TestEffect.h"
#include "vst/PluginEntry.h"

#include <new>

// The test effect without programs.
IPluginVST* CreatePlugin(audioMasterCallback host) {
    TestEffectSetup setup;
    setup.presets = 0;
    return new (std::nothrow) TestEffect(host, setup);
}
