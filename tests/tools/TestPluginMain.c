/* The old entry point main of the test plug-in, in C: C++ does not allow a function named main
   that returns a pointer. */
#include <stdint.h>

struct AEffect;
typedef intptr_t (*HostCallback)(struct AEffect*, int32_t, int32_t, intptr_t, void*, float);

struct AEffect* TestPluginCreate(HostCallback host);

#ifdef _WIN32
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
    struct AEffect* main(HostCallback host) {
    return TestPluginCreate(host);
}
