#include "effect/KSPhaser.h"

#include "controls/IKSKnobMultiControlText.h"
#include "controls/IKSMenus.h"
#include "controls/IKSSwitchTextControl.h"
#include "core/PluginFactory.h"
#include "core/TextCopy.h"
#include "effect/PhaserState.h"
#include "effect/dsp/PhaserFormatters.h"
#include "graphics/IGraphics.h"

#include <cmath>
#include <cstring>
#include <new>

KSPhaser::KSPhaser()
    : Effect(kPhaserParameterCount, "2-2", kPhaserFactoryProgramCount, "Kestrunelle Phaser", "",
             "Kestrunelle Dadid", 0x00020002, FourCharCode('k', 's', 'p', 'h'),
             FourCharCode('K', 's', 't', 'r'), 0, true, false) {
    KSPhaser::CreateParameters();
    BuildEditor();
    AttachCreatedEditor();
    MakeFactoryPresets();
    // The processing follows the parameters from the start, also for a host that processes
    // without opening or resuming the plug-in first.
    NotifyAllParameters();
}

namespace {

// The images: resource id, name and frame count.
struct PanelImage {
    int id;
    const char* name;
    int frames;
};
constexpr PanelImage kBackImage = {1, "resources/img/back.png", 1};
constexpr PanelImage kKnobImage = {2, "resources/img/knob.png", 65};
constexpr PanelImage kStagesImage = {3, "resources/img/stages.png", 2};
constexpr PanelImage kSwitchImage = {4, "resources/img/switch.png", 2};

// The knobs, left to right: position and parameter.
struct KnobPlace {
    int x;
    int parameter;
};
constexpr int kKnobTop = 100;
constexpr KnobPlace kKnobsBeforeSync[] = {{96, Manual}, {170, Spread}, {244, Feedback}, {334, LFOSpeed}};
constexpr KnobPlace kKnobsAfterSync[] = {{488, LFODepth}, {562, Stereo}, {652, Mix}};

} // namespace

void KSPhaser::BuildEditor() {
    IGraphics* editor = Graphics();
    if (editor == nullptr) {
        return;
    }
    editor->Resize(kEditorWidth, kEditorHeight);
    const IFrameBitmap knob = editor->LoadFrameBitmap(kKnobImage.id, kKnobImage.name, kKnobImage.frames);
    const IFrameBitmap stages =
        editor->LoadFrameBitmap(kStagesImage.id, kStagesImage.name, kStagesImage.frames);
    const IFrameBitmap lever =
        editor->LoadFrameBitmap(kSwitchImage.id, kSwitchImage.name, kSwitchImage.frames);
    editor->SetHandleMouseOver(false);
    editor->AttachBackground(kBackImage.id, kBackImage.name);

    editor->AddControl(new (std::nothrow) IKSPresetMenu(this, this, {10, 12, 40, 42}));
    editor->AddControl(new (std::nothrow) IKSOnlineMenu(this, this, {556, 12, 708, 40}));
    editor->AddControl(new (std::nothrow) ISwitchControl(this, 21, 96, Stages, stages, 0));
    for (const KnobPlace& place : kKnobsBeforeSync) {
        auto* control =
            new (std::nothrow) IKSKnobMultiControlText(this, place.x, kKnobTop, place.parameter, knob);
        if (editor->AddControl(control) && place.parameter == LFOSpeed) {
            lfoSpeedKnob = control;
        }
    }
    editor->AddControl(new (std::nothrow) IKSSwitchTextControl(this, 401, 94, SyncToHost, lever));
    editor->AddControl(new (std::nothrow) ISwitchControl(this, 441, 94, Waveform, lever, 0));
    for (const KnobPlace& place : kKnobsAfterSync) {
        editor->AddControl(new (std::nothrow)
                               IKSKnobMultiControlText(this, place.x, kKnobTop, place.parameter, knob));
    }
    SendParametersToEditor();
}

