// A small VST 2.4 plug-in for testing the command-line host: stereo (or mono) gain with a
// channel swap, three programs with chunk support, and a probe mode that writes what the host
// reports into the audio output.
//
// Parameters: 0 "Gain" (gain = 2 x, shown "%.2f" with the label "x"), 1 "Swap" ("off"/"on"),
// 2 "Probe" ("off"/"on"). In probe mode output 0 carries the host's sample position of each
// block and output 1 (or output 0 after it, for mono) a record of host answers, see Probe().
//
// Built variants (compile definitions):
//   TEST_PLUGIN_MONO         one input, one output
//   TEST_PLUGIN_MAIN_ONLY    exports only the old entry point main (from TestPluginMain.c)
//   TEST_PLUGIN_REFUSE       the entry point creates no instance
//   TEST_PLUGIN_PARAMS       keeps no chunk: presets are lists of parameter values
//   TEST_PLUGIN_LATENCY      delays its output by kDelay frames and reports that as its initial
//                            delay; reports no programs and the version 0x00010203 (built
//                            with TEST_PLUGIN_PARAMS)

#include "formats/vst2/VstInterface.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#ifdef _WIN32
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

#ifdef TEST_PLUGIN_MONO
constexpr int kChannels = 1;
#else
constexpr int kChannels = 2;
#endif
constexpr int kParams = 3;
constexpr int kPrograms = 3;
#ifdef TEST_PLUGIN_LATENCY
constexpr int kDelay = 100;
constexpr int kReportedPrograms = 0;
constexpr VstInt32 kVersion = 0x00010203;
#else
constexpr int kDelay = 0;
constexpr int kReportedPrograms = kPrograms;
constexpr VstInt32 kVersion = 1234;
#endif
#ifdef TEST_PLUGIN_PARAMS
constexpr VstInt32 kChunkFlag = 0;
#else
constexpr VstInt32 kChunkFlag = effFlagsProgramChunks;
#endif
constexpr VstInt32 kProgramMagic = FourCharCode('T', 'P', 'r', 'g');
constexpr VstInt32 kBankMagic = FourCharCode('T', 'B', 'n', 'k');

struct Program {
    char name[32];
    float values[kParams];
};

// What the plug-in remembers of the host's calls, for the probe.
struct Seen {
    bool opened = false;
    bool resumed = false;
    float sampleRate = 0.0f;
    VstIntPtr blockSize = 0;
};

class TestPlugin {
public:
    explicit TestPlugin(audioMasterCallback h) : host(h) {
        effect.magic = kEffectMagic;
        effect.dispatcher = &DispatchThunk;
        effect.process = &ProcessAccumulating;
        effect.setParameter = &SetParameterThunk;
        effect.getParameter = &GetParameterThunk;
        effect.numPrograms = kReportedPrograms;
        effect.numParams = kParams;
        effect.numInputs = kChannels;
        effect.numOutputs = kChannels;
        effect.flags = effFlagsCanReplacing | kChunkFlag | effFlagsCanDoubleReplacing;
        effect.initialDelay = kDelay;
        effect.ioRatio = 1.0f;
        effect.object = this;
        effect.uniqueID = FourCharCode('K', 'T', 's', 't');
        effect.version = kVersion;
        effect.processReplacing = &ProcessReplacing;
        effect.processDoubleReplacing = &ProcessDouble;
        const Program factory[kPrograms] = {{"Unity", {0.5f, 0.0f, 0.0f}},
                                            {"Swapped", {0.5f, 1.0f, 0.0f}},
                                            {"Half Gain", {0.25f, 0.0f, 0.0f}}};
        std::memcpy(programs, factory, sizeof programs);
        std::memcpy(values, programs[0].values, sizeof values);
        for (auto& line : delayLine) {
            line.assign(kDelay > 0 ? kDelay : 1, 0.0);
        }
    }

    AEffect effect{};

private:
    static TestPlugin* Self(AEffect* e) { return static_cast<TestPlugin*>(e->object); }

