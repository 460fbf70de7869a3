#include "effect/Effect.h"

#include "platform/EditorFactory.h"

Effect::Effect(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
               const char* productName, const char* makerName, int32_t version, int32_t uniqueId,
               int32_t makerId, int latency, bool acceptsMidi, bool isInstrument)
    : IPluginBase(parameterCount, channelIO, presetCount, effectName, productName, makerName, version,
                  uniqueId, makerId, latency, acceptsMidi, isInstrument) {
    for (int i = 0; i < 2; ++i) {
        if (InputChannel* input = InputChannelAt(i)) {
            input->SetLabel(kEffectPinLabel);
        }
        if (OutputChannel* output = OutputChannelAt(i)) {
            output->SetLabel(kEffectPinLabel);
        }
    }
    createdEditor = CreatePlatformEditor(this, kEditorWidth, kEditorHeight, kEditorFrameRate);
    graphics = createdEditor.get();
}

Effect::~Effect() = default;

void Effect::AttachCreatedEditor() {
    AttachEditor(std::move(createdEditor));
}

void Effect::OnActiveChange(bool active) {
    if (active) {
        NotifyAllParameters();
    }
}

void Effect::SelectPresetFromEditor(int index) {
    LockGuard guard(Lock());
    ModifyCurrentPreset(nullptr);
    LoadPreset(index);
    RequestHostDisplayUpdate();
    SendParametersToHost();
}
