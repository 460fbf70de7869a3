#pragma once

#include "core/ParameterText.h"
#include "tools/host/Plugin.h"
#include "tools/host/Status.h"

#include <string>

namespace ksphost {

// Calls the plug-in's parameter callbacks and dispatcher. The normalised value
// at which parameter index shows text, by the plug-in core's rules (core/ParameterText.h): one
// of its display texts (alone or with its label, as `info` prints them), or a number in the unit
// its display shows, with or without that unit. Continuous parameters are searched for the
// display nearest the number; stepped ones must show it exactly. The search sets other values
// meanwhile and leaves the parameter as it found it.
Result<float> FindParameterValue(Plugin& plugin, VstInt32 index, const std::string& text);

// The error for a text that the parameter named name does not take, listing what display shows
// over the parameter's range.
Status RefusedParameterValue(IParameterDisplay& display, const std::string& name, const std::string& text);

// Reads text as a decimal number followed by an optional unit without digits
// ("1000Hz", "-50 %", "0.00 dB"); answers false for anything else ("16/1", "50:50", "on").
bool ParseNumberWithUnit(const std::string& text, double& number, std::string& unit);

} // namespace ksphost
