#include "tools/host/ParameterValue.h"

#include "core/ParameterText.h"
#include "core/TextCopy.h"
#include "tools/host/Text.h"

#include <memory>

namespace ksphost {

namespace {

// What the plug-in shows at a value, read through its callbacks; puts back its value when done.
class PluginDisplay final : public IParameterDisplay {
public:
    PluginDisplay(Plugin& p, VstInt32 i) : plugin(p), index(i), original(p.Parameter(i)) {}
    ~PluginDisplay() { plugin.SetParameter(index, original); }
    PluginDisplay(const PluginDisplay&) = delete;
    PluginDisplay& operator=(const PluginDisplay&) = delete;

    void Show(double normalized, char* display, char* label) override {
        plugin.SetParameter(index, static_cast<float>(normalized));
        CopyText(display, plugin.ParameterDisplay(index).c_str(), kParameterTextCapacity);
        CopyText(label, plugin.ParameterLabel(index).c_str(), kParameterTextCapacity);
    }

private:
    Plugin& plugin;
    VstInt32 index;
    float original;
};

Status BadValue(const std::string& name, const std::string& text, const ParameterShownTexts& shown) {
    std::string shows;
    if (shown.count <= kParameterTextMostSteps) {
        for (int i = 0; i < shown.count; ++i) {
            shows += (shows.empty() ? "" : ", ") + std::string(shown.texts[i]);
        }
    } else {
        shows = std::string(shown.texts[0]) + " to " + shown.last;
    }
    return Status::Error("bad value " + Quoted(Trimmed(text)) + " for the parameter " + Quoted(name) +
                         ": it shows " + shows + " (give a text it shows, a number in its unit, or " +
                         "--set-normalized \"" + name + "=X\" with X from 0 to 1)");
}

} // namespace

bool ParseNumberWithUnit(const std::string& text, double& number, std::string& unit) {
    const char* unitText = nullptr;
    size_t unitLength = 0;
    if (!ReadNumberWithUnit(text.c_str(), number, unitText, unitLength)) {
        return false;
    }
    unit.assign(unitText, unitLength);
    return true;
}

Result<float> FindParameterValue(Plugin& plugin, VstInt32 index, const std::string& text) {
    const auto shown = std::make_unique<ParameterShownTexts>();
    double found = 0.0;
    {
        PluginDisplay display(plugin, index);
        if (FindShownValue(display, text.c_str(), found, shown.get())) {
            return static_cast<float>(found);
        }
    }
    return BadValue(plugin.ParameterName(index), text, *shown);
}

Status RefusedParameterValue(IParameterDisplay& display, const std::string& name, const std::string& text) {
    const auto shown = std::make_unique<ParameterShownTexts>();
    double found = 0.0;
    FindShownValue(display, text.c_str(), found, shown.get());
    return BadValue(name, text, *shown);
}

} // namespace ksphost
