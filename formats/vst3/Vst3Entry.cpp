// The exported entry points of the VST 3 module; nothing else is visible to the host. Hosts pair
// the module's entry and exit calls; the module keeps nothing between them but the factory,
// which goes with the host's last reference.
#include "formats/vst3/Vst3PluginFactory.h"

#ifdef _WIN32
#define KSP_EXPORT
#else
#define KSP_EXPORT __attribute__((visibility("default")))
#endif

namespace vst3 {

KSP_EXPORT IPluginFactory* VST3_CALL GetPluginFactory() {
    return Vst3PluginFactory::Get();
}

#ifdef _WIN32
bool InitDll() {
    return true;
}

bool ExitDll() {
    return true;
}
#else
KSP_EXPORT bool ModuleEntry(void* /*sharedLibraryHandle*/) {
    return true;
}

KSP_EXPORT bool ModuleExit() {
    return true;
}
#endif

} // namespace vst3
