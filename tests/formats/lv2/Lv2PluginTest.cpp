// The LV2 bundle as hosts see it: lilv's reading of the Turtle against the plug-in's own tables,
// the state through save and restore against the VST 2.4 program chunk, and every factory preset
// rendered by lv2apply against the VST 2.4 plug-in's program.
#include "core/PluginFactory.h"
#include "effect/dsp/PhaserParameter.h"
#include "formats/lv2/Lv2Ports.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kBlock = 64;

std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char piece[4096];
        for (size_t n; (n = std::fread(piece, 1, sizeof piece, pipe)) > 0;) {
            text.append(piece, n);
        }
        pclose(pipe);
    }
    return text;
}

// The host's side of one plug-in instance through lilv: its URID map, ports and state calls.
struct Host {
    Host() {
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, KSP_LV2_BUNDLE "/");
        LilvNode* uri = lilv_new_uri(world, kLv2PluginUri);
        lilv_world_load_bundle(world, bundle);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        const LV2_Feature* features[] = {&mapFeature, nullptr};
        instance = plugin != nullptr ? lilv_plugin_instantiate(plugin, 44100.0, features) : nullptr;
        lilv_node_free(uri);
        lilv_node_free(bundle);
        if (instance == nullptr) {
            return;
        }
        for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
            lilv_instance_connect_port(instance, i, &controls[i]);
        }
        for (int c = 0; c < 2; ++c) {
            lilv_instance_connect_port(instance, kLv2AudioInPorts[c], audio[c]);
            lilv_instance_connect_port(instance, kLv2AudioOutPorts[c], audio[2 + c]);
        }
        state = static_cast<const LV2_State_Interface*>(
            lilv_instance_get_extension_data(instance, LV2_STATE__interface));
        lilv_instance_activate(instance);
    }
    ~Host() {
        if (instance != nullptr) {
            lilv_instance_deactivate(instance);
            lilv_instance_free(instance);
        }
        lilv_world_free(world);
    }

    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
        auto& uris = static_cast<Host*>(handle)->uris;
        for (size_t i = 0; i < uris.size(); ++i) {
            if (uris[i] == uri) {
                return static_cast<LV2_URID>(i + 1);
            }
        }
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    LV2_URID Id(const char* uri) { return Map(this, uri); }

    void Run() { lilv_instance_run(instance, kBlock); }
    Bytes Save() {
        stored.clear();
        auto store = [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                        uint32_t) {
            auto* self = static_cast<Host*>(handle);
            const bool ours = key == self->Id(kLv2StateKeyUri) && type == self->Id(LV2_ATOM__Chunk);
            self->stored.assign(static_cast<const uint8_t*>(value),
                                static_cast<const uint8_t*>(value) + size);
            return ours ? LV2_STATE_SUCCESS : LV2_STATE_ERR_BAD_TYPE;
        };
        return state->save(lilv_instance_get_handle(instance), store, this, LV2_STATE_IS_POD, nullptr) ==
                       LV2_STATE_SUCCESS
                   ? stored
                   : Bytes();
    }
    // Restores bytes of type under the state's key; none at all without bytes.
    LV2_State_Status Restore(const Bytes* bytes, const char* type) {
        restoring = bytes;
        restoringType = Id(type);
        auto retrieve = [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                           uint32_t* flags) -> const void* {
            auto* self = static_cast<Host*>(handle);
            if (self->restoring == nullptr || key != self->Id(kLv2StateKeyUri)) {
                return nullptr;
            }
            *size = self->restoring->size();
            *type = self->restoringType;
            *flags = LV2_STATE_IS_POD;
            return self->restoring->data();
        };
        return state->restore(lilv_instance_get_handle(instance), retrieve, this, 0, nullptr);
    }

    LilvWorld* world = lilv_world_new();
    std::vector<std::string> uris;
    LV2_URID_Map map = {this, Map};
    LV2_Feature mapFeature = {LV2_URID__map, &map};
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    const LV2_State_Interface* state = nullptr;
    float controls[kLv2ParameterPortCount] = {};
    float audio[4][kBlock] = {};
    Bytes stored;
    const Bytes* restoring = nullptr;
    LV2_URID restoringType = 0;
};

