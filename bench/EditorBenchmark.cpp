// The phaser's editor on the headless editor: a full repaint, one knob's repaint, a quiet tick.
#include "effect/KSPhaser.h"
#include "platform/headless/IGraphicsHeadless.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct PaintedPanel {
    PaintedPanel() : phaser(std::make_unique<KSPhaser>()) {
        editor = static_cast<IGraphicsHeadless*>(phaser->Editor());
        editor->MarkAllDirty();
        while (editor->RunFrame()) {
        }
    }
    std::unique_ptr<KSPhaser> phaser;
    IGraphicsHeadless* editor;
};

// Every control (13) and value text (8) into the 720 x 174 surface.
void BM_FullRepaint(benchmark::State& state) {
    PaintedPanel panel;
    const IRectangle all = {0, 0, 720, 174};
    for (auto _ : state) {
        panel.editor->MarkAllDirty();
        benchmark::DoNotOptimize(panel.editor->PaintArea(all));
        panel.editor->copiedAreas.clear();
    }
}
BENCHMARK(BM_FullRepaint);

// A frame tick after the Manual knob moved: collect its area and repaint it.
void BM_KnobRepaint(benchmark::State& state) {
    PaintedPanel panel;
    IControl* knob = panel.editor->ControlAt(4);
    for (auto _ : state) {
        knob->MarkDirty(false);
        benchmark::DoNotOptimize(panel.editor->RunFrame());
        panel.editor->copiedAreas.clear();
    }
}
BENCHMARK(BM_KnobRepaint);

// A frame tick that finds nothing dirty.
void BM_IdleTick(benchmark::State& state) {
    PaintedPanel panel;
    for (auto _ : state) {
        benchmark::DoNotOptimize(panel.editor->RunFrame());
    }
}
BENCHMARK(BM_IdleTick);

} // namespace

BENCHMARK_MAIN();
