#pragma once

#include "formats/clap/ClapPlugin.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ksphost {

// A place a provider declared.
struct ClapPresetLocation {
    std::string provider;
    std::string name;
    uint32_t kind = 0;
    uint32_t flags = 0;
    std::string location; // a file's path; "" inside the module
};

// A preset inside the module, loaded by its key.
struct ClapPreset {
    std::string name;
    std::string loadKey;
};

// What the module's preset-discovery factory tells.
struct ClapPresetIndex {
    bool hasFactory = false;
    std::vector<ClapPresetLocation> locations;
    // Of the locations inside the module, in the providers' order.
    std::vector<ClapPreset> presets;
    // What providers failed at, one line each.
    std::vector<std::string> errors;
};

// Creates every provider of the entry's preset-discovery factory with an indexer of the host's,
// takes the locations it declares and, for those inside the module, the presets it describes for
// the plug-in pluginId (or for no plug-in in particular). Files are not searched.
ClapPresetIndex IndexClapPresets(const clap::clap_plugin_entry& entry, const std::string& pluginId);

} // namespace ksphost
