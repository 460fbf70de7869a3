// The LV2 bundle as hosts see it: lilv's reading of the Turtle against the plug-in's own tables,
// the state through save and restore against the VST 2.4 program chunk, and every factory preset
// rendered by lv2apply against the VST 2.4 plug-in's program.
#include "core/PluginFactory.h"
#include "effect/dsp/PhaserParameter.h"
#include "formats/lv2/Lv2Ports.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kBlock = 64;

// The host's side of one plug-in instance through lilv: its URID map, ports and state calls.
struct Host {
    Host() {
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, KSP_LV2_BUNDLE "/");
        LilvNode* uri = lilv_new_uri(world, kLv2PluginUri);
        lilv_world_load_bundle(world, bundle);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        const LV2_Feature* features[] = {&mapFeature, nullptr};
        instance = lilv_plugin_instantiate(plugin, 44100.0, features);
        lilv_node_free(uri);
        lilv_node_free(bundle);
        // Ports 0 to 9 are the controls, 10 to 13 the inputs and outputs.
        for (uint32_t i = 0; i < kLv2TransportPort; ++i) {
            lilv_instance_connect_port(
                instance, i, i < kLv2ParameterPortCount ? &controls[i] : audio[i - kLv2ParameterPortCount]);
        }
        state = static_cast<const LV2_State_Interface*>(
            lilv_instance_get_extension_data(instance, LV2_STATE__interface));
        lilv_instance_activate(instance);
    }
    ~Host() {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
        lilv_world_free(world);
    }

    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
        auto& uris = static_cast<Host*>(handle)->uris;
        auto found = std::find(uris.begin(), uris.end(), uri);
        found = found != uris.end() ? found : uris.insert(found, uri);
        return static_cast<LV2_URID>(found - uris.begin() + 1);
    }
    LV2_URID Id(const char* uri) { return Map(this, uri); }

    void Run() { lilv_instance_run(instance, kBlock); }
    // What the plug-in saved under the state's key as a chunk, else none.
    Bytes Save() {
        auto store = [](LV2_State_Handle host, uint32_t key, const void* data, size_t size, uint32_t type,
                        uint32_t) {
            auto* self = static_cast<Host*>(host);
            const auto* bytes = static_cast<const uint8_t*>(data);
            const bool ours = key == self->Id(kLv2StateKeyUri) && type == self->Id(LV2_ATOM__Chunk);
            self->value = ours ? Bytes(bytes, bytes + size) : Bytes();
            return LV2_STATE_SUCCESS;
        };
        value.clear();
        state->save(lilv_instance_get_handle(instance), store, this, LV2_STATE_IS_POD, nullptr);
        return value;
    }
    // Restores bytes of type under the state's key; nothing under it without a type.
    LV2_State_Status Restore(const Bytes& bytes, const char* type) {
        value = bytes;
        valueType = type != nullptr ? Id(type) : 0;
        auto retrieve = [](LV2_State_Handle host, uint32_t key, size_t* size, uint32_t* type,
                           uint32_t* flags) -> const void* {
            auto* self = static_cast<Host*>(host);
            *size = self->value.size();
            *type = self->valueType;
            *flags = LV2_STATE_IS_POD;
            return key == self->Id(kLv2StateKeyUri) && *type != 0 ? self->value.data() : nullptr;
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
    Bytes value;
    LV2_URID valueType = 0;
};

TEST(Lv2Bundle, LilvListsThePluginsParametersProgramsAndPanel) {
    ASSERT_EQ(std::system("LV2_PATH=" KSP_LV2_BUNDLE "/.. lv2info urn:kestrunelle:phaser > " KSP_TEST_DIR
                          "/info.txt"),
              0);
    std::ifstream file(KSP_TEST_DIR "/info.txt");
    const std::string info((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::unique_ptr<IPluginBase> plugin = CreatePlugin();
    LockGuard guard(plugin->Lock());
    std::vector<std::string> expected = {
        "Name:              Kestrunelle Phaser\n", "Author:            Kestrunelle Dadid\n",
        "urn:kestrunelle:phaser#ui\n\t\t\tClass:  http://lv2plug.in/ns/extensions/ui#X11UI\n"};
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        const IParameter& parameter = *plugin->ParameterAt(static_cast<int>(i));
        char port[256];
        std::snprintf(port, sizeof port,
                      "Symbol:      %s\n\t\tName:        %s\n\t\tMinimum:     %f\n\t\tMaximum:     "
                      "%f\n\t\tDefault:     %f\n",
                      kLv2ParameterSymbols[i], parameter.Name(), parameter.UnitValue(parameter.Min()),
                      parameter.UnitValue(parameter.Max()), parameter.UnitValue(parameter.DefaultValue()));
        expected.emplace_back(port);
        for (int step = 0; step <= parameter.StepCount() && parameter.StepCount() > 0; ++step) {
            parameter.FormatDisplay(step, false, port, true);
            expected.push_back(std::to_string(step) + " = \"" + port + "\"\n");
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

    host.Run();
    ASSERT_EQ(host.Restore(program, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    for (uint32_t i = 0; i < kLv2ParameterPortCount; ++i) {
        const IParameter& parameter = *core->ParameterAt(static_cast<int>(i));
        host.controls[i] = static_cast<float>(parameter.UnitValue(parameter.Value()));
    }
    host.Run();
    const Bytes saved = host.Save();
    EXPECT_EQ(saved, program);
    ASSERT_EQ(host.Restore(saved, LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
    host.Run();
    EXPECT_EQ(host.Save(), saved);

    // A port that moves after the restore wins, as the core takes the value from a host.
    host.controls[Mix] = 0.25f;
    host.Run();
    core->SetPlainParameterFromHost(Mix, 0.25);
    IByteBuffer moved;
    ASSERT_TRUE(core->SaveHostState(moved));
    EXPECT_EQ(host.Save(), Bytes(moved.Data(), moved.Data() + moved.Size()));

    // What it cannot read it refuses, and nothing changes.
    EXPECT_EQ(host.Restore(Bytes(64, 0x5A), LV2_ATOM__Chunk), LV2_STATE_ERR_UNKNOWN);
    EXPECT_EQ(host.Restore(program, LV2_ATOM__String), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(host.Restore(program, nullptr), LV2_STATE_ERR_NO_PROPERTY);
    host.Run();
    EXPECT_EQ(host.Save(), Bytes(moved.Data(), moved.Data() + moved.Size()));
}

#ifdef KSP_HOST_PROGRAM
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

// Seconds of white noise, the same every time, in a file of the test's own.
std::string Noise(const std::string& name, const char* seconds) {
    const std::string path = std::string(KSP_TEST_DIR "/") + name;
    const std::string sox = "sox -R -n -r 44100 -c 2 -e floating-point -b 32 " + path + " synth " + seconds;
    return std::system((sox + " whitenoise").c_str()) == 0 ? path : "";
}

// The power of a's difference from b against b's, in dB.
double DifferenceDecibels(const std::vector<float>& a, const std::vector<float>& b) {
    double difference = 0.0, signal = 0.0;
    for (size_t i = 0; i < a.size() && a.size() == b.size(); ++i) {
        difference += (static_cast<double>(a[i]) - b[i]) * (static_cast<double>(a[i]) - b[i]);
        signal += static_cast<double>(b[i]) * b[i];
    }
    return signal > 0.0 ? 10.0 * std::log10(difference / signal + 1e-30) : 0.0;
}

// A quarter of a second: LFOSpeed's port holds the program's 64-bit value in 32 bits, and the
// LFO drifts apart with time (Aliens' 8 Hz sweep: -105 dB after 0.25 s, -89 dB after 1.5 s).
TEST(Lv2Render, EveryPresetThroughLv2applyComesWithin100DecibelsOfTheVst2Program) {
    const std::string dir = KSP_TEST_DIR, noise = Noise("noise.wav", "0.25");
    Host host;
    LilvNode* presetClass = lilv_new_uri(host.world, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(host.plugin, presetClass);
    EXPECT_EQ(lilv_nodes_size(presets), 10u);
    LILV_FOREACH(nodes, i, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        const std::string uri = lilv_node_as_uri(preset);
        const std::string program = " --program " + uri.substr(uri.rfind('-') + 1);
        lilv_world_load_resource(host.world, preset);
        std::string controls;
        LilvState* state = lilv_state_new_from_world(host.world, &host.map, preset);
        auto add = [](const char* symbol, void* out, const void* value, uint32_t, uint32_t) {
            char text[64];
            std::snprintf(text, sizeof text, " -c %s %.9g", symbol, *static_cast<const float*>(value));
            *static_cast<std::string*>(out) += text;
        };
        lilv_state_emit_port_values(state, add, &controls);
        lilv_state_free(state);
        const std::string lv2 = dir + "/lv2.wav", vst2 = dir + "/vst2.wav";
        const std::string render = KSP_HOST_PROGRAM " render " KSP_PHASER_PLUGIN " " + noise + " ";
        ASSERT_EQ(std::system(("LV2_PATH=" KSP_LV2_BUNDLE "/.. lv2apply -i " + noise + " -o " + lv2 +
                               controls + " " + kLv2PluginUri)
                                  .c_str()),
                  0);
        ASSERT_EQ(std::system((render + vst2 + program + " >/dev/null").c_str()), 0);
        EXPECT_LT(DifferenceDecibels(ReadWav(lv2), ReadWav(vst2)), -100.0) << uri;
    }
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
}

// The host's transport from the atom port, one time:Position at the start and the plug-in going on
// from there, drives Sync to Host as the VST 2.4 plug-in's time info does.
TEST(Lv2Render, TransportFromTheAtomPortDrivesSyncAsTheVst2TimeInfo) {
    const std::string noise = Noise("transport.wav", "2"), vst2 = KSP_TEST_DIR "/transport-vst2.wav";
    ASSERT_EQ(std::system(
                  (KSP_HOST_PROGRAM " render " KSP_PHASER_PLUGIN " " + noise + " " + vst2 +
                   " --set 'Sync to Host=on' --set LFOSpeed=1/4 --tempo 133 --playing --block 64 >/dev/null")
                      .c_str()),
              0);
    Host host;
    float defaults[kLv2PortCount];
    lilv_plugin_get_port_ranges_float(host.plugin, nullptr, nullptr, defaults);
    std::copy(defaults, defaults + kLv2ParameterPortCount, host.controls);
    host.controls[SyncToHost] = 1.0f;
    host.controls[LFOSpeed] = 14.0f / 19.0f; // 1/4
    alignas(LV2_Atom) uint8_t events[512];
    lilv_instance_connect_port(host.instance, kLv2TransportPort, events);
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &host.map);
    const std::vector<float> input = ReadWav(noise);
    std::vector<float> output;
    for (size_t frame = 0; frame + kBlock <= input.size() / 2; frame += kBlock) {
        LV2_Atom_Forge_Frame sequence, position;
        lv2_atom_forge_set_buffer(&forge, events, sizeof events);
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        if (frame == 0) {
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_object(&forge, &position, 0, host.Id(LV2_TIME__Position));
            const std::pair<const char*, float> fields[] = {
                {LV2_TIME__bar, 0.0f},      {LV2_TIME__barBeat, 0.0f},          {LV2_TIME__beatsPerBar, 4.0f},
                {LV2_TIME__beatUnit, 4.0f}, {LV2_TIME__beatsPerMinute, 133.0f}, {LV2_TIME__speed, 1.0f}};
            for (const auto& [key, value] : fields) {
                lv2_atom_forge_key(&forge, host.Id(key));
                lv2_atom_forge_float(&forge, value);
            }
            lv2_atom_forge_pop(&forge, &position);
        }
        lv2_atom_forge_pop(&forge, &sequence);
        for (int i = 0; i < kBlock; ++i) {
            host.audio[0][i] = input[2 * (frame + i)];
            host.audio[1][i] = input[2 * (frame + i) + 1];
        }
        host.Run();
        for (int i = 0; i < kBlock; ++i) {
            output.insert(output.end(), {host.audio[2][i], host.audio[3][i]});
        }
    }
    std::vector<float> expected = ReadWav(vst2);
    expected.resize(output.size());
    EXPECT_LT(DifferenceDecibels(output, expected), -100.0);
}
#endif

} // namespace
