// Compositing and PNG decoding at the sizes the editor uses.
#include "raster/PIX_Blend.h"
#include "raster/PIX_PNG.h"
#include "raster/PIX_SysBitmap.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

PIX_ModuleHandle ThisModule() {
#ifdef _WIN32
    return GetModuleHandleA(nullptr);
#else
    return nullptr;
#endif
}

std::unique_ptr<PIX_MemBitmap> Load(int id) {
    return std::unique_ptr<PIX_MemBitmap>(PIX_ReadPNGResource(ThisModule(), id));
}

// The whole 720 x 174 background onto the editor's surface, plain copy.
void BM_CompositeBackground(benchmark::State& state) {
    auto back = Load(1);
    PIX_SysBitmap surface(720, 174);
    if (!back || !surface.GetPixels()) {
        state.SkipWithError("no artwork");
        return;
    }
    for (auto _ : state) {
        PIX_CompositeRect(&surface, back.get(), 0, 0, nullptr, 1.0f, BlendCopy);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 720 * 174);
}
BENCHMARK(BM_CompositeBackground);

// One 40 x 40 knob frame (the middle one) over the background, weighted by source alpha, at
// full weight and at the greyed-out weight 0.25.
void BM_CompositeKnobFrame(benchmark::State& state) {
    auto back = Load(1);
    auto knob = Load(2);
    PIX_SysBitmap surface(720, 174);
    if (!back || !knob || !surface.GetPixels()) {
        state.SkipWithError("no artwork");
        return;
    }
    PIX_CompositeRect(&surface, back.get(), 0, 0, nullptr, 1.0f, BlendCopy);
    const PIX_Rect frame{0, 32 * 40, 40, 33 * 40};
    const float weight = static_cast<float>(state.range(0)) / 100.0f;
    for (auto _ : state) {
        PIX_CompositeRect(&surface, knob.get(), 96, 100, &frame, weight, BlendCopy | BlendUseSourceAlpha);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 40 * 40);
}
BENCHMARK(BM_CompositeKnobFrame)->Arg(100)->Arg(25);

// Decoding one image from the library's resources: 1 back, 2 knob, 3 stages, 4 switch.
void BM_DecodePNGResource(benchmark::State& state) {
    const int id = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto bitmap = Load(id);
        if (!bitmap) {
            state.SkipWithError("no artwork");
            return;
        }
        benchmark::DoNotOptimize(bitmap->GetPixels());
    }
}
BENCHMARK(BM_DecodePNGResource)->DenseRange(1, 4)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