    static VstIntPtr VSTCALLBACK DispatchThunk(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt) {
        TestPlugin* self = Self(e);
        if (opcode == effClose) {
            delete self;
            return 0;
        }
        return self->Dispatch(opcode, index, value, ptr, opt);
    }
    static void VSTCALLBACK SetParameterThunk(AEffect* e, VstInt32 index, float value) {
        if (index >= 0 && index < kParams) {
            // Stepped parameters round like a switch; the current program keeps the change.
            TestPlugin* self = Self(e);
            self->values[index] = index == 0 ? value : (value >= 0.5f ? 1.0f : 0.0f);
            self->programs[self->current].values[index] = self->values[index];
        }
    }
    static float VSTCALLBACK GetParameterThunk(AEffect* e, VstInt32 index) {
        return index >= 0 && index < kParams ? Self(e)->values[index] : 0.0f;
    }
    static void VSTCALLBACK ProcessReplacing(AEffect* e, float** in, float** out, VstInt32 frames) {
        Self(e)->Process(in, out, frames, false);
    }
    static void VSTCALLBACK ProcessAccumulating(AEffect* e, float** in, float** out, VstInt32 frames) {
        Self(e)->Process(in, out, frames, true);
    }
    static void VSTCALLBACK ProcessDouble(AEffect* e, double** in, double** out, VstInt32 frames) {
        Self(e)->Process(in, out, frames, false);
    }

    VstIntPtr Host(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return host(&effect, opcode, index, value, ptr, 0.0f);
    }

    // Gain and swap computed in double precision, so both precisions give the same floats.
    template <typename Sample>
    void Process(Sample** in, Sample** out, VstInt32 frames, bool accumulate) {
        if (values[2] >= 0.5f) {
            Probe(out, frames);
            return;
        }
        const double gain = 2.0 * static_cast<double>(values[0]);
        const bool swap = values[1] >= 0.5f;
        for (int c = 0; c < kChannels; ++c) {
            const Sample* source = in[swap ? kChannels - 1 - c : c];
            for (VstInt32 i = 0; i < frames; ++i) {
                const Sample result = static_cast<Sample>(Delayed(c, static_cast<double>(source[i])) * gain);
                out[c][i] = accumulate ? out[c][i] + result : result;
            }
        }
    }

    // The sample kDelay frames before x on channel c.
    double Delayed(int c, double x) {
        if (kDelay == 0) {
            return x;
        }
        size_t& at = delayAt[c];
        const double y = delayLine[c][at];
        delayLine[c][at] = x;
        at = (at + 1) % delayLine[c].size();
        return y;
    }

