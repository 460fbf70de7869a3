// PNG artwork from the module's resources: type "PNG", integer ids.
#include "raster/PIX_PNG.h"

PIX_MemBitmap* PIX_ReadPNGResource(PIX_ModuleHandle module, int id) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    if (!resource) {
        return nullptr;
    }
    const DWORD size = SizeofResource(module, resource);
    if (size < 8 || size > 0x7FFFFFFF) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return nullptr;
    }
    // Resource memory belongs to the loaded module and is never released.
    return PIX_ReadPNGFromBuffer(data, static_cast<int>(size));
}
