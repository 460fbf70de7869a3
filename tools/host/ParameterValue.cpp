#include "tools/host/ParameterValue.h"

#include "tools/host/Text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace ksphost {

namespace {

// The parameter is read at kGridSteps + 1 evenly spaced values before any finer search.
constexpr int kGridSteps = 1000;
// A parameter showing at most this many different texts is stepped, and its texts are listed.
constexpr size_t kMostSteps = 32;
// Halvings of the interval between two grid values: beyond float resolution.
constexpr int kBisections = 40;

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Units compare in any case and without blanks: "hz" is "Hz", "d B" is "dB".
std::string UnitKey(const std::string& unit) {
    std::string key;
    for (char c : unit) {
        if (std::isspace(static_cast<unsigned char>(c)) == 0) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

// What the parameter shows at one value.
struct Shown {
    std::string display;
    std::string label;

    std::string Text() const { return label.empty() ? display : display + " " + label; }
    bool Matches(const std::string& text) const {
        return SameText(display, text) || SameText(Text(), text) || SameText(display + label, text);
    }
};

// A number in the display's unit.
struct Reading {
    bool numeric = false;
    double number = 0.0;
};

// Reads the parameter at chosen values and puts back its value when done.
class Probe {
public:
    Probe(Plugin& p, VstInt32 i, const std::string& u) : plugin(p), index(i), unit(UnitKey(u)) {
        original = plugin.Parameter(index);
    }
    ~Probe() { plugin.SetParameter(index, original); }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    Shown At(double x) {
        plugin.SetParameter(index, static_cast<float>(x));
        return Shown{plugin.ParameterDisplay(index), plugin.ParameterLabel(index)};
    }
    // The number shown at x, if the display there is a number in the wanted unit (any unit
    // when none is wanted).
    Reading Read(const Shown& shown) const {
        Reading reading;
        std::string shownUnit;
        reading.numeric = ParseNumberWithUnit(shown.Text(), reading.number, shownUnit) &&
                          (unit.empty() || UnitKey(shownUnit) == unit);
        return reading;
    }
    Reading ReadAt(double x) { return Read(At(x)); }

private:
    Plugin& plugin;
    VstInt32 index;
    std::string unit;
    float original = 0.0f;
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

// The value standing for the first run of grid steps whose texts match text; -1 if none does.
double FindOnGrid(const std::vector<Shown>& grid, const std::string& text) {
    int first = -1;
    int last = -1;
    for (int i = 0; i <= kGridSteps; ++i) {
        if (grid[static_cast<size_t>(i)].Matches(text)) {
            first = first < 0 ? i : first;
            last = i;
        } else if (first >= 0) {
            break;
        }
    }
    return first < 0 ? -1.0 : RunValue(GridValue(first), GridValue(last));
}

// A grid step that shows a number, and the number.
struct Point {
    int step;
    double number;
};

// Searches a parameter whose numbers rise or fall with its value, between grid points.
class MonotonicSearch {
public:
    MonotonicSearch(Probe& p, const std::vector<Point>& n) : probe(p), points(n) {
        direction = points.back().number >= points.front().number ? 1.0 : -1.0;
    }

    double Lowest() const { return std::min(points.front().number, points.back().number); }
    double Highest() const { return std::max(points.front().number, points.back().number); }

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
        size_t k = 0;
        while (k + 1 < points.size() && !Past(points[k].number, target, true)) {
            ++k;
        }
        auto atOrPast = [&](const Reading& r) { return r.numeric && Past(r.number, target, true); };
        low = k == 0 ? GridValue(points[0].step)
                     : Edge(GridValue(points[k].step), GridValue(points[k - 1].step), atOrPast);
        const Reading shown = probe.ReadAt(low);
        const double number = shown.numeric ? shown.number : points[k].number;
        size_t j = points.size() - 1;
        while (j > 0 && Past(points[j].number, number, false)) {
            --j;
        }
        auto notPast = [&](const Reading& r) { return r.numeric && !Past(r.number, number, false); };
        high = j + 1 == points.size()
                   ? GridValue(points[j].step)
                   : Edge(GridValue(points[j].step), GridValue(points[j + 1].step), notPast);
        return number;
    }

    // The number shown just before the first value that reaches target, which the first grid
    // number does not reach.
    double LastBefore(double target) {
        size_t j = 0;
        while (j + 1 < points.size() && !Past(points[j + 1].number, target, true)) {
            ++j;
        }
        if (j + 1 == points.size()) {
            return points[j].number;
        }
        auto before = [&](const Reading& r) { return r.numeric && !Past(r.number, target, true); };
        const Reading shown =
            probe.ReadAt(Edge(GridValue(points[j].step), GridValue(points[j + 1].step), before));
        return shown.numeric ? shown.number : points[j].number;
    }

    Probe& probe;
    const std::vector<Point>& points;
    double direction = 1.0;
};

bool Monotonic(const std::vector<Point>& points) {
    bool rising = true;
    bool falling = true;
    for (size_t i = 1; i < points.size(); ++i) {
        rising = rising && points[i].number >= points[i - 1].number;
        falling = falling && points[i].number <= points[i - 1].number;
    }
    return rising || falling;
}

std::vector<std::string> DistinctTexts(const std::vector<Shown>& grid) {
    std::vector<std::string> texts;
    for (const Shown& shown : grid) {
        const std::string text = shown.Text();
        if (std::find(texts.begin(), texts.end(), text) == texts.end()) {
            texts.push_back(text);
        }
    }
    return texts;
}

Status BadValue(Plugin& plugin, VstInt32 index, const std::string& text, const std::vector<Shown>& grid) {
    const std::vector<std::string> texts = DistinctTexts(grid);
    std::string shows;
    if (texts.size() <= kMostSteps) {
        for (const std::string& t : texts) {
            shows += (shows.empty() ? "" : ", ") + t;
        }
    } else {
        shows = grid.front().Text() + " to " + grid.back().Text();
    }
    const std::string name = plugin.ParameterName(index);
    return Status::Error("bad value " + Quoted(Trimmed(text)) + " for the parameter " + Quoted(name) +
                         ": it shows " + shows + " (give a text it shows, a number in its unit, or " +
                         "--set-normalized \"" + name + "=X\" with X from 0 to 1)");
}

} // namespace

bool ParseNumberWithUnit(const std::string& text, double& number, std::string& unit) {
    const std::string t = Trimmed(text);
    size_t end = 0;
    if (end < t.size() && (t[end] == '+' || t[end] == '-')) {
        ++end;
    }
    size_t digits = 0;
    while (end < t.size() && IsDigit(t[end])) {
        ++end;
        ++digits;
    }
    if (end < t.size() && t[end] == '.') {
        ++end;
        while (end < t.size() && IsDigit(t[end])) {
            ++end;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    // An exponent only when digits follow, so a unit may start with e ("2 eV").
    if (end + 1 < t.size() && (t[end] == 'e' || t[end] == 'E')) {
        size_t e = end + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) {
            ++e;
        }
        if (e < t.size() && IsDigit(t[e])) {
            while (e < t.size() && IsDigit(t[e])) {
                ++e;
            }
            end = e;
        }
    }
    unit = Trimmed(t.substr(end));
    if (std::any_of(unit.begin(), unit.end(), IsDigit)) {
        return false;
    }
    number = std::strtod(t.substr(0, end).c_str(), nullptr);
    return std::isfinite(number);
}

Result<float> FindParameterValue(Plugin& plugin, VstInt32 index, const std::string& text) {
    double number = 0.0;
    std::string unit;
    const bool numeric = ParseNumberWithUnit(text, number, unit);
    Probe probe(plugin, index, unit);
    std::vector<Shown> grid;
    for (int i = 0; i <= kGridSteps; ++i) {
        grid.push_back(probe.At(GridValue(i)));
    }
    const double found = FindOnGrid(grid, text);
    if (found >= 0.0) {
        return static_cast<float>(found);
    }
    std::vector<Point> points;
    for (int i = 0; numeric && i <= kGridSteps; ++i) {
        const Reading reading = probe.Read(grid[static_cast<size_t>(i)]);
        if (reading.numeric) {
            points.push_back(Point{i, reading.number});
        }
    }
    if (points.empty()) {
        return BadValue(plugin, index, text, grid);
    }
    if (DistinctTexts(grid).size() > kMostSteps && Monotonic(points)) {
        MonotonicSearch search(probe, points);
        if (number < search.Lowest() || number > search.Highest()) {
            return BadValue(plugin, index, text, grid);
        }
        return static_cast<float>(search.Find(number));
    }
    // Stepped, or numbers that do not follow the value: a step must show the number itself.
    for (const Point& point : points) {
        if (point.number == number) {
            return static_cast<float>(FindOnGrid(grid, grid[static_cast<size_t>(point.step)].Text()));
        }
    }
    return BadValue(plugin, index, text, grid);
}

} // namespace ksphost
