#include "formats/vst2/HostDetection.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DetectHost, FirstMatchingRowWinsWithoutRegardToCase) {
    const struct {
        const char* product;
        int code;
    } cases[] = {
        {"REAPER", kHostReaper},
        {"Ableton Live", kHostLive},
        {"Nuendo and Cubase", kHostCubase}, // the earlier row wins over the earlier position
        {"Steinberg Nuendo", kHostNuendo},
        {"FL Studio (Fruity Loops)", kHostFruity},
        {"Forte 4", kHostForte},
        {"Adobe Audition", kHostAudition},
        {"Orion Platinum", kHostOrion},
        {"SAWStudio64", kHostSawStudio},
        {"Digital Performer", kHostDigitalPerformer},
        {"VST3PluginTestHost", kHostVst3TestHost},
        {"ProTools", kHostProTools},
        {"Ardour", kHostArdour},
        {"OpenMPT", kHostOpenMpt},
        {"Renoise", kHostRenoise},
        {"Standalone", kHostStandalone},
        {"Bitwig Studio", kHostUnknown},
        {"", kHostUnknown},
        {nullptr, kHostUnknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectHost(c.product), c.code) << (c.product != nullptr ? c.product : "(none)");
    }
}

TEST(DetectHost, LooksOnlyAtTheFirst255Characters) {
    EXPECT_EQ(DetectHost((std::string(250, 'x') + "reaper").c_str()), kHostUnknown);
    EXPECT_EQ(DetectHost((std::string(249, 'x') + "reaper").c_str()), kHostReaper);
}

} // namespace
