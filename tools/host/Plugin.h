#pragma once

#include "formats/vst2/VstInterface.h"
#include "tools/host/Status.h"
#include "tools/host/System.h"
#include "tools/host/VstHost.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ksphost {

// One opened instance of a VST 2.4 plug-in library. Loading calls the entry point and effOpen;
// destruction calls effClose and unloads the library.
class Plugin {
public:
    static Result<std::unique_ptr<Plugin>> Load(const std::string& path, VstHost& host);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    AEffect& Effect() { return *effect; }
    const std::string& Path() const { return path; }
    // "VSTPluginMain" or "main": the entry point the library was opened through.
    const char* EntryPoint() const { return entryPoint; }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // A dispatcher call that fills a text; plug-ins often write more than the standard sizes, so
    // the buffer is generous and always terminated.
    std::string DispatchText(VstInt32 opcode, VstInt32 index = 0, VstIntPtr* answer = nullptr);

    VstInt32 NumParams() const { return effect->numParams; }
    VstInt32 NumPrograms() const { return effect->numPrograms; }
    VstInt32 NumInputs() const { return effect->numInputs; }
    VstInt32 NumOutputs() const { return effect->numOutputs; }

    float Parameter(VstInt32 index) { return effect->getParameter(effect, index); }
    void SetParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    std::string ParameterName(VstInt32 index) { return DispatchText(effGetParamName, index); }
    std::string ParameterDisplay(VstInt32 index) { return DispatchText(effGetParamDisplay, index); }
    std::string ParameterLabel(VstInt32 index) { return DispatchText(effGetParamLabel, index); }
    // The name of program index without selecting it; empty if the plug-in cannot tell.
    std::string ProgramName(VstInt32 index);

    // The plug-in's state as opaque bytes: all programs (bank) or the current program.
    Result<std::vector<uint8_t>> GetChunk(bool bank);
    bool SetChunk(const std::vector<uint8_t>& chunk, bool bank);

private:
    Plugin() = default;

    std::unique_ptr<DynamicLibrary> library;
    AEffect* effect = nullptr;
    std::string path;
    const char* entryPoint = "";
};

} // namespace ksphost
