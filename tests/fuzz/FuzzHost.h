#pragma once

#include "tests/support/OpenInstance.h"

#include <cstring>

// A host that answers the vendor query, so the chunk-quirk path of the plug-in can be reached.
template <bool QuirkHost>
VstIntPtr VSTCALLBACK FuzzHostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    if (opcode == audioMasterGetVendorString && ptr != nullptr) {
        std::strcpy(static_cast<char*>(ptr), QuirkHost ? "Native Instruments" : "Fuzz Host");
        return 1;
    }
    return 0;
}
