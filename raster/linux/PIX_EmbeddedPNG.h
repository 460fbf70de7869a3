#pragma once

// The editor's PNG images compiled into the library, by resource id (generated at build time
// from resources/img).
struct PIX_EmbeddedPNG {
    int id;
    const unsigned char* data;
    int size;
};

extern const PIX_EmbeddedPNG PIX_embeddedPNGs[];
extern const int PIX_embeddedPNGCount;
