#include "core/IParameter.h"

#include "core/TextCopy.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// One value text: an int32 value and its text, 36 bytes.
struct ValueTextEntry {
    int32_t value;
    char text[kParameterNameCapacity];
};
static_assert(sizeof(ValueTextEntry) == 36, "value text entry layout");

constexpr int kMaxDecimals = 6;

// Truncates towards zero into int32; values beyond the range saturate, NaN gives 0.
int32_t TruncateToInt32(double v) {
    if (!(v == v)) {
        return 0;
    }
    if (v >= 2147483647.0) {
        return INT32_MAX;
    }
    if (v <= -2147483648.0) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(v);
}

} // namespace

void IParameter::SetupContinuous(const char* newName, double newDefault, double newMin, double newMax,
                                 double newStep, double newShape) {
    if (type == kParameterUninitialised) {
        type = kParameterContinuous;
    }
    CopyText(name, newName, sizeof name);
    label[0] = '\0';
    min = newMin;
    value = newDefault;
    step = newStep;
    defaultValue = newDefault;
    decimals = 0;
    max = newMax > newMin + newStep ? newMax : newMin + newStep;
    for (double s = newStep; s != std::floor(s) && decimals < kMaxDecimals; s *= 10.0) {
        ++decimals;
    }
    if (newShape != 0.0) {
        shape = newShape;
    }
}

void IParameter::SetupBoolean(const char* newName) {
    if (type == kParameterUninitialised) {
        type = kParameterBoolean;
    }
    SetupEnumerated(newName, 0, 2);
    AddValueText(0, "off");
    AddValueText(1, "on");
}

void IParameter::SetupEnumerated(const char* newName, int newDefault, int count) {
    if (type == kParameterUninitialised) {
        type = kParameterEnumerated;
    }
    SetupInteger(newName, newDefault, 0, count - 1);
}

void IParameter::SetupInteger(const char* newName, int newDefault, int newMin, int newMax) {
    if (type == kParameterUninitialised) {
        type = kParameterInteger;
    }
    SetupContinuous(newName, newDefault, newMin, newMax, 1.0, 1.0);
}

bool IParameter::AddValueText(int entryValue, const char* text) {
    ValueTextEntry entry = {};
    entry.value = entryValue;
    CopyText(entry.text, text, sizeof entry.text);
    const int32_t before = valueTexts.Size();
    return valueTexts.PutBytes(&entry, static_cast<int32_t>(sizeof entry)) != before;
}

int IParameter::ValueTextCount() const {
    return valueTexts.Size() / static_cast<int32_t>(sizeof(ValueTextEntry));
}

const char* IParameter::ValueText(int entryValue) const {
    const auto* entries = reinterpret_cast<const ValueTextEntry*>(valueTexts.Data());
    const int count = ValueTextCount();
    for (int i = 0; i < count; ++i) {
        if (entries[i].value == entryValue) {
            return entries[i].text;
        }
    }
    return nullptr;
}

double IParameter::NormalizedOf(double v) const {
    if (v < min) {
        v = min;
    } else if (v > max) {
        v = max;
    }
    return std::pow((v - min) / (max - min), 1.0 / shape);
}

double IParameter::PlainOf(double x) const {
    return std::pow(x, shape) * (max - min) + min;
}

void IParameter::SetFromNormalized(double x) {
    if (std::isnan(x)) {
        return;
    }
    // Outside 0..1 the power of a negative base would leave the range (or the real numbers).
    x = x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
    double v = PlainOf(x);
    if (type != kParameterContinuous) {
        v = std::floor(v / step + 0.5) * step;
    }
    // The step grid is anchored at 0, so a rounded value may fall just below min.
    value = v > max ? max : (v < min ? min : v);
}

void IParameter::SetFromPlain(double v) {
    if (std::isnan(v)) {
        return;
    }
    value = v < min ? min : (v > max ? max : v);
}

void IParameter::FormatDisplay(double v, bool isNormalized, char* out, bool withValueTexts) const {
    if (out == nullptr) {
        return;
    }
    if (isNormalized) {
        v = PlainOf(v);
    }
    if (displayFunction != nullptr) {
        displayFunction(v, out);
        return;
    }
    if (withValueTexts) {
        const char* text = ValueText(TruncateToInt32(v));
        if (text != nullptr && text[0] != '\0') {
            CopyText(out, text, kParameterTextCapacity);
            return;
        }
    }
    if (showNegated) {
        v = -v;
    }
    if (decimals == 0) {
        std::snprintf(out, kParameterTextCapacity, "%d", TruncateToInt32(v));
    } else {
        std::snprintf(out, kParameterTextCapacity, "%.*f", decimals, v);
    }
}

const char* IParameter::LabelForHost() const {
    const char* text = ValueText(TruncateToInt32(value));
    if (text != nullptr && text[0] != '\0') {
        return "";
    }
    return label;
}

bool IParameter::ParseText(const char* text, double& plain) const {
    if (text == nullptr) {
        return false;
    }
    if (ValueTextCount() > 0) {
        const auto* entries = reinterpret_cast<const ValueTextEntry*>(valueTexts.Data());
        for (int i = 0; i < ValueTextCount(); ++i) {
            if (std::strcmp(entries[i].text, text) == 0) {
                plain = entries[i].value;
                return true;
            }
        }
        return false;
    }
    const double v = std::strtod(text, nullptr);
    if (!std::isfinite(v)) {
        return false;
    }
    plain = showNegated ? -v : v;
    return true;
}
