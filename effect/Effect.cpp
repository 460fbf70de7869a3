#include "effect/Effect.h"

#include "graphics/IGraphics.h"
#include "platform/EditorFactory.h"

Effect::Effect(audioMasterCallback host, int parameterCount, const char* channelIO, int presetCount,
               const char* effectName, const char* productName, const char* makerName, int32_t version,
               int32_t uniqueId, int32_t makerId, int latency, bool acceptsMidi, bool isInstrument)
    : IPluginVST(host, parameterCount, channelIO, presetCount, effectName, productName, makerName, version,
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
}

Effect::~Effect() {
    if (createdEditor != Editor()) {
        delete createdEditor;
    }
    createdEditor = nullptr;
}

void Effect::OnActiveChange(bool active) {
    if (!active) {
        return;
    }
    LockGuard guard(Lock());
    NotifyAllParameters();
}

void Effect::SelectPresetFromEditor(int index) {
    LockGuard guard(Lock());
    ModifyCurrentPreset(nullptr);
    LoadPreset(index);
    RequestHostDisplayUpdate();
    SendParametersToHost();
}
