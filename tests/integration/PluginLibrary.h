#pragma once

#include "formats/vst2/VstInterface.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

// A plug-in library loaded the way a host loads it.
class PluginLibrary {
public:
    using EntryPoint = AEffect*(VSTCALLBACK*)(audioMasterCallback);

    explicit PluginLibrary(const std::string& path) {
#ifdef _WIN32
        handle = LoadLibraryA(path.c_str());
#else
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~PluginLibrary() {
        if (handle != nullptr) {
#ifdef _WIN32
            FreeLibrary(handle);
#else
            dlclose(handle);
#endif
        }
    }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool Loaded() const {
        return handle != nullptr;
    }
    // What dlopen or LoadLibrary answered.
    void* Handle() const {
        return handle;
    }

    EntryPoint Entry(const char* name) const {
        if (handle == nullptr) {
            return nullptr;
        }
#ifdef _WIN32
        return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
#else
        return reinterpret_cast<EntryPoint>(dlsym(handle, name));
#endif
    }

private:
#ifdef _WIN32
    HMODULE handle;
#else
    void* handle;
#endif
};
