#pragma once

#include "vst/IPluginVST.h"

// The pin name the host shows for the effect's two inputs and two outputs.
constexpr const char* kEffectPinLabel = "Kestrunelle Phaser ";

// The editor every effect creates: 720 x 174 pixels, 25 frames a second.
constexpr int kEditorWidth = 720;
constexpr int kEditorHeight = 174;
constexpr int kEditorFrameRate = 25;

// The effect layer between the VST binding and the phaser: names the pins, creates the
// editor (without a window) and refreshes the processing state whenever the host resumes.
class Effect : public IPluginVST {
public:
    Effect(audioMasterCallback host, int parameterCount, const char* channelIO, int presetCount,
           const char* effectName, const char* productName, const char* makerName, int32_t version,
           int32_t uniqueId, int32_t makerId, int latency, bool acceptsMidi, bool isInstrument);
    // Destroys the editor it created if no one attached it.
    ~Effect() override;

    // On resume, every parameter's change hook runs again, in index order.
    void OnActiveChange(bool active) override;
    // Sets up the parameters; the derived effect calls it from its constructor.
    virtual void CreateParameters() {}
    virtual bool IsReady() { return true; }

    // [ui] Takes the plug-in lock. Keeps the edits in the current program, loads program
    // index and tells the host.
    void SelectPresetFromEditor(int index);

protected:
    // [ui] The editor created by the constructor, until AttachEditor takes it over; owned by
    // the effect until then (none when memory ran out).
    IGraphics* CreatedEditor() const { return createdEditor; }

private:
    IGraphics* createdEditor = nullptr;
};
