#include "tools/host/ClapModule.h"

#include "tools/host/SafeFile.h"

namespace ksphost {

namespace {

std::string VersionText(const clap::clap_version& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision);
}

} // namespace

Result<std::unique_ptr<ClapModule>> ClapModule::Load(const std::string& path) {
    const Status readable = CheckInputFile(path);
    if (!readable.Ok()) {
        return readable;
    }
    std::unique_ptr<ClapModule> module(new ClapModule());
    module->path = path;
    auto code = DynamicLibrary::Open(path);
    if (!code.Ok()) {
        return code.Error();
    }
    module->code = std::move(code.Value());
    module->entry = static_cast<const clap::clap_plugin_entry*>(module->code->Symbol("clap_entry"));
    const clap::clap_plugin_entry* entry = module->entry;
    if (entry == nullptr) {
        return Status::Error(path + " is not a CLAP module: it exports no clap_entry");
    }
    if (!clap::clap_version_is_compatible(entry->clap_version)) {
        return Status::Error(path + " is built for CLAP " + VersionText(entry->clap_version) +
                             ", a development version; ksphaser-host loads CLAP 1 and later");
    }
    if (entry->init == nullptr || entry->deinit == nullptr || entry->get_factory == nullptr) {
        return Status::Error(path + ": its clap_entry lacks init, deinit or get_factory");
    }
    if (!entry->init(path.c_str())) {
        return Status::Error(path + ": the module refused to start (its entry's init answered false)");
    }
    module->initialised = true;
    module->factory =
        static_cast<const clap::clap_plugin_factory*>(entry->get_factory(clap::CLAP_PLUGIN_FACTORY_ID));
    const clap::clap_plugin_factory* factory = module->factory;
    if (factory == nullptr || factory->get_plugin_count == nullptr ||
        factory->get_plugin_descriptor == nullptr || factory->create_plugin == nullptr) {
        return Status::Error(path + " has no plug-in factory (\"" + clap::CLAP_PLUGIN_FACTORY_ID + "\")");
    }
    if (module->PluginCount() < 1) {
        return Status::Error(path + ": its factory holds no plug-in");
    }
    const clap::clap_plugin_descriptor* first = module->Plugin(0);
    if (first == nullptr || first->id == nullptr || first->id[0] == '\0') {
        return Status::Error(path + ": its factory does not describe its first plug-in");
    }
    return module;
}

ClapModule::~ClapModule() {
    if (initialised) {
        entry->deinit();
    }
}

const clap::clap_plugin_descriptor* ClapModule::Plugin(uint32_t index) const {
    return factory->get_plugin_descriptor(factory, index);
}

} // namespace ksphost
