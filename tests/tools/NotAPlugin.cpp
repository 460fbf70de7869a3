// A shared library that exports something, but no VST entry point.
#ifdef _WIN32
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TEST_EXPORT int NotAPluginAnswer() {
    return 42;
}
