#pragma once

#include "core/IPluginBase.h"

#include <string>
#include <vector>

// The plug-in base with two parameters of range 0.5..1 and a log of its hooks and host calls.
class TestPlugin : public IPluginBase {
public:
    explicit TestPlugin(const char* channelIO = "2-2", int presets = 4)
        : IPluginBase(2, channelIO, presets, "Test", "Product", "Maker", 0x00020002, 1, 2, 0, true, false) {
        ParameterAt(0)->SetupContinuous("First", 0.75, 0.5, 1.0, 0.01, 1.0);
        ParameterAt(1)->SetupContinuous("Second", 0.75, 0.5, 1.0, 0.01, 1.0);
    }

    void OnParameterChange(int index) override { log.push_back("param " + std::to_string(index)); }
    void OnPresetChange() override { log.push_back("preset " + std::to_string(CurrentPreset())); }
    void AutomateParameter(int index, double normalized) override {
        automated.push_back({index, normalized});
    }
    bool SendMidiToHost(const MidiMessage& message) override {
        midiOut.push_back(message);
        return true;
    }

    void SetValues(double first, double second) {
        ParameterAt(0)->SetFromPlain(first);
        ParameterAt(1)->SetFromPlain(second);
    }
    int ScratchFrames() const { return scratchFrames; }
    const IByteBuffer& ProgramChunk() const { return programChunk; }

    struct Automation {
        int index;
        double normalized;
    };
    std::vector<std::string> log;
    std::vector<Automation> automated;
    std::vector<MidiMessage> midiOut;
};