// Every parameter's port value in single precision.
std::vector<float> PortValues(IPluginBase& plugin) {
    std::vector<float> values;
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        const IParameter& parameter = *plugin.ParameterAt(static_cast<int>(i));
        values.push_back(static_cast<float>(Lv2PortValue(parameter, parameter.Value())));
    }
    return values;
}

Bytes HostState(IPluginBase& plugin) {
    IByteBuffer bytes;
    return plugin.SaveHostState(bytes) ? Bytes(bytes.Data(), bytes.Data() + bytes.Size()) : Bytes();
}

TEST(Lv2Bundle, LilvListsThePluginsParametersProgramsAndPanel) {
    const std::string info = Output("LV2_PATH=" KSP_LV2_BUNDLE "/.. lv2info urn:kestrunelle:phaser 2>&1");
    std::unique_ptr<IPluginBase> plugin = CreatePlugin();
    LockGuard guard(plugin->Lock());
    std::vector<std::string> expected = {
        "Name:              Kestrunelle Phaser\n",
        "Author:            Kestrunelle Dadid\n",
        "Extension Data:    http://lv2plug.in/ns/ext/state#interface\n",
        "urn:kestrunelle:phaser#ui\n\t\t\tClass:  http://lv2plug.in/ns/extensions/ui#X11UI\n",
        "Symbol:      in_l\n",
        "Symbol:      out_r\n",
        "Symbol:      control\n\t\tName:        Transport\n"};
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        const IParameter& parameter = *plugin->ParameterAt(static_cast<int>(i));
        char range[256];
        std::snprintf(range, sizeof range, "Minimum:     %f\n\t\tMaximum:     %f\n\t\tDefault:     %f\n",
                      Lv2PortValue(parameter, parameter.Min()), Lv2PortValue(parameter, parameter.Max()),
                      Lv2PortValue(parameter, parameter.DefaultValue()));
        expected.push_back(std::string("Symbol:      ") + kLv2ParameterSymbols[i] +
                           "\n\t\tName:        " + parameter.Name() + "\n\t\t" + range);
        for (int step = 0; step <= parameter.StepCount() && parameter.StepCount() > 0; ++step) {
            char text[kParameterTextCapacity];
            parameter.FormatDisplay(step, false, text, true);
            expected.push_back(std::to_string(step) + " = \"" + text + "\"\n");
        }
    }
    for (int p = 0; p < plugin->PresetCount(); ++p) {
        expected.push_back(std::string("\t         ") + plugin->PresetName(p) + "\n");
    }
    for (const std::string& text : expected) {
        EXPECT_NE(info.find(text), std::string::npos) << text;
    }
}

