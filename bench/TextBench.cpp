// Drawing and measuring the knobs' value texts from the glyph cache, as the editor does on
// every repaint of a knob.
#include <benchmark/benchmark.h>

#include "raster/PIX_CachedFont.h"
#include "raster/PIX_SysBitmap.h"

namespace {

constexpr int kCacheFlags = FontOwnsHandle; // draws from the cache on every platform

struct ValueTextFont {
    ValueTextFont() {
        font.AttachFont(PIX_CreateFont({"Arial", 13, 0, 400, false, PIX_QualityClearType}), kCacheFlags);
        font.SetForeground(0xFFFFFFC0);
    }
    PIX_CachedFont font;
    PIX_SysBitmap surface{720, 174};
};

void BM_DrawValueTextFromCache(benchmark::State& state) {
    ValueTextFont text;
    PIX_Rect area = {96, 148, 136, 162};
    text.font.RenderText(&text.surface, "1000Hz", -1, area, DT_NOCLIP | DT_CENTER); // rasterise once
    for (auto _ : state) {
        PIX_Rect rect = area;
        benchmark::DoNotOptimize(
            text.font.RenderText(&text.surface, "1000Hz", -1, rect, DT_NOCLIP | DT_CENTER));
    }
    state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_DrawValueTextFromCache);

void BM_MeasureValueTextFromCache(benchmark::State& state) {
    ValueTextFont text;
    for (auto _ : state) {
        PIX_Rect rect = {0, 0, 0, 0};
        benchmark::DoNotOptimize(
            text.font.RenderText(&text.surface, "1000Hz", -1, rect, DT_NOCLIP | DT_CALCRECT));
    }
    state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_MeasureValueTextFromCache);

} // namespace
