#pragma once

// The CLAP binary interface: presets the host can browse. A discovery factory's providers tell
// the host's indexer where presets are and what they hold; the plug-in's preset-load extension
// loads one.

#include "formats/clap/ClapPlugin.h"
#include "formats/clap/ClapTypes.h"

namespace clap {

// The entry's get_factory ids, the second an older name of the same factory.
inline constexpr char CLAP_PRESET_DISCOVERY_FACTORY_ID[] = "clap.preset-discovery-factory/2";
inline constexpr char CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT[] = "clap.preset-discovery-factory/draft-2";

// Where a preset is: a file (its path; '/' and '\\' both work on Windows), or inside the module,
// where the location is null.
constexpr uint32_t CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0;
constexpr uint32_t CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1;

// What a location, sound pack or preset holds.
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_USER_CONTENT = 2;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT = 4;
constexpr uint32_t CLAP_PRESET_DISCOVERY_IS_FAVORITE = 8;

// clap_universal_plugin_id::abi of a CLAP plug-in.
inline constexpr char CLAP_UNIVERSAL_PLUGIN_ID_ABI[] = "clap";

// A plug-in of any format.
struct clap_universal_plugin_id {
    const char* abi;
    const char* id;
};

// A kind of preset file.
struct clap_preset_discovery_filetype {
    const char* name;
    const char* description;
    // Without the dot; "" matches every file.
    const char* file_extension;
};

struct clap_preset_discovery_location {
    // CLAP_PRESET_DISCOVERY_IS_ flags.
    uint32_t flags;
    const char* name;
    // A CLAP_PRESET_DISCOVERY_LOCATION_ kind.
    uint32_t kind;
    const char* location;
};

struct clap_preset_discovery_soundpack {
    uint32_t flags;
    const char* id;
    const char* name;
    const char* description;
    const char* homepage_url;
    const char* vendor;
    const char* image_path;
    clap_timestamp release_timestamp;
};

// The host's, for one get_metadata call: the provider describes each preset it finds there.
// Every function is [any], called from within that get_metadata.
struct clap_preset_discovery_metadata_receiver {
    void* receiver_data;

    // [any] A failure, with the system's error code and a message.
    void(CLAP_CALL* on_error)(const clap_preset_discovery_metadata_receiver* receiver, int32_t os_error,
                              const char* error_message);
    // [any] Starts a preset; both arguments are mandatory inside the module. On false the
    // provider stops.
    bool(CLAP_CALL* begin_preset)(const clap_preset_discovery_metadata_receiver* receiver, const char* name,
                                  const char* load_key);
    // [any] The current preset's facts: its plug-in ({CLAP_UNIVERSAL_PLUGIN_ID_ABI, the plug-in's
    // id}), sound pack, CLAP_PRESET_DISCOVERY_IS_ flags, creators, description, times, features
    // and other named values.
    void(CLAP_CALL* add_plugin_id)(const clap_preset_discovery_metadata_receiver* receiver,
                                   const clap_universal_plugin_id* plugin_id);
    void(CLAP_CALL* set_soundpack_id)(const clap_preset_discovery_metadata_receiver* receiver,
                                      const char* soundpack_id);
    void(CLAP_CALL* set_flags)(const clap_preset_discovery_metadata_receiver* receiver, uint32_t flags);
    void(CLAP_CALL* add_creator)(const clap_preset_discovery_metadata_receiver* receiver,
                                 const char* creator);
    void(CLAP_CALL* set_description)(const clap_preset_discovery_metadata_receiver* receiver,
                                     const char* description);
    void(CLAP_CALL* set_timestamps)(const clap_preset_discovery_metadata_receiver* receiver,
                                    clap_timestamp creation_time, clap_timestamp modification_time);
    void(CLAP_CALL* add_feature)(const clap_preset_discovery_metadata_receiver* receiver,
                                 const char* feature);
    void(CLAP_CALL* add_extra_info)(const clap_preset_discovery_metadata_receiver* receiver, const char* key,
                                    const char* value);
};

// The host's indexer. Its functions are [any], called from within the provider's calls. Indexing
// is fast and without user interaction.
struct clap_preset_discovery_indexer {
    struct clap_version clap_version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    // The host's own object.
    void* indexer_data;

