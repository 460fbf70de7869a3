// What every plug-in library does when it is loaded and unloaded, whatever its format. Compiled
// into each library itself (a static library would leave the loader's hooks out).
#include "graphics/GraphicsCaches.h"
#include "platform/ModuleHandle.h"

#ifdef _WIN32
#include <windows.h>

namespace __gnu_cxx {
// Frees the emergency exception-allocation pool of the statically linked C++ runtime.
void __freeres();
} // namespace __gnu_cxx

// Keeps the module handle for the editor's resources. When a host unloads the library, destroys
// the editors' shared artwork and fonts and gives back what the statically linked C++ runtime
// allocated at load (about 74 kB per load for its exception pool); at process exit there is
// nothing to give back.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetPluginModuleHandle(instance);
    }
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        if (LiveEditorCount() == 0) {
            ReleaseGraphicsCaches();
        }
        __gnu_cxx::__freeres();
    }
    return TRUE;
}
#else
// The editors' shared artwork and fonts go with the library, unless a host exits while it
// still holds instances that may be painting.
__attribute__((destructor)) static void ReleaseAtUnload() {
    if (LiveEditorCount() == 0) {
        ReleaseGraphicsCaches();
    }
}
#endif
