#include "formats/vst2/IPluginVST.h"

namespace {

IPluginVST* BindingOf(AEffect* effect) {
    return effect != nullptr ? static_cast<IPluginVST*>(effect->object) : nullptr;
}

} // namespace

void IPluginVST::WantMidi() {
    if (plugin->AcceptsMidi()) {
        CallHost(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
    }
}

void VSTCALLBACK IPluginVST::VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
    if (IPluginVST* binding = BindingOf(effect)) {
        LockGuard guard(binding->plugin->Lock());
        binding->WantMidi();
        binding->plugin->ProcessHostBlock(inputs, outputs, frames, true);
    }
}

void VSTCALLBACK IPluginVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                 VstInt32 frames) {
    if (IPluginVST* binding = BindingOf(effect)) {
        LockGuard guard(binding->plugin->Lock());
        binding->WantMidi();
        binding->plugin->ProcessHostBlock(inputs, outputs, frames, false);
    }
}

void VSTCALLBACK IPluginVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                       VstInt32 frames) {
    if (IPluginVST* binding = BindingOf(effect)) {
        LockGuard guard(binding->plugin->Lock());
        binding->WantMidi();
        binding->plugin->ProcessHostBlock(inputs, outputs, frames);
    }
}

void VSTCALLBACK IPluginVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
    if (IPluginVST* binding = BindingOf(effect)) {
        LockGuard guard(binding->plugin->Lock());
        binding->plugin->SetParameterFromHost(index, static_cast<double>(value));
    }
}

float VSTCALLBACK IPluginVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
    IPluginVST* binding = BindingOf(effect);
    if (binding == nullptr) {
        return 0.0f;
    }
    LockGuard guard(binding->plugin->Lock());
    const IParameter* parameter = binding->plugin->ParameterAt(index);
    return parameter != nullptr ? static_cast<float>(parameter->Normalized()) : 0.0f;
}
