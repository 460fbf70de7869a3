#include "platform/ModuleHandle.h"
#include "platform/RecursiveLock.h"
#include "vst/PluginEntry.h"

// The exported entry points of the plug-in library. Nothing else is visible to the host.

#ifdef _WIN32
#define KSP_EXPORT extern "C" __declspec(dllexport)
#else
#define KSP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Assembler name of a C function: the platform's label prefix ("_" on 32-bit Windows), then the name.
#define KSP_STRINGIFY(x) #x
#define KSP_PREFIX_TEXT(prefix) KSP_STRINGIFY(prefix)
#define KSP_C_SYMBOL(name) KSP_PREFIX_TEXT(__USER_LABEL_PREFIX__) name

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

// The older entry point. It is exported as "main" through its assembler name: a C++ function
// called main would be taken for a program's entry point.
KSP_EXPORT AEffect* VSTCALLBACK LegacyPluginMain(audioMasterCallback host) __asm__(KSP_C_SYMBOL("main"));

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
