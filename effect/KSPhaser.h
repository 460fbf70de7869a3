#pragma once

#include "controls/IKSMenus.h"
#include "effect/Effect.h"
#include "effect/dsp/PhaserParameter.h"
#include "effect/dsp/PhaserProcessor.h"
#include "platform/HttpGet.h"

#include <memory>

class IControl;

// The stereo phaser: ten parameters, the processing of PhaserProcessor, a versioned state,
// ten factory programs, its editor panel and the online update check. Its hooks run with the
// plug-in lock held by their caller, as the core's contract says.
class KSPhaser : public Effect, public IKSOnlineActions {
public:
    // [ui] The phaser with its parameters, programs and editor, and no host yet.
    KSPhaser();
    ~KSPhaser() override = default;

    // [any] Plug-in lock held.
    void OnReset() override;
    void OnParameterChange(int index) override;
    // [audio] Plug-in lock held; always two inputs and two outputs.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // [any] Plug-in lock held. The header text of the current version, then the ten plain values.
    bool SaveState(IByteBuffer& buffer) override;
    // [any] Plug-in lock held. Reads the current, the 2.0.0 or a header-less state at pos;
    // answers the position after it, or -1 when the data ended early.
    int LoadState(const IByteBuffer& buffer, int pos) override;
    // [any] Plug-in lock held.
    void OnPresetChange() override;
    // [any] Plug-in lock held. Without feedback the stages ring for no audible time; with it
    // the output may go on, the longer the nearer the feedback comes to 100 %.
    int32_t TailFrames() override;
    // [ui] While the phaser is built.
    void CreateParameters() override;

    // [any] Plug-in lock held.
    const PhaserProcessor& Processor() const { return processor; }

    // [ui] No lock; reads the environment. The online menu's texts, from the update server's
    // setting.
    void ReadSiteTexts(IKSSiteTexts& out) const override;
    // [ui] Takes no lock. Asks the maker's server for the newest version and tells the user in
    // message boxes; waits for the server and the user. Answers 0 after an exchange, -1 without
    // a reply, -2 without memory, -3 for an invalid reply.
    int CheckForUpdate() override;
    // [ui] No lock. The HTTP client of later update checks (the phaser owns it); without one,
    // the platform's client is created on the first check.
    void SetHttpClient(std::unique_ptr<IHttpGet> client) { httpClient = std::move(client); }
    // [ui] No lock. The LFOSpeed knob of the editor (owned by the editor), or none.
    IControl* LFOSpeedKnob() const { return lfoSpeedKnob; }

private:
    // Lays out the panel: background, menus, knobs and switches, in stacking order.
    void BuildEditor();
    void MakeFactoryPresets();
    // Nothing for an index that is not a program slot.
    void MakeFactoryPreset(int index, const char* name, const double (&values)[kPhaserParameterCount]);
    // LFOSpeed shows a note value while synchronised, a frequency otherwise.
    void ChooseLFOSpeedFormatter();

    PhaserProcessor processor;
    IControl* lfoSpeedKnob = nullptr;
    std::unique_ptr<IHttpGet> httpClient;
};
