#pragma once

#include "core/IParameter.h"

#include <cstddef>

// Turning a text into a parameter's normalised value: one of the texts the parameter shows (a
// run of values showing it gives the value that stands for the run), or a number in the unit its
// display shows, with or without that unit. A continuous parameter whose numbers rise or fall
// with its value gets the value showing the number nearest to it; a stepped one must show it.
// The search reads only what the parameter shows, so it serves any plug-in seen from outside as
// well as this plug-in's own parameters.

// A parameter showing at most this many different texts over its range is stepped.
constexpr int kParameterTextMostSteps = 32;
// Capacity of one shown text: the display, a blank and the label, terminator included.
constexpr int kParameterShownTextCapacity = 2 * kParameterTextCapacity;

// What a parameter shows at a normalised value.
class IParameterDisplay {
public:
    virtual ~IParameterDisplay() = default;

    // [ui] Lock as the implementation needs. Writes the display text and the label shown at
    // normalized (0 to 1) into buffers of kParameterTextCapacity bytes each, terminated.
    virtual void Show(double normalized, char* display, char* label) = 0;
};

// The different texts a parameter shows over its range, for telling what it takes.
struct ParameterShownTexts {
    // The display and label of each, in the order of their values. More than
    // kParameterTextMostSteps means the parameter shows more than it lists.
    int count = 0;
    char texts[kParameterTextMostSteps + 1][kParameterShownTextCapacity] = {};
    // What the top of the range shows.
    char last[kParameterShownTextCapacity] = {};
};

// [ui] Takes no lock; display's Show runs under whatever the caller holds. The normalised value
// at which display shows text, read at 1001 evenly spaced values and between them. Uses one
// allocation of about 20 kB. False when no value shows text or memory ran out; shownTexts, when
// given (owned by the caller), then receives what the parameter shows (nothing when memory ran
// out).
bool FindShownValue(IParameterDisplay& display, const char* text, double& normalized,
                    ParameterShownTexts* shownTexts = nullptr);

// [ui] Takes no lock: reads the parameter's setup and its display function only. The search above
// on what parameter shows a host at each normalised value (its display and label after
// SetFromNormalized), without changing its value. False when no value shows text.
bool ParameterValueFromText(const IParameter& parameter, const char* text, double& normalized);

// [any] No lock, no allocation. Reads text as a decimal number ('.' as decimal point) followed by
// an optional unit without digits ("1000Hz", "-50 %", "0.00 dB"); false for anything else
// ("16/1", "50:50", "on"). unit points into text, unitLength leaves out the blanks around it.
bool ReadNumberWithUnit(const char* text, double& number, const char*& unit, size_t& unitLength);
