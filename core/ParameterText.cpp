#include "core/ParameterText.h"

#include "core/NumberText.h"
#include "core/TextCopy.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

// The parameter is read at kGridSteps + 1 evenly spaced values before any finer search.
constexpr int kGridSteps = 1000;
// Halvings of the interval between two grid values: beyond float resolution.
constexpr int kBisections = 40;

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Appends text to the text in out, cut to fit capacity.
void Append(char* out, const char* text, size_t capacity) {
    const size_t length = std::strlen(out);
    CopyText(out + length, text, capacity - length);
}

// A piece of a text.
struct Span {
    const char* begin;
    size_t size;
};

Span Trimmed(const char* text, size_t size) {
    while (size > 0 && IsBlank(*text)) {
        ++text;
        --size;
    }
    while (size > 0 && IsBlank(text[size - 1])) {
        --size;
    }
    return Span{text, size};
}

Span Trimmed(const char* text) {
    return Trimmed(text, std::strlen(text));
}

// Equal after trimming, ignoring the case of ASCII letters.
bool SameText(const char* a, const char* b) {
    const Span x = Trimmed(a);
    const Span y = Trimmed(b);
    if (x.size != y.size) {
        return false;
    }
    for (size_t i = 0; i < x.size; ++i) {
        if (Lower(x.begin[i]) != Lower(y.begin[i])) {
            return false;
        }
    }
    return true;
}

// Units compare in any case and without blanks: "hz" is "Hz", "d B" is "dB".
bool SameUnit(Span a, Span b) {
    size_t i = 0;
    size_t j = 0;
    for (;;) {
        while (i < a.size && IsBlank(a.begin[i])) {
            ++i;
        }
        while (j < b.size && IsBlank(b.begin[j])) {
            ++j;
        }
        if (i == a.size || j == b.size) {
            return i == a.size && j == b.size;
        }
        if (Lower(a.begin[i++]) != Lower(b.begin[j++])) {
            return false;
        }
    }
}

// What the parameter shows at one value; text is the display, then a blank and the label when
// there is one.
struct Shown {
    char display[kParameterTextCapacity];
    char label[kParameterTextCapacity];
    char text[kParameterShownTextCapacity];

    // The display alone, with the label after a blank, or with the label joined on.
    bool Matches(const char* wanted) const {
        char joined[kParameterShownTextCapacity];
        CopyText(joined, display, sizeof joined);
        Append(joined, label, sizeof joined);
        return SameText(display, wanted) || SameText(text, wanted) || SameText(joined, wanted);
    }
};

// A number in the display's unit.
struct Reading {
    bool numeric = false;
    double number = 0.0;
};

// A grid step that shows a number, and the number.
struct Point {
    int step;
    double number;
};

// What one pass over the grid finds: the first run of steps that show a text, the numbers
// shown in the wanted unit, and the different texts.
struct Survey {
    int first = -1;
    int last = -1;
    Point points[kGridSteps + 1];
    int pointCount = 0;
    ParameterShownTexts texts;
};

double GridValue(int step) {
    return static_cast<double>(step) / kGridSteps;
}

// The value that stands for a run of values with the same display: its middle, which shows it
// whatever the plug-in rounds, or the end of the range it reaches, where the display's extreme is.
double RunValue(double low, double high) {
    if (low <= 0.0) {
        return 0.0;
    }
    return high >= 1.0 ? 1.0 : (low + high) / 2.0;
}

// Reads the parameter at chosen values, keeping to numbers in the unit of the text searched for
// (any unit when it has none).
class Probe {
public:
    Probe(IParameterDisplay& d, Span u, bool n) : display(d), unit(u), numeric(n) {}

    void At(double x, Shown& shown) {
        shown.display[0] = '\0';
        shown.label[0] = '\0';
        display.Show(x, shown.display, shown.label);
        shown.display[kParameterTextCapacity - 1] = '\0';
        shown.label[kParameterTextCapacity - 1] = '\0';
        CopyText(shown.text, shown.display, sizeof shown.text);
        if (shown.label[0] != '\0') {
            Append(shown.text, " ", sizeof shown.text);
            Append(shown.text, shown.label, sizeof shown.text);
        }
    }
    Reading Read(const Shown& shown) const {
        Reading reading;
        const char* shownUnit = nullptr;
        size_t shownUnitLength = 0;
        reading.numeric = ReadNumberWithUnit(shown.text, reading.number, shownUnit, shownUnitLength) &&
                          (unit.size == 0 || SameUnit(Span{shownUnit, shownUnitLength}, unit));
        return reading;
    }
    Reading ReadAt(double x) {
        At(x, scratch);
        return Read(scratch);
    }

