#pragma once

#include "core/IByteBuffer.h"

#include <atomic>
#include <cstdint>

// Capacity of every buffer that receives a parameter's display text, terminator included.
constexpr int kParameterTextCapacity = 64;
// Capacity of a parameter's name, label and value texts, terminator included.
constexpr int kParameterNameCapacity = 32;

// Writes the complete display text of a plain value into a buffer of kParameterTextCapacity bytes.
using ParameterDisplayFunction = void (*)(double plain, char* out);

enum ParameterType : int32_t {
    kParameterUninitialised = 0,
    kParameterBoolean = 1,
    kParameterInteger = 2,
    kParameterEnumerated = 3,
    kParameterContinuous = 4,
};

// One automatable parameter: its plain value and range, the mapping to the host's normalised
// range 0..1 through a shape exponent, and the texts the host and the editor show.
// No lock of its own: writers hold the plug-in lock. The value and the display function are
// atomic (relaxed) because the editor reads them to paint without taking that lock.
class IParameter {
public:
    IParameter() = default;
    IParameter(const IParameter&) = delete;
    IParameter& operator=(const IParameter&) = delete;

    // Each setup sets the type only while it is still uninitialised, so the outermost call wins.
    void SetupContinuous(const char* name, double defaultValue, double min, double max, double step,
                         double shape);
    void SetupBoolean(const char* name);
    void SetupEnumerated(const char* name, int defaultValue, int count);
    void SetupInteger(const char* name, int defaultValue, int min, int max);
    // [ui] While the plug-in is built. The number a display text shows is the value times scale
    // (Manual: the value 0.0625 shows 1000Hz, scale 16000): hosts that show a parameter's range
    // in its own unit use it. 1, the value itself, where the display is no multiple of it.
    void SetUnitScale(double scale) { unitScale = scale; }
    // Appends a value text; false when the list could not grow.
    bool AddValueText(int value, const char* text);
    // [any] No lock needed; the editor's next paint shows the new form.
    void SetDisplayFunction(ParameterDisplayFunction function) {
        displayFunction.store(function, std::memory_order_relaxed);
    }

    // Both keep the value finite and within min..max; NaN leaves it unchanged.
    void SetFromNormalized(double x);
    void SetFromPlain(double v);

    // [any] No lock. The plain value SetFromNormalized(x) stores: within min..max, and on the
    // step for every type but continuous; NaN for NaN.
    double ValueFromNormalized(double x) const;
    double NormalizedOf(double v) const;
    double Normalized() const { return NormalizedOf(value); }
    // Plain value of a normalised one, without rounding or clamping.
    double PlainOf(double x) const;

    // Writes into out (kParameterTextCapacity bytes) the display text of v.
    void FormatDisplay(double v, bool isNormalized, char* out, bool withValueTexts) const;
    // The unit label, or the empty text when a value text already names the value.
    const char* LabelForHost() const { return LabelForHost(Value()); }
    // [any] No lock. The same for plain value v; the text is owned by the parameter.
    const char* LabelForHost(double v) const;
    // Turns text typed on the host's side into a plain value. Fails for a value text that
    // matches no entry and for a number that is not finite.
    bool ParseText(const char* text, double& plain) const;

    ParameterType Type() const { return type; }
    double Value() const { return value.load(std::memory_order_relaxed); }
    double Min() const { return min; }
    double Max() const { return max; }
    double Step() const { return step; }
    double Shape() const { return shape; }
    int Decimals() const { return decimals; }
    double DefaultValue() const { return defaultValue; }
    bool ShowNegated() const { return showNegated; }
    ParameterDisplayFunction DisplayFunction() const {
        return displayFunction.load(std::memory_order_relaxed);
    }
    double UnitScale() const { return unitScale; }
    const char* Name() const { return name; }
    const char* Label() const { return label; }
    // Steps from the lowest to the highest value of a stepped parameter (1 for a boolean, the
    // count less one for an enumeration); 0 for a continuous one.
    int StepCount() const;
    // [any] No lock: reads the setup only. Plain value v as hosts that show the parameter in its
    // own unit take it: the step of a stepped parameter, else v times UnitScale.
    double UnitValue(double v) const { return StepCount() > 0 ? v : v * unitScale; }
    int ValueTextCount() const;
    // The text of the first entry for value, or none.
    const char* ValueText(int value) const;

private:
    std::atomic<ParameterDisplayFunction> displayFunction{nullptr};
    ParameterType type = kParameterUninitialised;
    std::atomic<double> value{0.0};
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double shape = 1.0;
    double defaultValue = 0.0;
    int32_t decimals = 0;
    double unitScale = 1.0;
    char name[kParameterNameCapacity] = {};
    char label[kParameterNameCapacity] = {};
    bool showNegated = false;
    IByteBuffer valueTexts{4096};
};
