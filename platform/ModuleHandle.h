#pragma once

// The plug-in library's module handle, kept when the library is loaded (the editor finds its
// resources through it); none where the platform needs none.
void* PluginModuleHandle();
void SetPluginModuleHandle(void* handle);