    // [any] What the provider offers.
    bool(CLAP_CALL* declare_filetype)(const clap_preset_discovery_indexer* indexer,
                                      const clap_preset_discovery_filetype* filetype);
    bool(CLAP_CALL* declare_location)(const clap_preset_discovery_indexer* indexer,
                                      const clap_preset_discovery_location* location);
    bool(CLAP_CALL* declare_soundpack)(const clap_preset_discovery_indexer* indexer,
                                       const clap_preset_discovery_soundpack* soundpack);
    // [any] The indexer's table for the extension, or null.
    const void*(CLAP_CALL* get_extension)(const clap_preset_discovery_indexer* indexer,
                                          const char* extension_id);
};

struct clap_preset_discovery_provider_descriptor {
    struct clap_version clap_version;
    const char* id;
    const char* name;
    const char* vendor;
};

// A provider: its functions are [any], one call at a time.
struct clap_preset_discovery_provider {
    const clap_preset_discovery_provider_descriptor* desc;
    // The provider's own object.
    void* provider_data;

    // [any] Declares the provider's file types, locations and sound packs to the indexer.
    bool(CLAP_CALL* init)(const clap_preset_discovery_provider* provider);
    // [any] Frees the provider.
    void(CLAP_CALL* destroy)(const clap_preset_discovery_provider* provider);
    // [any] Describes the presets at location, of a CLAP_PRESET_DISCOVERY_LOCATION_ kind, to
    // receiver.
    bool(CLAP_CALL* get_metadata)(const clap_preset_discovery_provider* provider, uint32_t location_kind,
                                  const char* location,
                                  const clap_preset_discovery_metadata_receiver* receiver);
    // [any] The provider's table for the extension, or null.
    const void*(CLAP_CALL* get_extension)(const clap_preset_discovery_provider* provider,
                                          const char* extension_id);
};

// Returned by the entry's get_factory for the discovery factory ids.
struct clap_preset_discovery_factory {
    // [any] The providers, by index.
    uint32_t(CLAP_CALL* count)(const clap_preset_discovery_factory* factory);
    const clap_preset_discovery_provider_descriptor*(CLAP_CALL* get_descriptor)(
        const clap_preset_discovery_factory* factory, uint32_t index);
    // [any] A new provider that reports to indexer, freed by its destroy; calls nothing of the
    // indexer here.
    const clap_preset_discovery_provider*(CLAP_CALL* create)(const clap_preset_discovery_factory* factory,
                                                             const clap_preset_discovery_indexer* indexer,
                                                             const char* provider_id);
};

// The second is an older name of the same extension.
inline constexpr char CLAP_EXT_PRESET_LOAD[] = "clap.preset-load/2";
inline constexpr char CLAP_EXT_PRESET_LOAD_COMPAT[] = "clap.preset-load.draft/2";

struct clap_plugin_preset_load {
    // [ui] Possibly while audio runs: loads the preset of load_key at location, of a
    // CLAP_PRESET_DISCOVERY_LOCATION_ kind; then reports to clap_host_preset_load.
    bool(CLAP_CALL* from_location)(const clap_plugin* plugin, uint32_t location_kind, const char* location,
                                   const char* load_key);
};

struct clap_host_preset_load {
    // [ui] A from_location failed; os_error is 0 where it does not apply.
    void(CLAP_CALL* on_error)(const clap_host* host, uint32_t location_kind, const char* location,
                              const char* load_key, int32_t os_error, const char* message);
    // [ui] A from_location succeeded.
    void(CLAP_CALL* loaded)(const clap_host* host, uint32_t location_kind, const char* location,
                            const char* load_key);
};

} // namespace clap
