#include "platform/ModuleHandle.h"

namespace {

void* moduleHandle = nullptr;

} // namespace

void* PluginModuleHandle() {
    return moduleHandle;
}

void SetPluginModuleHandle(void* handle) {
    moduleHandle = handle;
}
