// Linked into test programs that paint: after the last test the editors' shared artwork and
// fonts are released, as the plug-in library does when it is unloaded, so the leak checker
// sees the font libraries shut down.
#include "graphics/GraphicsCaches.h"

#include <gtest/gtest.h>

namespace {

class GraphicsCacheRelease : public ::testing::Environment {
public:
    void TearDown() override { ReleaseGraphicsCaches(); }
};

const ::testing::Environment* const release = ::testing::AddGlobalTestEnvironment(new GraphicsCacheRelease);

} // namespace
