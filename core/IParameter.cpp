#include "core/IParameter.h"

#include "core/NumberText.h"
#include "core/TextCopy.h"

#include <cmath>
#include <cstdio>
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

void IParameter::SetupContinuous(const char* name, double defaultValue, double min, double max, double step,
                                 double shape) {
    if (type == kParameterUninitialised) {
        type = kParameterContinuous;
    }
    CopyText(this->name, name, sizeof this->name);
    label[0] = '\0';
    this->min = min;
    value.store(defaultValue, std::memory_order_relaxed);
    this->step = step;
    this->defaultValue = defaultValue;
    decimals = 0;
    this->max = max > min + step ? max : min + step;
    for (double s = step; s != std::floor(s) && decimals < kMaxDecimals; s *= 10.0) {
        ++decimals;
    }
    if (shape != 0.0) {
        this->shape = shape;
    }
}

int IParameter::StepCount() const {
    return type == kParameterContinuous ? 0 : TruncateToInt32(max - min);
}

void IParameter::SetupBoolean(const char* name) {
    if (type == kParameterUninitialised) {
        type = kParameterBoolean;
    }
    SetupEnumerated(name, 0, 2);
    AddValueText(0, "off");
    AddValueText(1, "on");
}

void IParameter::SetupEnumerated(const char* name, int defaultValue, int count) {
    if (type == kParameterUninitialised) {
        type = kParameterEnumerated;
    }
    SetupInteger(name, defaultValue, 0, count - 1);
}

void IParameter::SetupInteger(const char* name, int defaultValue, int min, int max) {
    if (type == kParameterUninitialised) {
        type = kParameterInteger;
    }
    SetupContinuous(name, defaultValue, min, max, 1.0, 1.0);
}

bool IParameter::AddValueText(int value, const char* text) {
    ValueTextEntry entry = {};
    entry.value = value;
    CopyText(entry.text, text, sizeof entry.text);
    const int32_t before = valueTexts.Size();
    return valueTexts.PutBytes(&entry, static_cast<int32_t>(sizeof entry)) != before;
}

int IParameter::ValueTextCount() const {
    return valueTexts.Size() / static_cast<int32_t>(sizeof(ValueTextEntry));
}

const char* IParameter::ValueText(int value) const {
    const auto* entries = reinterpret_cast<const ValueTextEntry*>(valueTexts.Data());
    const int count = ValueTextCount();
    for (int i = 0; i < count; ++i) {
        if (entries[i].value == value) {
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

double IParameter::ValueFromNormalized(double x) const {
    if (std::isnan(x)) {
        return x;
    }
    // Outside 0..1 the power of a negative base would leave the range (or the real numbers).
    x = x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
    double v = PlainOf(x);
    if (type != kParameterContinuous) {
        v = std::floor(v / step + 0.5) * step;
    }
    // The step grid is anchored at 0, so a rounded value may fall just below min.
    return v > max ? max : (v < min ? min : v);
}

void IParameter::SetFromNormalized(double x) {
    if (!std::isnan(x)) {
        value.store(ValueFromNormalized(x), std::memory_order_relaxed);
    }
}

void IParameter::SetFromPlain(double v) {
    if (std::isnan(v)) {
        return;
    }
    value.store(v < min ? min : (v > max ? max : v), std::memory_order_relaxed);
}

void IParameter::FormatDisplay(double v, bool isNormalized, char* out, bool withValueTexts) const {
    if (out == nullptr) {
        return;
    }
    if (isNormalized) {
        v = PlainOf(v);
    }
    if (const ParameterDisplayFunction display = DisplayFunction()) {
        display(v, out);
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
        UseDotDecimalPoint(out);
    }
}

const char* IParameter::LabelForHost(double v) const {
    const char* text = ValueText(TruncateToInt32(v));
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
    const double v = ReadLeadingNumber(text);
    if (!std::isfinite(v)) {
        return false;
    }
    plain = showNegated ? -v : v;
    return true;
}
