#pragma once

#include "formats/clap/ClapPlugin.h"
#include "tools/host/Status.h"
#include "tools/host/System.h"

#include <memory>
#include <string>

namespace ksphost {

// A CLAP module loaded into the process: its library, its clap_entry initialised with the
// module's path, and the plug-in factory, which describes at least one plug-in. Destruction calls
// the entry's deinit and unloads the library.
class ClapModule {
public:
    static Result<std::unique_ptr<ClapModule>> Load(const std::string& path);
    ~ClapModule();
    ClapModule(const ClapModule&) = delete;
    ClapModule& operator=(const ClapModule&) = delete;

    const std::string& Path() const { return path; }
    const clap::clap_plugin_entry& Entry() const { return *entry; }
    const clap::clap_plugin_factory& Factory() const { return *factory; }
    uint32_t PluginCount() const { return factory->get_plugin_count(factory); }
    // The factory's descriptor at index, or none.
    const clap::clap_plugin_descriptor* Plugin(uint32_t index) const;

private:
    ClapModule() = default;

    std::string path;
    std::unique_ptr<DynamicLibrary> code;
    const clap::clap_plugin_entry* entry = nullptr;
    bool initialised = false;
    const clap::clap_plugin_factory* factory = nullptr;
};

// The plug-in's table of an extension, or none.
template <typename Table>
const Table* ClapExtension(const clap::clap_plugin* plugin, const char* id) {
    return plugin != nullptr && plugin->get_extension != nullptr
               ? static_cast<const Table*>(plugin->get_extension(plugin, id))
               : nullptr;
}

// A text a plug-in gave, or "" for none.
inline const char* ClapText(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace ksphost