    // One pass over the grid for text; numbers only when the searched text is one.
    void Walk(const char* text, Survey& survey) {
        survey.first = -1;
        survey.last = -1;
        survey.pointCount = 0;
        survey.texts.count = 0;
        bool runOver = false;
        for (int i = 0; i <= kGridSteps; ++i) {
            At(GridValue(i), scratch);
            if (!runOver && scratch.Matches(text)) {
                survey.first = survey.first < 0 ? i : survey.first;
                survey.last = i;
            } else if (survey.first >= 0) {
                runOver = true;
            }
            const Reading reading = numeric ? Read(scratch) : Reading{};
            if (reading.numeric) {
                survey.points[survey.pointCount++] = Point{i, reading.number};
            }
            Collect(scratch.text, survey.texts);
        }
        CopyText(survey.texts.last, scratch.text, sizeof survey.texts.last);
    }

private:
    static void Collect(const char* text, ParameterShownTexts& texts) {
        for (int k = 0; k < texts.count; ++k) {
            if (std::strcmp(texts.texts[k], text) == 0) {
                return;
            }
        }
        if (texts.count <= kParameterTextMostSteps) {
            CopyText(texts.texts[texts.count++], text, kParameterShownTextCapacity);
        }
    }

    IParameterDisplay& display;
    Span unit;
    bool numeric;
    Shown scratch = {};
};

// Searches a parameter whose numbers rise or fall with its value, between grid points.
class MonotonicSearch {
public:
    MonotonicSearch(Probe& p, const Point* n, int count) : probe(p), points(n), size(count) {
        direction = points[size - 1].number >= points[0].number ? 1.0 : -1.0;
    }

    double Lowest() const { return std::fmin(points[0].number, points[size - 1].number); }
    double Highest() const { return std::fmax(points[0].number, points[size - 1].number); }

    // The value that stands for those that show the number nearest target (within the range).
    double Find(double target) {
        double low = 0.0;
        double high = 0.0;
        const double shownAtOrPast = Run(target, low, high);
        if (shownAtOrPast != target) {
            // No value shows target itself: take the nearer of the numbers on either side.
            const double before = LastBefore(target);
            const double nearer =
                std::fabs(before - target) < std::fabs(shownAtOrPast - target) ? before : shownAtOrPast;
            Run(nearer, low, high);
        }
        return RunValue(low, high);
    }

private:
    bool Past(double number, double target, bool orEqual) const {
        const double a = direction * number;
        const double b = direction * target;
        return orEqual ? a >= b : a > b;
    }

    // From inside (where holds is true) towards outside (where it is false): the last value
    // that holds.
    template <typename Holds>
    double Edge(double inside, double outside, Holds holds) {
        for (int i = 0; i < kBisections; ++i) {
            const double middle = (inside + outside) / 2.0;
            if (holds(probe.ReadAt(middle))) {
                inside = middle;
            } else {
                outside = middle;
            }
        }
        return inside;
    }

    // Finds the values from low to high that show the first number at or past target; answers
    // that number.
    double Run(double target, double& low, double& high) {
        int k = 0;
        while (k + 1 < size && !Past(points[k].number, target, true)) {
            ++k;
        }
        auto atOrPast = [&](const Reading& r) { return r.numeric && Past(r.number, target, true); };
        low = k == 0 ? GridValue(points[0].step)
                     : Edge(GridValue(points[k].step), GridValue(points[k - 1].step), atOrPast);
        const Reading shown = probe.ReadAt(low);
        const double number = shown.numeric ? shown.number : points[k].number;
        int j = size - 1;
        while (j > 0 && Past(points[j].number, number, false)) {
            --j;
        }
        auto notPast = [&](const Reading& r) { return r.numeric && !Past(r.number, number, false); };
        high = j + 1 == size ? GridValue(points[j].step)
                             : Edge(GridValue(points[j].step), GridValue(points[j + 1].step), notPast);
        return number;
    }

    // The number shown just before the first value that reaches target, which the first grid
    // number does not reach.
    double LastBefore(double target) {
        int j = 0;
        while (j + 1 < size && !Past(points[j + 1].number, target, true)) {
            ++j;
        }
        if (j + 1 == size) {
            return points[j].number;
        }
        auto before = [&](const Reading& r) { return r.numeric && !Past(r.number, target, true); };
        const Reading shown =
            probe.ReadAt(Edge(GridValue(points[j].step), GridValue(points[j + 1].step), before));
        return shown.numeric ? shown.number : points[j].number;
    }

