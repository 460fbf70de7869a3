#include "tools/host/Vst3Module.h"

#include "tools/host/SafeFile.h"

#include <cstring>

namespace ksphost {

namespace {

// Where a bundle keeps the library for this system, and the library's extension.
#ifdef _WIN32
#ifdef _WIN64
constexpr const char* kArchitecture = "x86_64-win";
#else
constexpr const char* kArchitecture = "x86-win";
#endif
constexpr const char* kLibrarySuffix = ".vst3";
#else
constexpr const char* kArchitecture = "x86_64-linux";
constexpr const char* kLibrarySuffix = ".so";
#endif

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// A fixed-size text field that may fill its array without a terminator.
template <size_t size>
std::string FieldText(const char (&field)[size]) {
    return std::string(field, strnlen(field, size));
}

} // namespace

std::string Vst3Module::LibraryPath(const std::string& path) {
    if (KindOfPath(path) != PathKind::Directory) {
        return path;
    }
    std::string bundle = path;
    while (bundle.size() > 1 && IsSeparator(bundle.back())) {
        bundle.pop_back();
    }
    size_t start = bundle.size();
    while (start > 0 && !IsSeparator(bundle[start - 1])) {
        --start;
    }
    std::string stem = bundle.substr(start);
    const size_t dot = stem.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        stem.resize(dot);
    }
    return bundle + "/Contents/" + kArchitecture + "/" + stem + kLibrarySuffix;
}

Result<std::unique_ptr<Vst3Module>> Vst3Module::Load(const std::string& path) {
    std::unique_ptr<Vst3Module> module(new Vst3Module());
    module->library = LibraryPath(path);
    if (module->library != path && KindOfPath(module->library) != PathKind::File) {
        return Status::Error(path + " is no VST 3 bundle for this system: " + module->library +
                             " is missing");
    }
    const Status readable = CheckInputFile(module->library);
    if (!readable.Ok()) {
        return readable;
    }
    auto code = DynamicLibrary::Open(module->library);
    if (!code.Ok()) {
        return code.Error();
    }
    module->code = std::move(code.Value());
    const DynamicLibrary& loaded = *module->code;

#ifdef _WIN32
    // Optional on Windows.
    if (auto enter = reinterpret_cast<vst3::ModuleHookProc>(loaded.Symbol("InitDll"))) {
        if (!enter()) {
            return Status::Error(module->library + ": the module refused to start (InitDll answered false)");
        }
    }
#else
    auto enter = reinterpret_cast<vst3::ModuleEntryProc>(loaded.Symbol("ModuleEntry"));
    if (enter == nullptr || loaded.Symbol("ModuleExit") == nullptr) {
        return Status::Error(module->library +
                             " is not a VST 3 module for Linux: it lacks ModuleEntry or ModuleExit");
    }
    if (!enter(loaded.Handle())) {
        return Status::Error(module->library + ": the module refused to start (ModuleEntry answered false)");
    }
#endif
    module->entered = true;

    auto getFactory = reinterpret_cast<vst3::GetFactoryProc>(loaded.Symbol("GetPluginFactory"));
    if (getFactory == nullptr) {
        return Status::Error(module->library + " is not a VST 3 module: it exports no GetPluginFactory");
    }
    module->factory = Vst3Ref<vst3::IPluginFactory>(getFactory());
    if (!module->factory) {
        return Status::Error(module->library + ": GetPluginFactory gave no factory");
    }
    if (module->factory->getFactoryInfo(&module->factoryInfo) != vst3::kResultOk) {
        module->factoryInfo = vst3::PFactoryInfo{};
    }
    module->ReadClasses();
    return module;
}

Vst3Module::~Vst3Module() {
    factory.Reset();
    if (!entered) {
        return;
    }
#ifdef _WIN32
    const char* exitName = "ExitDll";
#else
    const char* exitName = "ModuleExit";
#endif
    if (auto exit = reinterpret_cast<vst3::ModuleHookProc>(code->Symbol(exitName))) {
        exit();
    }
}

void Vst3Module::ReadClasses() {
    auto third = QueryVst3<vst3::IPluginFactory3>(factory.Get(), vst3::kIPluginFactory3Iid);
    auto second = QueryVst3<vst3::IPluginFactory2>(factory.Get(), vst3::kIPluginFactory2Iid);
    const std::string factoryVendor = FieldText(factoryInfo.vendor);
    for (vst3::int32 i = 0; i < factory->countClasses(); ++i) {
        Vst3ClassInfo info;
        vst3::PClassInfoW wide{};
        vst3::PClassInfo2 narrow{};
        vst3::PClassInfo plain{};
        if (third && third->getClassInfoUnicode(i, &wide) == vst3::kResultOk) {
            std::memcpy(info.id.bytes, wide.cid, sizeof wide.cid);
            info.category = FieldText(wide.category);
            info.name = Utf8(wide.name);
            info.cardinality = wide.cardinality;
            info.flags = wide.classFlags;
            info.subCategories = FieldText(wide.subCategories);
            info.vendor = Utf8(wide.vendor);
            info.version = Utf8(wide.version);
            info.sdkVersion = Utf8(wide.sdkVersion);
            info.detailed = true;
        } else if (second && second->getClassInfo2(i, &narrow) == vst3::kResultOk) {
            std::memcpy(info.id.bytes, narrow.cid, sizeof narrow.cid);
            info.category = FieldText(narrow.category);
            info.name = FieldText(narrow.name);
            info.cardinality = narrow.cardinality;
            info.flags = narrow.classFlags;
            info.subCategories = FieldText(narrow.subCategories);
            info.vendor = FieldText(narrow.vendor);
            info.version = FieldText(narrow.version);
            info.sdkVersion = FieldText(narrow.sdkVersion);
            info.detailed = true;
        } else if (factory->getClassInfo(i, &plain) == vst3::kResultOk) {
            std::memcpy(info.id.bytes, plain.cid, sizeof plain.cid);
            info.category = FieldText(plain.category);
            info.name = FieldText(plain.name);
            info.cardinality = plain.cardinality;
        } else {
            continue;
        }
        // As hosts do: a class without a vendor is the factory's.
        info.vendor = info.vendor.empty() ? factoryVendor : info.vendor;
        classes.push_back(info);
    }
}

} // namespace ksphost
