// The phaser's panel on the headless editor: the painted picture, the value texts, the layout's
// clicks, the menus and the editor reactions of the parameters.
#include "controls/IKSKnobMultiControlText.h"
#include "controls/IKSSwitchTextControl.h"
#include "effect/KSPhaser.h"
#include "formats/vst2/IPluginVST.h"
#include "graphics/GraphicsCaches.h"
#include "graphics/IBitmapControl.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "raster/PIX_SysBitmap.h"
#include "tests/support/PanelPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The value texts' colour, A 255, R 255, G 255, B 192; the most covered pixel of a text comes
// within a small antialiasing margin of it.
bool NearTextColour(uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF;
    const int g = (pixel >> 8) & 0xFF;
    const int b = pixel & 0xFF;
    return r >= 215 && g >= 215 && b >= 152 && b <= 200;
}

struct Panel : ::testing::Test {
    void SetUp() override {
        auto created = std::make_unique<KSPhaser>();
        phaser = created.get();
        binding = std::make_unique<IPluginVST>(nullptr, std::move(created));
        editor = static_cast<IGraphicsHeadless*>(phaser->Editor());
        ASSERT_NE(editor, nullptr);
    }
    void Click(int x, int y) {
        const IMouseState left{true, false, false, false, false};
        editor->DispatchMouseDown(x, y, left);
        editor->DispatchMouseUp(x, y, left);
    }
    // Paints the whole panel as an opened window would.
    void PaintAll() {
        editor->MarkAllDirty();
        while (editor->RunFrame()) {
        }
    }
    std::string Text(int parameter) {
        char text[kParameterTextCapacity];
        const IParameter* p = phaser->ParameterAt(parameter);
        p->FormatDisplay(p->Value(), false, text, true);
        return text;
    }

    std::unique_ptr<IPluginVST> binding; // owns the phaser
    KSPhaser* phaser = nullptr;
    IGraphicsHeadless* editor = nullptr;
};

void ExpectPanel(Panel& panel, const std::string& program) {
    panel.PaintAll();
    double normalized[10];
    for (int i = 0; i < 10; ++i) {
        normalized[i] = panel.phaser->ParameterAt(i)->Normalized();
    }
    const auto expected = ComposePanel(normalized);
    ASSERT_NE(expected, nullptr);
    const PIX_SysBitmap& surface = *panel.editor->Surface();
    int x0 = 0, y0 = 0;
    EXPECT_EQ(CountPanelMismatches(surface, *expected, x0, y0), 0)
        << program << ": first at (" << x0 << ", " << y0 << ")";

    // Each value text: drawn only in its band, centred on its box, in the text colour, as wide
    // as the parameter's text measures.
    for (const PanelTextBox& box : kPanelTextBoxes) {
        int left = 720, right = -1, top = 174, bottom = -1;
        bool coloured = false;
        for (int y = kPanelTextTop - 2; y < kPanelTextBottom + 2; ++y) {
            for (int x = box.x - kPanelTextReach; x < box.x + box.width + kPanelTextReach; ++x) {
                const uint32_t got = PIX_RowAddress(surface, y)[x];
                if (got != PIX_RowAddress(*expected, y)[x]) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                    coloured = coloured || NearTextColour(got);
                }
            }
        }
        const std::string text = panel.Text(box.parameter);
        ASSERT_LT(left, right) << program << " " << text;
        EXPECT_GE(top, kPanelTextTop) << program << " " << text;
        EXPECT_LE(bottom, kPanelTextBottom) << program << " " << text;
        EXPECT_LE(std::abs((left + right) - (2 * box.x + box.width)), 3) << program << " " << text;
        EXPECT_TRUE(coloured) << program << " " << text;
        IRectangle measured = {box.x, kPanelTextTop, box.x + box.width, kPanelTextBottom};
        ITextStyle valueStyle =
            static_cast<IKSKnobMultiControlText*>(panel.editor->ControlAt(4))->TextStyle();
        ASSERT_TRUE(panel.editor->MeasureText(valueStyle, text.c_str(), measured));
        EXPECT_LE(right - left, measured.R - measured.L + 1) << program << " " << text;
        EXPECT_GE(right - left, measured.R - measured.L - 4) << program << " " << text;
    }
}