    Probe& probe;
    const Point* points;
    int size;
    double direction = 1.0;
};

bool Monotonic(const Point* points, int count) {
    bool rising = true;
    bool falling = true;
    for (int i = 1; i < count; ++i) {
        rising = rising && points[i].number >= points[i - 1].number;
        falling = falling && points[i].number <= points[i - 1].number;
    }
    return rising || falling;
}

bool Search(Probe& probe, const char* text, double number, Survey& survey, double& normalized) {
    probe.Walk(text, survey);
    if (survey.first >= 0) {
        normalized = RunValue(GridValue(survey.first), GridValue(survey.last));
        return true;
    }
    if (survey.pointCount == 0) {
        return false;
    }
    if (survey.texts.count > kParameterTextMostSteps && Monotonic(survey.points, survey.pointCount)) {
        MonotonicSearch search(probe, survey.points, survey.pointCount);
        if (number < search.Lowest() || number > search.Highest()) {
            return false;
        }
        normalized = search.Find(number);
        return true;
    }
    // Stepped, or numbers that do not follow the value: a step must show the number itself.
    for (int i = 0; i < survey.pointCount; ++i) {
        if (survey.points[i].number == number) {
            Shown step;
            probe.At(GridValue(survey.points[i].step), step);
            probe.Walk(step.text, survey);
            normalized = RunValue(GridValue(survey.first), GridValue(survey.last));
            return true;
        }
    }
    return false;
}

// What a parameter shows a host at each normalised value.
class OwnDisplay final : public IParameterDisplay {
public:
    explicit OwnDisplay(const IParameter& p) : parameter(p) {}

    void Show(double normalized, char* display, char* label) override {
        const double value = parameter.ValueFromNormalized(normalized);
        parameter.FormatDisplay(value, false, display, true);
        CopyText(label, parameter.LabelForHost(value), kParameterTextCapacity);
    }

private:
    const IParameter& parameter;
};

} // namespace

bool ReadNumberWithUnit(const char* text, double& number, const char*& unit, size_t& unitLength) {
    if (text == nullptr) {
        return false;
    }
    const Span t = Trimmed(text);
    size_t end = 0;
    if (end < t.size && (t.begin[end] == '+' || t.begin[end] == '-')) {
        ++end;
    }
    const size_t sign = end;
    size_t digits = 0;
    while (end < t.size && IsDigit(t.begin[end])) {
        ++end;
        ++digits;
    }
    if (end < t.size && t.begin[end] == '.') {
        ++end;
        while (end < t.size && IsDigit(t.begin[end])) {
            ++end;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    // An exponent only when digits follow, so a unit may start with e ("2 eV").
    if (end + 1 < t.size && (t.begin[end] == 'e' || t.begin[end] == 'E')) {
        size_t e = end + 1;
        if (e < t.size && (t.begin[e] == '+' || t.begin[e] == '-')) {
            ++e;
        }
        if (e < t.size && IsDigit(t.begin[e])) {
            while (e < t.size && IsDigit(t.begin[e])) {
                ++e;
            }
            end = e;
        }
    }
    const Span u = Trimmed(t.begin + end, t.size - end);
    for (size_t i = 0; i < u.size; ++i) {
        if (IsDigit(u.begin[i])) {
            return false;
        }
    }
    unit = u.begin;
    unitLength = u.size;
    // A lone 0 is zero: strtod would read on through "0xA" as a hexadecimal number.
    number = end == sign + 1 && t.begin[sign] == '0' ? 0.0 : ReadLeadingNumber(t.begin);
    return std::isfinite(number);
}

bool FindShownValue(IParameterDisplay& display, const char* text, double& normalized,
                    ParameterShownTexts* shownTexts) {
    if (shownTexts != nullptr) {
        shownTexts->count = 0;
    }
    if (text == nullptr) {
        return false;
    }
    double number = 0.0;
    const char* unit = "";
    size_t unitLength = 0;
    const bool numeric = ReadNumberWithUnit(text, number, unit, unitLength);
    const std::unique_ptr<Survey> survey(new (std::nothrow) Survey);
    if (!survey) {
        return false;
    }
    Probe probe(display, Span{unit, unitLength}, numeric);
    if (Search(probe, text, number, *survey, normalized)) {
        return true;
    }
    if (shownTexts != nullptr) {
        *shownTexts = survey->texts;
    }
    return false;
}

bool ParameterValueFromText(const IParameter& parameter, const char* text, double& normalized) {
    OwnDisplay display(parameter);
    return FindShownValue(display, text, normalized);
}
