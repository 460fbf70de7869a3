#include "tools/host/ClapPresetIndex.h"

#include "formats/clap/ClapPresets.h"
#include "tools/host/ClapHost.h"
#include "tools/host/ClapModule.h"

#include <cstring>
#include <utility>

namespace ksphost {

namespace {

// The indexer's and the receiver's side: what one provider declares and describes.
struct Indexing {
    Indexing(ClapPresetIndex& i, std::string p, const std::string& id)
        : index(i), provider(std::move(p)), pluginId(id) {}

    ClapPresetIndex& index;
    std::string provider;
    const std::string& pluginId;
    // The preset being described, and whether it names a plug-in, this one or another.
    bool open = false;
    bool namesPlugin = false;
    bool forThisPlugin = false;
    ClapPreset preset;

    void Finish() {
        if (open && (forThisPlugin || !namesPlugin)) {
            index.presets.push_back(preset);
        }
        open = false;
    }
};

Indexing& Of(const clap::clap_preset_discovery_indexer* indexer) {
    return *static_cast<Indexing*>(indexer->indexer_data);
}

Indexing& Of(const clap::clap_preset_discovery_metadata_receiver* receiver) {
    return *static_cast<Indexing*>(receiver->receiver_data);
}

bool CLAP_CALL DeclareFiletype(const clap::clap_preset_discovery_indexer* /*indexer*/,
                               const clap::clap_preset_discovery_filetype* filetype) {
    return filetype != nullptr;
}

bool CLAP_CALL DeclareLocation(const clap::clap_preset_discovery_indexer* indexer,
                               const clap::clap_preset_discovery_location* location) {
    if (location == nullptr) {
        return false;
    }
    Indexing& indexing = Of(indexer);
    indexing.index.locations.push_back({indexing.provider, ClapText(location->name), location->kind,
                                        location->flags, ClapText(location->location)});
    return true;
}

bool CLAP_CALL DeclareSoundpack(const clap::clap_preset_discovery_indexer* /*indexer*/,
                                const clap::clap_preset_discovery_soundpack* soundpack) {
    return soundpack != nullptr;
}

const void* CLAP_CALL IndexerExtension(const clap::clap_preset_discovery_indexer* /*indexer*/,
                                       const char* /*id*/) {
    return nullptr;
}

void CLAP_CALL OnError(const clap::clap_preset_discovery_metadata_receiver* receiver, int32_t osError,
                       const char* message) {
    Indexing& indexing = Of(receiver);
    indexing.index.errors.push_back(indexing.provider + ": " + ClapText(message) +
                                    (osError != 0 ? " (system error " + std::to_string(osError) + ")" : ""));
}

bool CLAP_CALL BeginPreset(const clap::clap_preset_discovery_metadata_receiver* receiver, const char* name,
                           const char* loadKey) {
    Indexing& indexing = Of(receiver);
    indexing.Finish();
    indexing.open = true;
    indexing.namesPlugin = false;
    indexing.forThisPlugin = false;
    indexing.preset = {ClapText(name), ClapText(loadKey)};
    return true;
}

void CLAP_CALL AddPluginId(const clap::clap_preset_discovery_metadata_receiver* receiver,
                           const clap::clap_universal_plugin_id* id) {
    Indexing& indexing = Of(receiver);
    indexing.namesPlugin = true;
    indexing.forThisPlugin =
        indexing.forThisPlugin ||
        (id != nullptr && std::strcmp(ClapText(id->abi), clap::CLAP_UNIVERSAL_PLUGIN_ID_ABI) == 0 &&
         indexing.pluginId == ClapText(id->id));
}

// The rest of a preset's facts are not shown.
void CLAP_CALL SetText(const clap::clap_preset_discovery_metadata_receiver* /*receiver*/,
                       const char* /*text*/) {}
void CLAP_CALL SetFlags(const clap::clap_preset_discovery_metadata_receiver* /*receiver*/,
                        uint32_t /*flags*/) {}
void CLAP_CALL SetTimestamps(const clap::clap_preset_discovery_metadata_receiver* /*receiver*/,
                             clap::clap_timestamp /*created*/, clap::clap_timestamp /*modified*/) {}
void CLAP_CALL AddExtraInfo(const clap::clap_preset_discovery_metadata_receiver* /*receiver*/,
                            const char* /*key*/, const char* /*value*/) {}

// Declares what the provider offers, then describes the presets inside the module.
void IndexProvider(const clap::clap_preset_discovery_factory& factory,
                   const clap::clap_preset_discovery_provider_descriptor& descriptor, Indexing& indexing) {
    const clap::clap_preset_discovery_indexer indexer = {
        clap::CLAP_VERSION, kHostName,       kHostVendor,     "",
        KSP_HOST_VERSION,   &indexing,       DeclareFiletype, DeclareLocation,
        DeclareSoundpack,   IndexerExtension};
    const clap::clap_preset_discovery_provider* provider = factory.create(&factory, &indexer, descriptor.id);
    if (provider == nullptr) {
        indexing.index.errors.push_back(indexing.provider + ": the factory did not create it");
        return;
    }
    const size_t first = indexing.index.locations.size();
    if (!provider->init(provider)) {
        indexing.index.errors.push_back(indexing.provider + ": it did not initialise");
        provider->destroy(provider);
        return;
    }
    const clap::clap_preset_discovery_metadata_receiver receiver = {
        &indexing, OnError, BeginPreset,   AddPluginId, SetText,     SetFlags,
        SetText,   SetText, SetTimestamps, SetText,     AddExtraInfo};
    for (size_t i = first; i < indexing.index.locations.size(); ++i) {
        if (indexing.index.locations[i].kind != clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN) {
            continue;
        }
        if (!provider->get_metadata(provider, clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                    &receiver)) {
            indexing.index.errors.push_back(indexing.provider + ": it did not describe the presets of " +
                                            indexing.index.locations[i].name);
        }
        indexing.Finish();
    }
    provider->destroy(provider);
}

} // namespace

ClapPresetIndex IndexClapPresets(const clap::clap_plugin_entry& entry, const std::string& pluginId) {
    ClapPresetIndex index;
    const void* found = entry.get_factory(clap::CLAP_PRESET_DISCOVERY_FACTORY_ID);
    found = found != nullptr ? found : entry.get_factory(clap::CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT);
    const auto* factory = static_cast<const clap::clap_preset_discovery_factory*>(found);
    index.hasFactory = factory != nullptr;
    const uint32_t count = factory != nullptr ? factory->count(factory) : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap::clap_preset_discovery_provider_descriptor* descriptor =
            factory->get_descriptor(factory, i);
        if (descriptor == nullptr || descriptor->id == nullptr) {
            continue;
        }
        Indexing indexing(index, ClapText(descriptor->name), pluginId);
        IndexProvider(*factory, *descriptor, indexing);
    }
    return index;
}

} // namespace ksphost