TEST_F(Panel, DefaultAndEveryFactoryProgramPaintAsComposed) {
    ExpectPanel(*this, "default");
    for (int program = 0; program < phaser->PresetCount(); ++program) {
        ASSERT_TRUE(phaser->LoadPreset(program));
        ExpectPanel(*this, phaser->PresetName(program));
    }
}

TEST_F(Panel, LayoutAndHostView) {
    EXPECT_EQ(editor->ControlCount(), 13);
    EXPECT_EQ(editor->ControlAt(0)->Rect(), (IRectangle{0, 0, 720, 174}));
    EXPECT_EQ(editor->ControlAt(1)->Rect(), (IRectangle{10, 12, 40, 42}));
    EXPECT_EQ(editor->ControlAt(2)->Rect(), (IRectangle{556, 12, 708, 40}));
    EXPECT_EQ(editor->ControlAt(3)->Rect(), (IRectangle{21, 96, 69, 144}));
    EXPECT_EQ(editor->ControlAt(7), phaser->LFOSpeedKnob());
    const auto* knob = static_cast<IKSKnobMultiControlText*>(editor->ControlAt(7));
    EXPECT_EQ(knob->Rect(), (IRectangle{334, 100, 374, 162}));
    EXPECT_EQ(knob->KnobArea(), (IRectangle{334, 100, 374, 140}));
    EXPECT_EQ(knob->TextArea(), (IRectangle{334, 148, 374, 162}));
    const auto* sync = static_cast<IKSSwitchTextControl*>(editor->ControlAt(8));
    EXPECT_EQ(sync->Rect(), (IRectangle{401, 94, 421, 167}));
    EXPECT_EQ(sync->TargetRect(), (IRectangle{401, 94, 421, 151}));
    EXPECT_EQ(sync->TextArea(), (IRectangle{401, 148, 421, 167}));
    EXPECT_EQ(editor->ControlAt(9)->Rect(), (IRectangle{441, 94, 461, 151}));
    EXPECT_EQ(editor->ControlAt(12)->Rect(), (IRectangle{652, 100, 692, 162}));

    // No window on this target: the host is told of no editor, but values reach the controls.
    AEffect* effect = binding->Descriptor();
    EXPECT_EQ(effect->flags & effFlagsHasEditor, 0);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0.0f), 0);
    effect->setParameter(effect, Mix, 0.8f);
    EXPECT_FLOAT_EQ(static_cast<float>(editor->ControlAt(12)->Value()), 0.8f);
    EXPECT_TRUE(editor->ControlAt(12)->IsDirty());
}

TEST_F(Panel, ClicksReachTheirControls) {
    Click(50, 20); // the title, nothing there
    EXPECT_TRUE(editor->menus.empty());
    Click(15, 20);
    ASSERT_EQ(editor->menus.size(), 1u);
    EXPECT_EQ(editor->menus[0].area, (IRectangle{10, 12, 40, 42}));
    Click(600, 30);
    ASSERT_EQ(editor->menus.size(), 2u);
    EXPECT_EQ(editor->menus[1].texts[0], "Check Online for Update");
    EXPECT_EQ(editor->menus[1].area, (IRectangle{600, 30, 600, 30}));

    // The stage display toggles 4 and 8 and redraws everything.
    PaintAll();
    Click(30, 110);
    EXPECT_EQ(phaser->ParameterAt(Stages)->Value(), 1.0);
    for (int i = 0; i < editor->ControlCount(); ++i) {
        EXPECT_TRUE(editor->ControlAt(i)->IsDirty()) << i;
    }
    Click(30, 110);
    EXPECT_EQ(phaser->ParameterAt(Stages)->Value(), 0.0);

    // The sync switch steps on its lever, not on its text; its knob's text changes form.
    PaintAll();
    Click(410, 155);
    EXPECT_EQ(Text(SyncToHost), "OFF");
    Click(410, 120);
    EXPECT_EQ(Text(SyncToHost), "ON");
    EXPECT_TRUE(phaser->LFOSpeedKnob()->IsDirty());
    EXPECT_EQ(Text(LFOSpeed).find("Hz"), std::string::npos);

    // A double-click returns Manual to its default, whatever the host sent first.
    binding->Descriptor()->setParameter(binding->Descriptor(), Manual, 0.9f);
    editor->DispatchDoubleClick(110, 110, IMouseState());
    EXPECT_EQ(editor->ControlAt(4)->Value(), 0.25);
    EXPECT_EQ(Text(Manual), "1000Hz");
}

