#include "tools/host/Instance.h"

#include "tools/host/ClapInstance.h"
#include "tools/host/Text.h"
#include "tools/host/Vst2Instance.h"
#include "tools/host/Vst3Instance.h"
#include "tools/host/Vst3Module.h"

namespace ksphost {

namespace {

Status NoPresetFiles() {
    return Status::Error(
        "preset files (.fxp, .fxb) are VST 2.4's; for a VST 3 or CLAP plug-in use --program, --set and "
        "--set-normalized");
}

} // namespace

Status PluginInstance::LoadPresetFile(const std::string& /*path*/) {
    return NoPresetFiles();
}

Result<std::vector<uint8_t>> PluginInstance::MakePresetFile(const std::string& /*path*/) {
    return NoPresetFiles();
}

Status UnusableBuses(const char* kind, int inputs, int outputs) {
    return Status::Error("the plug-in has " + std::to_string(inputs) + " audio input and " +
                         std::to_string(outputs) + " output " + kind +
                         "; ksphaser-host drives one of each (or no input)");
}

Status UnusablePrecision(bool doublePrecision) {
    return Status::Error(doublePrecision
                             ? "the plug-in does not process double precision (try --precision single)"
                             : "the plug-in does not process single precision (try --precision double)");
}

Status UnusableRate(int sampleRate, int blockSize) {
    return Status::Error("the plug-in refused to process at " + std::to_string(sampleRate) +
                         " Hz in blocks of " + std::to_string(blockSize));
}

bool IsVst3Path(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) {
        folder.pop_back();
    }
    if (LowerExtension(folder) == "vst3") {
        return true;
    }
    // BUNDLE.vst3/Contents/ARCHITECTURE/LIBRARY
    for (int up = 0; up < 3; ++up) {
        const size_t slash = folder.find_last_of("/\\");
        if (slash == std::string::npos) {
            return false;
        }
        folder.resize(slash);
        if (up == 1 && !SameText(folder.substr(folder.find_last_of("/\\") + 1), "Contents")) {
            return false;
        }
    }
    return LowerExtension(folder) == "vst3";
}

bool IsClapPath(const std::string& path) {
    return LowerExtension(path) == "clap";
}

Result<std::unique_ptr<PluginInstance>> OpenInstance(const std::string& path) {
    if (IsClapPath(path)) {
        return ClapInstance::Load(path);
    }
    return IsVst3Path(path) ? Vst3Instance::Load(path) : Vst2Instance::Load(path);
}

std::string PluginFile(const std::string& path) {
    return IsVst3Path(path) ? Vst3Module::LibraryPath(path) : path;
}

} // namespace ksphost