    // Output 0: the host's sample position at the start of the block, in every frame.
    // The last output, from frame 0 on: tempo, ppq position, time flags, time signature
    // numerator and denominator, process level, host VST version, host sample rate, host block
    // size, effSetSampleRate's rate, effSetBlockSize's size, frames in this call, 1 if resumed
    // and opened, 1 if the host's product is "ksphaser-host"; zeros after that. For mono the
    // record follows the position in frame 0 onwards of the same output, so only frame 0 of a
    // mono block holds the position.
    template <typename Sample>
    void Probe(Sample** out, VstInt32 frames) {
        const VstTimeInfo* time = reinterpret_cast<const VstTimeInfo*>(Host(audioMasterGetTime, 0, 0x3E00));
        char product[256] = {};
        Host(audioMasterGetProductString, 0, 0, product);
        const double record[] = {time != nullptr ? time->tempo : -1.0,
                                 time != nullptr ? time->ppqPos : -1.0,
                                 time != nullptr ? static_cast<double>(time->flags) : -1.0,
                                 time != nullptr ? static_cast<double>(time->timeSigNumerator) : -1.0,
                                 time != nullptr ? static_cast<double>(time->timeSigDenominator) : -1.0,
                                 static_cast<double>(Host(audioMasterGetCurrentProcessLevel)),
                                 static_cast<double>(Host(audioMasterVersion)),
                                 static_cast<double>(Host(audioMasterGetSampleRate)),
                                 static_cast<double>(Host(audioMasterGetBlockSize)),
                                 static_cast<double>(seen.sampleRate),
                                 static_cast<double>(seen.blockSize),
                                 static_cast<double>(frames),
                                 seen.resumed && seen.opened ? 1.0 : 0.0,
                                 std::strcmp(product, "ksphaser-host") == 0 ? 1.0 : 0.0};
        const int recordCount = static_cast<int>(sizeof record / sizeof record[0]);
        Sample* position = out[0];
        Sample* answers = out[kChannels - 1];
        const int first = kChannels == 1 ? 1 : 0;
        for (VstInt32 i = 0; i < frames; ++i) {
            position[i] = static_cast<Sample>(time != nullptr ? time->samplePos : -1.0);
        }
        for (VstInt32 i = first; i < frames; ++i) {
            const int k = i - first;
            answers[i] = static_cast<Sample>(k < recordCount ? record[k] : 0.0);
        }
    }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        switch (opcode) {
        case effOpen:
            seen.opened = true;
            return 0;
        case effSetSampleRate:
            seen.sampleRate = opt;
            return 0;
        case effSetBlockSize:
            seen.blockSize = value;
            return 0;
        case effMainsChanged:
            seen.resumed = value != 0;
            return 0;
        case effSetProgram:
            if (value >= 0 && value < kPrograms) {
                current = static_cast<int>(value);
                std::memcpy(values, programs[current].values, sizeof values);
            }
            return 0;
        case effGetProgram:
            return current;
        case effGetProgramName:
            std::snprintf(static_cast<char*>(ptr), kVstMaxProgNameLen, "%s", programs[current].name);
            return 0;
        case effSetProgramName:
            std::snprintf(programs[current].name, sizeof programs[current].name, "%s",
                          static_cast<char*>(ptr));
            return 0;
        case effGetProgramNameIndexed:
            if (index < 0 || index >= kPrograms) {
                return 0;
            }
            std::snprintf(static_cast<char*>(ptr), kVstMaxProgNameLen, "%s", programs[index].name);
            return 1;
        case effGetParamName:
        case effGetParamLabel:
        case effGetParamDisplay:
            return ParameterText(opcode, index, static_cast<char*>(ptr));
        case effString2Parameter:
            return ParseParameter(index, static_cast<const char*>(ptr));
        case effGetChunk:
            return GetChunk(index == 0, static_cast<void**>(ptr));
        case effSetChunk:
            return SetChunk(index == 0, static_cast<const uint8_t*>(ptr), value);
        case effGetInputProperties:
        case effGetOutputProperties:
            return PinProperties(opcode == effGetInputProperties, index, static_cast<VstPinProperties*>(ptr));
        case effGetPlugCategory:
            return kPlugCategEffect;
        case effGetEffectName:
            std::snprintf(static_cast<char*>(ptr), kVstMaxEffectNameLen, "Gain Swap");
            return 1;
        case effGetVendorString:
            std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "KSPhaser tests");
            return 1;
        case effGetProductString:
            std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "Host test plug-in");
            return 1;
        case effGetVendorVersion:
            return 1234;
        case effCanDo:
            return std::strcmp(static_cast<const char*>(ptr), "receiveVstTimeInfo") == 0 ? 1
                   : std::strcmp(static_cast<const char*>(ptr), "bypass") == 0           ? -1
                                                                                         : 0;
        case effGetVstVersion:
            return 2400;
        default:
            return 0;
        }
    }

    VstIntPtr ParameterText(VstInt32 opcode, VstInt32 index, char* text) {
        static const char* const names[kParams] = {"Gain", "Swap", "Probe"};
        if (index < 0 || index >= kParams) {
            return 0;
        }
        if (opcode == effGetParamName) {
            std::snprintf(text, kVstMaxParamStrLen, "%s", names[index]);
        } else if (opcode == effGetParamLabel) {
            std::snprintf(text, kVstMaxParamStrLen, "%s", index == 0 ? "x" : "");
        } else if (index == 0) {
            std::snprintf(text, kVstMaxParamStrLen, "%.2f", 2.0 * static_cast<double>(values[0]));
        } else {
            std::snprintf(text, kVstMaxParamStrLen, "%s", values[index] >= 0.5f ? "on" : "off");
        }
        return 0;
    }

    // Gain takes a plain factor from 0 to 2, the switches "on" and "off".
    VstIntPtr ParseParameter(VstInt32 index, const char* text) {
        if (index < 0 || index >= kParams) {
            return 0;
        }
        if (text == nullptr) {
            return 1;
        }
        if (index == 0) {
            char* end = nullptr;
            const double factor = std::strtod(text, &end);
            if (end == text || *end != '\0' || !(factor >= 0.0 && factor <= 2.0)) {
                return 0;
            }
            values[0] = static_cast<float>(factor / 2.0);
            return 1;
        }
        if (std::strcmp(text, "on") != 0 && std::strcmp(text, "off") != 0) {
            return 0;
        }
        values[index] = std::strcmp(text, "on") == 0 ? 1.0f : 0.0f;
        return 1;
    }

    VstIntPtr PinProperties(bool input, VstInt32 index, VstPinProperties* pin) {
        if (pin == nullptr || index < 0 || index >= kChannels) {
            return 0;
        }
        std::snprintf(pin->label, sizeof pin->label, "%s %s", index == 0 ? "Left" : "Right",
                      input ? "in" : "out");
        std::snprintf(pin->shortLabel, sizeof pin->shortLabel, "%s", index == 0 ? "L" : "R");
        pin->flags = kVstPinIsActive | (kChannels == 2 && index == 0 ? kVstPinIsStereo : 0);
        return 1;
    }

    // Program chunk: magic, the three values, the current program's name (32 bytes).
    // Bank chunk: magic, the current program, then every program's name and values.
    VstIntPtr GetChunk(bool bank, void** data) {
        chunk.clear();
        if (bank) {
            Put(&kBankMagic, 4);
            Put(&current, 4);
            Put(programs, sizeof programs);
        } else {
            Put(&kProgramMagic, 4);
            Put(values, sizeof values);
            Put(programs[current].name, sizeof programs[current].name);
        }
        *data = chunk.data();
        return static_cast<VstIntPtr>(chunk.size());
    }

    VstIntPtr SetChunk(bool bank, const uint8_t* data, VstIntPtr size) {
        VstInt32 magic = 0;
        if (data == nullptr || size < 4) {
            return 0;
        }
        std::memcpy(&magic, data, 4);
        if (bank) {
            int chosen = 0;
            if (magic != kBankMagic || size != static_cast<VstIntPtr>(8 + sizeof programs)) {
                return 0;
            }
            std::memcpy(&chosen, data + 4, 4);
            if (chosen < 0 || chosen >= kPrograms) {
                return 0;
            }
            std::memcpy(programs, data + 8, sizeof programs);
            current = chosen;
            std::memcpy(values, programs[current].values, sizeof values);
            return 1;
        }
        if (magic != kProgramMagic || size != static_cast<VstIntPtr>(4 + sizeof values + 32)) {
            return 0;
        }
        std::memcpy(values, data + 4, sizeof values);
        std::memcpy(programs[current].name, data + 4 + sizeof values, 32);
        programs[current].name[31] = '\0';
        return 1;
    }

    void Put(const void* bytes, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(bytes);
        chunk.insert(chunk.end(), b, b + n);
    }

    audioMasterCallback host;
    float values[kParams] = {};
    Program programs[kPrograms];
    int current = 0;
    Seen seen;
    std::vector<uint8_t> chunk;
    std::vector<double> delayLine[kChannels] = {};
    size_t delayAt[kChannels] = {};
};

} // namespace

TEST_EXPORT AEffect* TestPluginCreate(audioMasterCallback host) {
#ifdef TEST_PLUGIN_REFUSE
    (void)host;
    return nullptr;
#else
    TestPlugin* plugin = new (std::nothrow) TestPlugin(host);
    return plugin != nullptr ? &plugin->effect : nullptr;
#endif
}

#ifndef TEST_PLUGIN_MAIN_ONLY
TEST_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    return TestPluginCreate(host);
}
#endif