TEST_F(Panel, PresetMenuKeepsEditsAcrossPrograms) {
    ASSERT_TRUE(phaser->LoadPreset(3));
    editor->script.menuChoices = {-1};
    PaintAll();
    Click(15, 20);
    ASSERT_EQ(editor->menus.size(), 1u);
    ASSERT_EQ(editor->menus[0].texts.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(editor->menus[0].texts[static_cast<size_t>(i)], phaser->PresetName(i));
        EXPECT_EQ(editor->menus[0].flags[static_cast<size_t>(i)], i == 3 ? kMenuEntryChecked : 0) << i;
    }
    EXPECT_EQ(phaser->CurrentPreset(), 3);        // dismissed: nothing changes...
    EXPECT_TRUE(editor->ControlAt(5)->IsDirty()); // ...but the panel is redrawn

    // Edit program 3, go to 5 and back: the edit is still there.
    const IMouseState none;
    editor->DispatchMouseDown(110, 110, none);
    editor->DispatchMouseDrag(110, 90, none);
    editor->DispatchMouseUp(110, 90, none);
    const double edited = phaser->ParameterAt(Manual)->Value();
    editor->script.menuChoices = {5, 3, 3};
    Click(15, 20);
    EXPECT_EQ(phaser->CurrentPreset(), 5);
    EXPECT_NE(phaser->ParameterAt(Manual)->Value(), edited);
    Click(15, 20);
    EXPECT_EQ(phaser->CurrentPreset(), 3);
    EXPECT_EQ(phaser->ParameterAt(Manual)->Value(), edited);
    Click(15, 20); // the current program again changes nothing
    EXPECT_EQ(phaser->ParameterAt(Manual)->Value(), edited);
    EXPECT_DOUBLE_EQ(editor->ControlAt(4)->Value(), phaser->ParameterAt(Manual)->Normalized());
}

class ScriptedHttp : public IHttpGet {
public:
    explicit ScriptedHttp(int* calls) : calls(calls) {}
    bool Get(const HttpGetRequest&, IByteBuffer& reply) override {
        ++*calls;
        reply.PutBytes("2002", 4);
        return true;
    }
    int* calls;
};

TEST_F(Panel, OnlineMenuChecksAndOpensTheHomePage) {
    int calls = 0;
    phaser->SetHttpClient(std::make_unique<ScriptedHttp>(&calls));
    UpdateServer server;
    ReadUpdateServer(server);
    editor->script.menuChoices = {1, 0, -1};
    Click(600, 30);
    ASSERT_EQ(editor->urls.size(), 1u);
    EXPECT_EQ(editor->urls[0].url, std::string("http://") + server.authority + "/");
    EXPECT_EQ(editor->menus[0].texts[1], std::string("Visit ") + server.host);
    Click(600, 30);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(editor->messageBoxes.size(), 1u);
    EXPECT_EQ(editor->messageBoxes[0].text, "Your version is up to date.");
    Click(600, 30);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(editor->urls.size(), 1u);
}

TEST(PanelArtwork, DecodedOnceAndSharedByEveryInstance) {
    KSPhaser first;
    KSPhaser second;
    auto* a = static_cast<IGraphicsHeadless*>(first.Editor());
    auto* b = static_cast<IGraphicsHeadless*>(second.Editor());
    EXPECT_EQ(b->resourceLoads, 0); // the first instance of the process decoded them
    EXPECT_EQ(BitmapCache::Count(), 4);
    for (int i : {0, 3, 8, 9}) { // background, stages, sync and waveform switches
        const PIX_IBitmap* shared = static_cast<IBitmapControl*>(a->ControlAt(i))->Strip().bitmap;
        EXPECT_NE(shared, nullptr) << i;
        EXPECT_EQ(static_cast<IBitmapControl*>(b->ControlAt(i))->Strip().bitmap, shared) << i;
    }
}

} // namespace
