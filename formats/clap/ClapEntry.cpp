// The CLAP module's one export, clap_entry, its factories and the descriptor of its plug-in. All
// of it is constant data and functions: nothing runs when the module loads, and the entry's init
// does no work a scanning host could wait on.
#include "core/PluginFactory.h"
#include "formats/clap/IPluginCLAP.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr const char* kPluginId = "com.kestrunelle.phaser";
constexpr const char* kFeatures[] = {clap::CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, clap::CLAP_PLUGIN_FEATURE_PHASER,
                                     clap::CLAP_PLUGIN_FEATURE_STEREO, nullptr};
constexpr clap::clap_plugin_descriptor kDescriptor = {
    clap::CLAP_VERSION, kPluginId,       KSP_PRODUCT_NAME, KSP_VENDOR, KSP_VENDOR_URL, "", "",
    KSP_VERSION_TEXT,   "Stereo phaser", kFeatures};

// The module keeps nothing between init and deinit, so however a host pairs them, neither has
// anything to do.
bool CLAP_CALL EntryInit(const char* /*pluginPath*/) {
    return true;
}

void CLAP_CALL EntryDeinit() {}

uint32_t CLAP_CALL PluginCount(const clap::clap_plugin_factory* /*factory*/) {
    return 1;
}

const clap::clap_plugin_descriptor* CLAP_CALL PluginDescriptor(const clap::clap_plugin_factory* /*factory*/,
                                                               uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}

const clap::clap_plugin* CLAP_CALL CreateClapPlugin(const clap::clap_plugin_factory* /*factory*/,
                                                    const clap::clap_host* host, const char* pluginId) {
    if (host == nullptr || pluginId == nullptr || std::strcmp(pluginId, kPluginId) != 0 ||
        !clap::clap_version_is_compatible(host->clap_version)) {
        return nullptr;
    }
    return IPluginCLAP::Create(host);
}

constexpr clap::clap_plugin_factory kPluginFactory = {PluginCount, PluginDescriptor, CreateClapPlugin};

// The factory programs, found inside the plug-in: a location of kind PLUGIN whose presets' load
// keys are the programs' indices.
constexpr clap::clap_preset_discovery_provider_descriptor kProviderDescriptor = {
    clap::CLAP_VERSION, "com.kestrunelle.phaser.programs", "Kestrunelle Phaser factory programs", KSP_VENDOR};

struct Provider {
    clap::clap_preset_discovery_provider provider;
    const clap::clap_preset_discovery_indexer* indexer;
};

bool CLAP_CALL ProviderInit(const clap::clap_preset_discovery_provider* provider) {
    const auto* indexer = static_cast<const Provider*>(provider->provider_data)->indexer;
    const clap::clap_preset_discovery_location location = {
        clap::CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, "Factory programs",
        clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
    return indexer->declare_location != nullptr && indexer->declare_location(indexer, &location);
}

void CLAP_CALL ProviderDestroy(const clap::clap_preset_discovery_provider* provider) {
    delete static_cast<Provider*>(provider->provider_data);
}

bool CLAP_CALL ProviderMetadata(const clap::clap_preset_discovery_provider* /*provider*/, uint32_t kind,
                                const char* /*location*/,
                                const clap::clap_preset_discovery_metadata_receiver* receiver) {
    if (kind != clap::CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || receiver == nullptr ||
        receiver->begin_preset == nullptr) {
        return false;
    }
    // The programs' names are the plug-in's: ask one.
    std::unique_ptr<::IPluginBase> plugin = CreatePlugin();
    if (!plugin) {
        return false;
    }
    const clap::clap_universal_plugin_id id = {clap::CLAP_UNIVERSAL_PLUGIN_ID_ABI, kPluginId};
    for (int i = 0; i < plugin->PresetCount(); ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "%d", i);
        if (!receiver->begin_preset(receiver, plugin->PresetName(i), key)) {
            break;
        }
        if (receiver->add_plugin_id != nullptr) {
            receiver->add_plugin_id(receiver, &id);
        }
        if (receiver->set_flags != nullptr) {
            receiver->set_flags(receiver, clap::CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
        }
    }
    return true;
}

const void* CLAP_CALL ProviderExtension(const clap::clap_preset_discovery_provider* /*provider*/,
                                        const char* /*id*/) {
    return nullptr;
}

uint32_t CLAP_CALL ProviderCount(const clap::clap_preset_discovery_factory* /*factory*/) {
    return 1;
}

const clap::clap_preset_discovery_provider_descriptor* CLAP_CALL
ProviderDescriptorAt(const clap::clap_preset_discovery_factory* /*factory*/, uint32_t index) {
    return index == 0 ? &kProviderDescriptor : nullptr;
}

const clap::clap_preset_discovery_provider* CLAP_CALL
CreateProvider(const clap::clap_preset_discovery_factory* /*factory*/,
               const clap::clap_preset_discovery_indexer* indexer, const char* providerId) {
    if (indexer == nullptr || providerId == nullptr || std::strcmp(providerId, kProviderDescriptor.id) != 0) {
        return nullptr;
    }
    auto* created = new (std::nothrow) Provider();
    if (created == nullptr) {
        return nullptr;
    }
    created->provider = {&kProviderDescriptor, created,          ProviderInit,
                         ProviderDestroy,      ProviderMetadata, ProviderExtension};
    created->indexer = indexer;
    return &created->provider;
}

constexpr clap::clap_preset_discovery_factory kPresetFactory = {ProviderCount, ProviderDescriptorAt,
                                                                CreateProvider};

const void* CLAP_CALL EntryFactory(const char* id) {
    if (id == nullptr) {
        return nullptr;
    }
    if (std::strcmp(id, clap::CLAP_PLUGIN_FACTORY_ID) == 0) {
        return &kPluginFactory;
    }
    if (std::strcmp(id, clap::CLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
        std::strcmp(id, clap::CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0) {
        return &kPresetFactory;
    }
    return nullptr;
}

} // namespace

const clap::clap_plugin_descriptor& ClapPluginDescriptor() {
    return kDescriptor;
}

// Exported by the module definition file on Windows; elsewhere this file is compiled with default
// visibility and the version script keeps everything but clap_entry local.
namespace clap {

const clap_plugin_entry clap_entry = {CLAP_VERSION, EntryInit, EntryDeinit, EntryFactory};

} // namespace clap
