#pragma once

#include "controls/IKSMenus.h"
#include "core/IPluginBase.h"

#include <memory>

class IGraphics;

// The pin name the host shows for the effect's two inputs and two outputs.
constexpr const char* kEffectPinLabel = "Kestrunelle Phaser ";

// The editor every effect creates: 720 x 174 pixels, 25 frames a second.
constexpr int kEditorWidth = 720;
constexpr int kEditorHeight = 174;
constexpr int kEditorFrameRate = 25;

// The effect layer between the plug-in core and the phaser, whatever format carries it: names
// the pins, creates the editor (without a window) and refreshes the processing state whenever
// the host resumes. Its hooks, like every hook, run with the plug-in lock held by their caller.
class Effect : public IPluginBase, public IKSPresetChoice {
public:
    // [ui] The core's construction, then the pin names and the editor.
    Effect(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
           const char* productName, const char* makerName, int32_t version, int32_t uniqueId, int32_t makerId,
           int latency, bool acceptsMidi, bool isInstrument);
    // [ui] Destroys the editor it created if no one attached it.
    ~Effect() override;

    // [any] On resume, every parameter's change hook runs again, in index order.
    void OnActiveChange(bool active) override;
    // [ui] Sets up the parameters; the derived effect calls it from its constructor.
    virtual void CreateParameters() {}
    virtual bool IsReady() { return true; }

    // [ui] Takes the plug-in lock. Keeps the edits in the current program, loads program index
    // and tells the host.
    void SelectPresetFromEditor(int index) override;

protected:
    // [ui] The editor the constructor created (none when memory ran out); owned by the effect
    // until AttachCreatedEditor hands it to the core, which then owns it.
    IGraphics* Graphics() const { return graphics; }
    // [ui] Takes the plug-in lock. Attaches the editor the constructor created.
    void AttachCreatedEditor();

private:
    std::unique_ptr<IGraphics> createdEditor;
    IGraphics* graphics = nullptr;
};
