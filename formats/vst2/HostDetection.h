#pragma once

// Host codes derived from the host's product name (0 when no known name is found).
enum KnownHost : int {
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostProTools = 2,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostCakewalk = 5,
    kHostFruity = 7,
    kHostSamplitude = 8,
    kHostLive = 9,
    kHostMelodyne = 12,
    kHostVstManLib = 13,
    kHostAuLab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSawStudio = 20,
    kHostLogic = 21,
    kHostGarageBand = 22,
    kHostDigitalPerformer = 23,
    kHostStandalone = 24,
    kHostAudioMulch = 25,
    kHostPreSonus = 26,
    kHostVst3TestHost = 27,
    kHostArdour = 28,
    kHostRenoise = 29,
    kHostOpenMpt = 30,
};

// The code of the first known name found anywhere in productName, compared without regard to
// ASCII case; names are looked at up to their 255th character.
int DetectHost(const char* productName);
