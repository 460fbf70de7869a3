#include "formats/vst2/HostDetection.h"

#include "core/TextCopy.h"

#include <cstring>

namespace {

struct HostName {
    const char* text;
    int code;
};

// Tried in this order; the first text found anywhere in the name wins.
constexpr HostName kHostNames[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFruity},
    {"live", kHostLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAuLab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPreSonus},
    {"vst3plugintesthost", kHostVst3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMpt},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

constexpr size_t kMaxNameLength = 255;

} // namespace

int DetectHost(const char* productName) {
    char name[kMaxNameLength + 1];
    CopyTextLowerAscii(name, productName, sizeof name);
    for (const HostName& host : kHostNames) {
        if (std::strstr(name, host.text) != nullptr) {
            return host.code;
        }
    }
    return kHostUnknown;
}
