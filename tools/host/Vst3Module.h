#pragma once

#include "formats/vst3/Vst3Factory.h"
#include "tools/host/Status.h"
#include "tools/host/System.h"
#include "tools/host/Vst3Support.h"

#include <memory>
#include <string>
#include <vector>

namespace ksphost {

// A class of a module's factory, from the richest description the factory gives.
struct Vst3ClassInfo {
    vst3::Uid id{};
    std::string category;
    std::string name;
    int32_t cardinality = 0;
    // Known from the factory's second and third versions only.
    bool detailed = false;
    uint32_t flags = 0;
    std::string subCategories;
    std::string vendor;
    std::string version;
    std::string sdkVersion;
};

// A VST 3 module loaded into the process: its library, entered, and its factory. Destruction
// releases the factory, exits the module and unloads the library.
class Vst3Module {
public:
    // path is a bundle (folder) or the library itself.
    static Result<std::unique_ptr<Vst3Module>> Load(const std::string& path);
    ~Vst3Module();

    // The library inside a bundle, else path.
    static std::string LibraryPath(const std::string& path);

    const std::string& Library() const { return library; }
    vst3::IPluginFactory& Factory() { return *factory.Get(); }
    // Vendor, URL, e-mail and flags.
    const vst3::PFactoryInfo& FactoryInfo() const { return factoryInfo; }
    const std::vector<Vst3ClassInfo>& Classes() const { return classes; }

private:
    Vst3Module() = default;
    void ReadClasses();

    std::string library;
    std::unique_ptr<DynamicLibrary> code;
    bool entered = false;
    Vst3Ref<vst3::IPluginFactory> factory;
    vst3::PFactoryInfo factoryInfo{};
    std::vector<Vst3ClassInfo> classes;
};

} // namespace ksphost
