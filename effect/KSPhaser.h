#pragma once

#include "effect/Effect.h"
#include "effect/PhaserParameter.h"
#include "effect/PhaserProcessor.h"

// The stereo phaser: ten parameters, the processing of PhaserProcessor, a versioned state and
// ten factory programs.
class KSPhaser : public Effect {
public:
    explicit KSPhaser(audioMasterCallback host);
    ~KSPhaser() override = default;

    // Both take the plug-in lock themselves, whoever calls them.
    void OnReset() override;
    void OnParameterChange(int index) override;
    // Runs with the lock held by the audio callbacks; always two inputs and two outputs.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // The header text of the current version, then the ten plain values.
    bool SaveState(IByteBuffer& buffer) override;
    // Reads the current, the 2.0.0 or a header-less state at pos; answers the position after it,
    // or -1 when the data ended early.
    int LoadState(const IByteBuffer& buffer, int pos) override;
    void OnPresetChange() override;
    void CreateParameters() override;

    const PhaserProcessor& Processor() const { return processor; }

private:
    void MakeFactoryPresets();
    // Nothing for an index that is not a program slot.
    void MakeFactoryPreset(int index, const char* name, const double (&values)[kPhaserParameterCount]);
    // LFOSpeed shows a note value while synchronised, a frequency otherwise.
    void ChooseLFOSpeedFormatter();

    PhaserProcessor processor;
};
