#include "graphics/TextEntryRules.h"

#include "core/IParameter.h"
#include "core/NumberText.h"

#include <cmath>

namespace {

bool IsSignOrDigit(unsigned char c) {
    return c == '+' || c == '-' || (c >= '0' && c <= '9');
}

} // namespace

bool EntryAcceptsCharacter(const IParameter* parameter, unsigned char c) {
    if (parameter == nullptr || c == '\b') {
        return true;
    }
    switch (parameter->Type()) {
    case kParameterBoolean:
    case kParameterInteger:
    case kParameterEnumerated:
        return IsSignOrDigit(c);
    case kParameterContinuous:
        return IsSignOrDigit(c) || c == '.';
    default:
        return true;
    }
}

double EntryCommitValue(const IParameter& parameter, const char* text) {
    double v = 0.0;
    const ParameterType type = parameter.Type();
    if (type == kParameterBoolean || type == kParameterEnumerated) {
        if (parameter.ValueTextCount() == 0 || !parameter.ParseText(text, v)) {
            v = 0.0;
        }
    } else {
        v = ReadLeadingNumber(text);
        if (!std::isfinite(v)) {
            v = 0.0;
        }
        if (parameter.ShowNegated()) {
            v = -v;
        }
    }
    return parameter.NormalizedOf(v);
}
