// PNG artwork compiled into the library, found by the same integer ids as the Windows
// resources. There is no module to search, so the handle is ignored.
#include "raster/PIX_PNG.h"
#include "raster/linux/PIX_EmbeddedPNG.h"

PIX_MemBitmap* PIX_ReadPNGResource(PIX_ModuleHandle, int id) {
    // Integer resource names are 16 bits wide, as on Windows.
    const int name = id & 0xFFFF;
    for (int i = 0; i < PIX_embeddedPNGCount; ++i) {
        const PIX_EmbeddedPNG& image = PIX_embeddedPNGs[i];
        if (image.id == name) {
            return PIX_ReadPNGFromBuffer(image.data, image.size);
        }
    }
    return nullptr;
}
