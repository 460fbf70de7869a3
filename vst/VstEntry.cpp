#include "platform/ModuleHandle.h"
#include "platform/RecursiveLock.h"
#include "vst/PluginEntry.h"

// The exported entry points of the plug-in library; nothing else is visible to the host.
// The older entry point is exported under the name main, which a C++ function may not carry
// in a library (it would be taken for a program's entry point): on Windows the module
// definition file vst/exports.def renames it, elsewhere its assembler name does.

#ifdef _WIN32
#define KSP_EXPORT extern "C"
#define KSP_EXPORT_AS_MAIN
#else
#define KSP_EXPORT extern "C" __attribute__((visibility("default")))
#define KSP_EXPORT_AS_MAIN __asm__("main")
#endif

namespace {

// Serialises instance creation across threads; made on first use, destroyed when the library goes.
RecursiveLock& CreationLock() {
    static RecursiveLock lock;
    return lock;
}

} // namespace

KSP_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host) {
    LockGuard guard(CreationLock());
    IPluginVST* plugin = CreatePlugin(host);
    if (plugin == nullptr) {
        return nullptr;
    }
    plugin->FillUnusedPresets(plugin->PresetCount());
    AEffect* effect = plugin->Descriptor();
    if (effect->numPrograms < 1) {
        effect->numPrograms = 1;
    }
    return effect;
}

// The older entry point, exported as main.
KSP_EXPORT AEffect* VSTCALLBACK LegacyPluginMain(audioMasterCallback host) KSP_EXPORT_AS_MAIN;

AEffect* VSTCALLBACK LegacyPluginMain(audioMasterCallback host) {
    return VSTPluginMain(host);
}

#ifdef _WIN32
// Keeps the module handle for the editor's resources.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetPluginModuleHandle(instance);
    }
    return TRUE;
}
#endif
