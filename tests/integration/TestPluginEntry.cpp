#include "tests/vst/TestEffect.h"
#include "vst/PluginEntry.h"

#include <new>

IPluginVST* CreatePlugin(audioMasterCallback host) {
    TestEffectSetup setup;
    setup.presets = KSP_TEST_PRESETS;
    return new (std::nothrow) TestEffect(host, setup);
}
