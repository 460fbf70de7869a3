#include "tools/host/Plugin.h"

#include "tools/host/SafeFile.h"

#include <cstdio>
#include <cstring>

namespace ksphost {

namespace {

using EntryFunction = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

constexpr size_t kTextCapacity = 512;

std::string HexWord(VstInt32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

} // namespace

Result<std::unique_ptr<Plugin>> Plugin::Load(const std::string& path, VstHost& host) {
    const Status readable = CheckInputFile(path);
    if (!readable.Ok()) {
        return readable;
    }
    std::unique_ptr<Plugin> plugin(new Plugin());
    plugin->path = path;
    auto library = DynamicLibrary::Open(path);
    if (!library.Ok()) {
        return library.Error();
    }
    plugin->library = std::move(library.Value());

    // VST 2.4 libraries export VSTPluginMain; older ones only main.
    void* entry = plugin->library->Symbol("VSTPluginMain");
    plugin->entryPoint = "VSTPluginMain";
    if (entry == nullptr) {
        entry = plugin->library->Symbol("main");
        plugin->entryPoint = "main";
    }
    if (entry == nullptr) {
        return Status::Error(path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
    }

    VstHost::BeginCreation(&host);
    AEffect* effect = reinterpret_cast<EntryFunction>(entry)(VstHost::Callback());
    VstHost::BeginCreation(nullptr);
    if (effect == nullptr) {
        return Status::Error(path + ": the plug-in did not create an instance");
    }
    if (effect->magic != kEffectMagic) {
        // Not a descriptor we can talk to, so it cannot be closed either.
        return Status::Error(path + " is not a VST 2.4 plug-in: its descriptor starts with " +
                             HexWord(effect->magic) + " instead of 'VstP'");
    }
    if (effect->dispatcher == nullptr || effect->getParameter == nullptr || effect->setParameter == nullptr) {
        return Status::Error(path + ": the plug-in's descriptor lacks its dispatcher or parameter callbacks");
    }
    host.Adopt(effect);
    plugin->effect = effect;
    plugin->Dispatch(effOpen);
    return plugin;
}

Plugin::~Plugin() {
    if (effect != nullptr) {
        Dispatch(effClose);
    }
}

VstIntPtr Plugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Plugin::DispatchText(VstInt32 opcode, VstInt32 index, VstIntPtr* answer) {
    char text[kTextCapacity] = {};
    const VstIntPtr result = Dispatch(opcode, index, 0, text);
    text[kTextCapacity - 1] = '\0';
    if (answer != nullptr) {
        *answer = result;
    }
    return text;
}

std::string Plugin::ProgramName(VstInt32 index) {
    VstIntPtr answer = 0;
    std::string name = DispatchText(effGetProgramNameIndexed, index, &answer);
    return answer != 0 ? name : std::string();
}

Result<std::vector<uint8_t>> Plugin::GetChunk(bool bank) {
    if ((effect->flags & effFlagsProgramChunks) == 0) {
        return Status::Error(path + ": the plug-in does not save its state as chunks");
    }
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
    if (size <= 0 || data == nullptr) {
        return Status::Error(path + ": the plug-in gave no state");
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

bool Plugin::SetChunk(const std::vector<uint8_t>& chunk, bool bank) {
    std::vector<uint8_t> copy(chunk);
    return Dispatch(effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(copy.size()), copy.data()) != 0;
}

} // namespace ksphost
