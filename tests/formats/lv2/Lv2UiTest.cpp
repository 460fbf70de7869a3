// The LV2 panel in a host window of the test's own, driven by idle calls: its first paint against
// the VST 2.4 editor's of the same program, and a knob's drag reaching the host as port writes in
// the port's unit between touches.
// GoogleTest before Xlib, whose macros it would trip over.
#include <gtest/gtest.h>

#include "effect/dsp/PhaserParameter.h"
#include "formats/lv2/Lv2Ports.h"
#include "tests/integration/PluginLibrary.h"
#include "tests/support/PanelPicture.h"
#include "tests/x11/X11TestSupport.h"

#include <lv2/ui/ui.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 720, kHeight = 174;

struct Recorder {
    std::vector<std::pair<uint32_t, float>> writes;
    std::vector<std::pair<uint32_t, bool>> touches;
};

TEST(Lv2Ui, PaintsAsTheVst2EditorAndSendsADragAsPortWritesBetweenTouches) {
    PluginLibrary lv2(KSP_LV2_BUNDLE "/KSPhaser.so"), vst2(KSP_PHASER_PLUGIN);
    ASSERT_TRUE(lv2.Loaded() && vst2.Loaded());
    using UiEntry = const LV2UI_Descriptor* (*)(uint32_t);
    const LV2UI_Descriptor* ui = reinterpret_cast<UiEntry>(dlsym(lv2.Handle(), "lv2ui_descriptor"))(0);
    ASSERT_STREQ(ui->URI, kLv2UiUri);
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle, nullptr);

    TestDisplay display;
    HostWindow lv2Window(display, 0, 0, kWidth, kHeight),
        vst2Window(display, 0, 2 * kHeight, kWidth, kHeight);
    Recorder host;
    auto write = [](LV2UI_Controller host, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* value) {
        if (protocol == 0 && size == sizeof(float)) {
            static_cast<Recorder*>(host)->writes.emplace_back(port, *static_cast<const float*>(value));
        }
    };
    LV2UI_Touch touch = {&host, [](LV2UI_Feature_Handle host, uint32_t port, bool grabbed) {
                             static_cast<Recorder*>(host)->touches.emplace_back(port, grabbed);
                         }};
    const LV2_Feature parent = {LV2_UI__parent, lv2Window.Handle()},
                      idleFeature = {LV2_UI__idleInterface, nullptr}, touchFeature = {LV2_UI__touch, &touch};
    const LV2_Feature* features[] = {&parent, &idleFeature, &touchFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle panel = ui->instantiate(ui, kLv2PluginUri, KSP_LV2_BUNDLE, write, &host, &widget, features);
    ASSERT_NE(panel, nullptr);

    // Eight stages on the host's port reach the panel, as effSetParameter reaches the VST 2.4 editor.
    const float eight = 1.0f;
    ui->port_event(panel, Stages, sizeof eight, 0, &eight);
    AEffect* effect =
        vst2.Entry("VSTPluginMain")([](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
            return static_cast<VstIntPtr>(opcode == audioMasterVersion ? 2400 : 0);
        });
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->setParameter(effect, Stages, 1.0f);
    ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, vst2Window.Handle(), 0.0f), 1);
    auto run = [&](int rounds) {
        for (int round = 0; round < rounds; ++round) {
            EXPECT_EQ(idle->idle(panel), 0);
            effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    };
    run(25);
    const auto lv2Picture = display.Capture(lv2Window.Id(), kWidth, kHeight);
    const auto vst2Picture = display.Capture(vst2Window.Id(), kWidth, kHeight);
    ASSERT_TRUE(lv2Picture && vst2Picture);
    EXPECT_GT(CountPanelDifferences(*vst2Picture, nullptr), kWidth * kHeight / 2);
    EXPECT_EQ(CountPanelDifferences(*lv2Picture, vst2Picture.get()), 0);
    EXPECT_TRUE(host.writes.empty() && host.touches.empty());

    // The Manual knob dragged up: Hz on port 1, rising, between a touch and its release.
    const int x = lv2Window.X() + 96 + 20, y = lv2Window.Y() + 100 + 20;
    display.Move(x, y);
    display.Button(1, true);
    run(2);
    display.Move(x, y - 30);
    run(2);
    display.Button(1, false);
    run(2);
    using Touches = std::vector<std::pair<uint32_t, bool>>;
    EXPECT_EQ(host.touches, (Touches{{Manual, true}, {Manual, false}}));
    ASSERT_FALSE(host.writes.empty());
    EXPECT_EQ(host.writes.back().first, static_cast<uint32_t>(Manual));
    EXPECT_TRUE(host.writes.back().second > 1000.0f && host.writes.back().second <= 16000.0f);
    ui->cleanup(panel);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
