#pragma once

// Native handles the raster library hands through: a GDI device context and the module whose
// resources hold the artwork. Linux builds have neither; the types are then plain pointers
// that are always null.
#ifdef _WIN32
#include <windows.h>
using PIX_DeviceContext = HDC;
using PIX_ModuleHandle = HMODULE;
#else
using PIX_DeviceContext = void*;
using PIX_ModuleHandle = void*;
#endif
