#include "core/PluginFactory.h"
#include "tests/formats/vst2/TestEffect.h"

#include <new>

// The test effect without programs.
std::unique_ptr<IPluginBase> CreatePlugin() {
    TestEffectSetup setup;
    setup.presets = 0;
    return std::unique_ptr<IPluginBase>(new (std::nothrow) TestEffect(setup));
}