TEST(Lv2State, IsTheVst2ProgramChunkAndPortsHoldingItsValuesLeaveItAsRestored) {
    Host host;
    ASSERT_TRUE(host.instance != nullptr && host.state != nullptr);
    std::unique_ptr<IPluginBase> core = CreatePlugin();
    LockGuard guard(core->Lock());
    core->LoadPreset(8);
    void* chunk = nullptr;
    const int32_t size = core->GetChunk(&chunk, false);
    const Bytes program(static_cast<uint8_t*>(chunk), static_cast<uint8_t*>(chunk) + size);
    ASSERT_GT(size, 0);

    host.Run();
    ASSERT_EQ(host.Restore(&program, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    const std::vector<float> ports = PortValues(*core);
    std::copy(ports.begin(), ports.end(), host.controls);
    host.Run();
    EXPECT_EQ(host.Save(), program);
    const Bytes saved = host.Save();
    ASSERT_EQ(host.Restore(&saved, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    host.Run();
    EXPECT_EQ(host.Save(), saved);

    // A port that moves after the restore wins, as the core takes the value from a host.
    host.controls[Mix] = 0.25f;
    host.Run();
    core->SetPlainParameterFromHost(Mix, 0.25);
    const Bytes moved = host.Save();
    EXPECT_EQ(moved, HostState(*core));

    // What it cannot read it refuses, and nothing changes.
    const Bytes garbage(64, 0x5A);
    EXPECT_EQ(host.Restore(&garbage, LV2_ATOM__Chunk), LV2_STATE_ERR_UNKNOWN);
    EXPECT_EQ(host.Restore(&program, LV2_ATOM__String), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(host.Restore(nullptr, LV2_ATOM__Chunk), LV2_STATE_ERR_NO_PROPERTY);
    host.Run();
    EXPECT_EQ(host.Save(), moved);
}

#ifdef KSP_HOST_PROGRAM
// The power of a's difference from b against b's, in dB.
double DifferenceDecibels(const std::vector<float>& a, const std::vector<float>& b) {
    double difference = 0.0, signal = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double d = (i < a.size() ? a[i] : 0.0) - b[i];
        difference += d * d;
        signal += static_cast<double>(b[i]) * b[i];
    }
    return a.size() != b.size() || signal == 0.0 ? 0.0 : 10.0 * std::log10(difference / signal + 1e-30);
}

std::vector<float> ReadWav(const std::string& path) {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> samples(file != nullptr ? info.frames * info.channels : 0);
    if (file != nullptr) {
        sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
    }
    return samples;
}

// A quarter of a second: LFOSpeed's port holds the program's 64-bit value in 32 bits, and the
// LFO drifts apart with time (Aliens' 8 Hz sweep: -105 dB after 0.25 s, -89 dB after 1.5 s). Given
// the same 32-bit value, the VST 2.4 plug-in renders the same samples.
constexpr int kNoiseFrames = 11025;

TEST(Lv2Render, EveryPresetThroughLv2applyComesWithin100DecibelsOfTheVst2Program) {
    const std::string dir = KSP_TEST_DIR, noise = dir + "/noise.wav";
    SF_INFO format = {};
    format.samplerate = 44100;
    format.channels = 2;
    format.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    std::vector<float> samples(2 * kNoiseFrames);
    uint32_t seed = 12345;
    for (float& sample : samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    }
    SNDFILE* file = sf_open(noise.c_str(), SFM_WRITE, &format);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, samples.data(), kNoiseFrames);
    sf_close(file);

    Host host;
    std::unique_ptr<IPluginBase> core = CreatePlugin();
    LilvNode* presetClass = lilv_new_uri(host.world, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(host.world, LILV_NS_RDFS "label");
    LilvNodes* presets = lilv_plugin_get_related(host.plugin, presetClass);
    int rendered = 0;
    LILV_FOREACH(nodes, i, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(host.world, preset);
        LilvNode* name = lilv_world_get(host.world, preset, label, nullptr);
        int index = 0;
        while (index < core->PresetCount() &&
               lilv_node_as_string(name) != std::string(core->PresetName(index))) {
            ++index;
        }
        lilv_node_free(name);
        std::string controls;
        float lfoSpeed = 0.0f;
        LilvState* state = lilv_state_new_from_world(host.world, &host.map, preset);
        auto add = [](const char* symbol, void* out, const void* value, uint32_t, uint32_t) {
            char text[64];
            std::snprintf(text, sizeof text, " -c %s %.9g", symbol, *static_cast<const float*>(value));
            *static_cast<std::string*>(out) += text;
        };
        lilv_state_emit_port_values(state, add, &controls);
        lilv_state_free(state);
        std::sscanf(controls.c_str() + controls.find("lfo_speed") + 9, "%f", &lfoSpeed);
        const std::string lv2 = dir + "/lv2.wav", vst2 = dir + "/vst2.wav", same = dir + "/same.wav";
        const std::string render = KSP_HOST_PROGRAM " render " KSP_PHASER_PLUGIN " " + noise + " ";
        const std::string program = " --program " + std::to_string(index);
        ASSERT_EQ(std::system(("LV2_PATH=" KSP_LV2_BUNDLE "/.. lv2apply -i " + noise + " -o " + lv2 +
                               controls + " " + kLv2PluginUri)
                                  .c_str()),
                  0);
        ASSERT_EQ(std::system((render + vst2 + program + " >/dev/null").c_str()), 0);
        // LFOSpeed's normalised value is its plain value: the VST 2.4 plug-in gets the same float.
        char speed[64];
        std::snprintf(speed, sizeof speed, " --set-normalized LFOSpeed=%.9g", lfoSpeed);
        ASSERT_EQ(std::system((render + same + program + speed + " >/dev/null").c_str()), 0);
        const std::vector<float> output = ReadWav(lv2);
        EXPECT_LT(DifferenceDecibels(output, ReadWav(vst2)), -100.0) << core->PresetName(index);
        EXPECT_TRUE(!output.empty() && output == ReadWav(same)) << core->PresetName(index);
        ++rendered;
    }
    lilv_nodes_free(presets);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    EXPECT_EQ(rendered, core->PresetCount());
}
#endif

} // namespace
