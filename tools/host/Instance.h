#pragma once

#include "tools/host/Status.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ksphost {

struct RenderSettings;

// How the host introduces itself to a plug-in of any format.
inline constexpr char kHostName[] = "ksphaser-host";
inline constexpr char kHostVendor[] = "KSPhaser";

// One opened plug-in, whatever its format, as the host's commands drive it. Parameters and
// programs are numbered from 0 as the user names them; normalised values run from 0 to 1.
class PluginInstance {
public:
    virtual ~PluginInstance() = default;

    // Tells the plug-in the sample rate and the longest block before anything else.
    virtual void Prepare(int sampleRate, int blockSize) = 0;

    // The parameters a user sets.
    virtual int ParameterCount() = 0;
    virtual std::string ParameterName(int index) = 0;
    // The current value as the plug-in shows it, with its label.
    virtual std::string ParameterText(int index) = 0;
    virtual void SetParameter(int index, double normalized) = 0;
    // The normalised value at which the parameter shows text, by the plug-in's own rules; an
    // error that says what it shows otherwise.
    virtual Result<double> ParameterValue(int index, const std::string& text) = 0;

    // Why the plug-in's programs cannot be selected; success when they can (or there are none).
    virtual Status CanSelectPrograms() { return Status(); }
    virtual int ProgramCount() = 0;
    // Empty if the plug-in cannot tell.
    virtual std::string ProgramName(int index) = 0;
    // Fails when the plug-in did not take the program.
    virtual Status SelectProgram(int index) = 0;
    virtual std::string CurrentProgramName() = 0;

    // .fxp and .fxb files, for VST 2.4; other formats refuse them.
    virtual Status LoadPresetFile(const std::string& path);
    virtual Result<std::vector<uint8_t>> MakePresetFile(const std::string& path);

    // What a host sees of the plug-in, as text.
    virtual std::string Describe() = 0;
    // The editor's picture as a PNG file at output.
    virtual Status SnapshotEditor(const std::string& output) = 0;

    // Audio: channels, then StartProcessing, blocks of at most the settings' size at rising
    // positions (frames from the start), StopProcessing.
    virtual int InputCount() = 0;
    virtual int OutputCount() = 0;
    // Fails for what the plug-in cannot do (a sample size, its buses).
    virtual Status StartProcessing(const RenderSettings& settings, int sampleRate) = 0;
    // The delay the plug-in reports once started, in frames.
    virtual int64_t Latency() = 0;
    virtual Status Process(float** inputs, float** outputs, int frames, int64_t position) = 0;
    virtual Status Process(double** inputs, double** outputs, int frames, int64_t position) = 0;
    virtual void StopProcessing() = 0;
};

// Why a render cannot start: the plug-in's audio buses (or ports, as its format calls them) are
// other than one output and at most one input; it does not process the precision asked for; it
// refused the rate and block size.
Status UnusableBuses(const char* kind, int inputs, int outputs);
Status UnusablePrecision(bool doublePrecision);
Status UnusableRate(int sampleRate, int blockSize);

// The values a host set, each parameter once with its latest value in the order first set, and
// whether some of them have not reached the plug-in yet.
template <typename Id>
class SetValues {
public:
    void Set(Id id, double value) {
        undelivered = true;
        for (auto& set : values) {
            if (set.first == id) {
                set.second = value;
                return;
            }
        }
        values.emplace_back(id, value);
    }
    // The value set for id, or none.
    const double* Find(Id id) const {
        for (const auto& set : values) {
            if (set.first == id) {
                return &set.second;
            }
        }
        return nullptr;
    }
    bool Undelivered() const { return undelivered; }
    // Every value, from now on counted as delivered.
    const std::vector<std::pair<Id, double>>& Deliver() {
        undelivered = false;
        return values;
    }
    void Clear() {
        values.clear();
        undelivered = false;
    }

private:
    std::vector<std::pair<Id, double>> values;
    bool undelivered = false;
};

// Whether path names a VST 3 module: a *.vst3 bundle (folder) or library, or a library inside a
// bundle's Contents folder.
bool IsVst3Path(const std::string& path);
// Whether path names a CLAP module: a *.clap file.
bool IsClapPath(const std::string& path);
// Loads the plug-in at path: a CLAP or VST 3 module as the two tell, else a VST 2.4 library.
Result<std::unique_ptr<PluginInstance>> OpenInstance(const std::string& path);
// The file that holds the plug-in's code: the library inside a bundle, else path itself.
std::string PluginFile(const std::string& path);

} // namespace ksphost