void KSPhaser::CreateParameters() {
    ParameterAt(Stages)->SetupBoolean("Stages");
    ParameterAt(Stages)->SetDisplayFunction(FormatStages);
    ParameterAt(Manual)->SetupContinuous("Manual", 0.0625, 0.0, 1.0, 0.001, 2.0);
    ParameterAt(Manual)->SetDisplayFunction(FormatManual);
    ParameterAt(Feedback)->SetupContinuous("Feedback", 0.0, -1.0, 1.0, 0.01, 1.0);
    ParameterAt(Feedback)->SetDisplayFunction(FormatPercent);
    ParameterAt(Mix)->SetupContinuous("Mix", 0.5, 0.0, 1.0, 0.01, 1.0);
    ParameterAt(Mix)->SetDisplayFunction(FormatMix);
    ParameterAt(Spread)->SetupContinuous("Spread", 0.0, 0.0, 1.0, 0.01, 1.0);
    ParameterAt(Spread)->SetDisplayFunction(FormatPercent);
    ParameterAt(LFOSpeed)->SetupContinuous("LFOSpeed", 0.077, 0.0, 1.0, 0.01, 1.0);
    ParameterAt(LFOSpeed)->SetDisplayFunction(FormatLFOFrequency);
    ParameterAt(LFODepth)->SetupContinuous("LFODepth", 0.5, 0.0, 1.0, 0.01, 1.0);
    ParameterAt(LFODepth)->SetDisplayFunction(FormatPercent);
    ParameterAt(SyncToHost)->SetupBoolean("Sync to Host");
    ParameterAt(SyncToHost)->SetDisplayFunction(FormatSyncToHost);
    ParameterAt(Stereo)->SetupContinuous("Stereo", 0.5, 0.0, 1.0, 0.01, 1.0);
    ParameterAt(Stereo)->SetDisplayFunction(FormatStereo);
    ParameterAt(Waveform)->SetupEnumerated("Waveform", 1, 2);
    ParameterAt(Waveform)->SetDisplayFunction(FormatWaveform);
}

void KSPhaser::OnReset() {
    processor.Reset(SampleRate());
}

void KSPhaser::OnParameterChange(int index) {
    const IParameter* parameter = ParameterAt(index);
    if (parameter == nullptr) {
        return;
    }
    processor.SetParameter(index, parameter->Value(), parameter->Normalized());
    switch (index) {
    case Stages:
        // The panel shows the stage count in several places: redraw all of it.
        if (IGraphics* editor = Graphics()) {
            editor->MarkAllDirty();
        }
        break;
    case LFOSpeed:
        ChooseLFOSpeedFormatter();
        break;
    case SyncToHost:
        ChooseLFOSpeedFormatter();
        // The LFOSpeed text changes form at once. Marking it while the window is closed costs
        // nothing: opening marks every control anyway.
        if (lfoSpeedKnob != nullptr) {
            lfoSpeedKnob->MarkDirty(false);
        }
        break;
    default:
        break;
    }
}

void KSPhaser::ChooseLFOSpeedFormatter() {
    ParameterAt(LFOSpeed)->SetDisplayFunction(LFOSpeedFormatter(processor.SyncEnabled()));
}

void KSPhaser::ProcessBlock(double** inputs, double** outputs, int frames) {
    if (processor.SyncEnabled()) {
        HostTimeInfo time;
        HostTime(time);
        processor.TempoStep(time.tempo, time.ppqPos, time.playing);
    }
    processor.Process(inputs, outputs, frames);
}

bool KSPhaser::SaveState(IByteBuffer& buffer) {
    return PutPhaserStateHeader(buffer) && SerializeParams(buffer);
}

int KSPhaser::LoadState(const IByteBuffer& buffer, int pos) {
    PhaserStateValues values;
    pos = ReadPhaserState(buffer, pos, values);
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        if (values.assigned[i]) {
            // Clamped into the range; 0 gives a missing parameter its setting.
            ParameterAt(i)->SetFromPlain(values.value[i]);
        }
    }
    for (int i = 0; i < kPhaserParameterCount; ++i) {
        OnParameterChange(i);
    }
    return pos;
}

int32_t KSPhaser::TailFrames() {
    return ParameterAt(Feedback)->Value() == 0.0 ? 0 : kInfiniteTail;
}

void KSPhaser::OnPresetChange() {
    SendParametersToEditor();
}

void KSPhaser::MakeFactoryPresets() {
    for (int i = 0; i < kPhaserFactoryProgramCount; ++i) {
        const PhaserFactoryProgram& program = PhaserFactoryPrograms[i];
        double values[kPhaserParameterCount];
        std::memcpy(values, program.values, sizeof(values));
        values[LFOSpeed] = std::sqrt(values[LFOSpeed]);
        MakeFactoryPreset(i, program.name, values);
    }
}

void KSPhaser::MakeFactoryPreset(int index, const char* name, const double (&values)[kPhaserParameterCount]) {
    IPresetSlot* slot = PresetAt(index);
    if (slot == nullptr) {
        return;
    }
    slot->initialised = true;
    CopyText(slot->name, name, sizeof(slot->name));
    IByteBuffer state(4096);
    PutPhaserStateHeader(state);
    for (double v : values) {
        state.PutDouble(v);
    }
    slot->state.Clear();
    if (slot->state.PutBytes(state.Data(), state.Size()) != state.Size()) {
        slot->state.Clear();
    }
}

std::unique_ptr<IPluginBase> CreatePlugin() {
    return std::unique_ptr<IPluginBase>(new (std::nothrow) KSPhaser());
}
