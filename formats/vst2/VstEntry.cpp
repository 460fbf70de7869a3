#include "core/PluginFactory.h"
#include "core/StaticLock.h"
#include "formats/vst2/IPluginVST.h"

// The exported entry points of the plug-in library; nothing else is visible to the host.
// The older entry point is exported under the name main, which a C++ function may not carry
// in a library (it would be taken for a program's entry point): on Windows the module
// definition file formats/vst2/exports.def renames it, elsewhere its assembler name does.

#ifdef _WIN32
#define KSP_EXPORT extern "C"
#define KSP_EXPORT_AS_MAIN
#else
#define KSP_EXPORT extern "C" __attribute__((visibility("default")))
#define KSP_EXPORT_AS_MAIN __asm__("main")
#endif

namespace {

// Serialises instance creation across threads. A function-local static would leave the C++
// runtime's guard mutex behind at every unload on Windows.
StaticLock creationLock;

} // namespace

KSP_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host) {
    creationLock.Lock();
    AEffect* effect = nullptr;
    if (IPluginVST* binding = IPluginVST::Create(host, CreatePlugin())) {
        IPluginBase* plugin = binding->Plugin();
        plugin->FillUnusedPresets(plugin->PresetCount());
        effect = binding->Descriptor();
        if (effect->numPrograms < 1) {
            effect->numPrograms = 1;
        }
    }
    creationLock.Unlock();
    return effect;
}

// The older entry point, exported as main.
KSP_EXPORT AEffect* VSTCALLBACK LegacyPluginMain(audioMasterCallback host) KSP_EXPORT_AS_MAIN;

AEffect* VSTCALLBACK LegacyPluginMain(audioMasterCallback host) {
    return VSTPluginMain(host);
}
