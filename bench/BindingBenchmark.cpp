// Cost of the VST binding around ProcessBlock: the lock, the host's MIDI request and the float
// conversions of the single-precision paths, measured on an effect whose ProcessBlock only
// copies (stereo, blocks of 512 frames). The counter "realtime" is seconds of 44.1 kHz audio
// per second of CPU.

#include "effect/Effect.h"
#include "formats/vst2/IPluginVST.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kFrames = 512;

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

template <typename Sample, typename Callback>
void Run(benchmark::State& state, Callback callback) {
    IPluginVST binding(
        SilentHost, std::make_unique<Effect>(0, "2-2", 1, "Copy", "", "", 0x00010000, 1, 1, 0, true, false));
    AEffect* effect = binding.Descriptor();
    effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    std::vector<Sample> in0(kFrames, Sample(0.25)), in1(kFrames, Sample(-0.25)), out0(kFrames), out1(kFrames);
    Sample* inputs[2] = {in0.data(), in1.data()};
    Sample* outputs[2] = {out0.data(), out1.data()};
    for (auto _ : state) {
        callback(effect, inputs, outputs, kFrames);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    state.counters["realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames / 44100.0, benchmark::Counter::kIsRate);
}

void ProcessReplacing(benchmark::State& state) {
    Run<float>(state, [](AEffect* e, float** in, float** out, int n) { e->processReplacing(e, in, out, n); });
}

void ProcessAccumulating(benchmark::State& state) {
    Run<float>(state, [](AEffect* e, float** in, float** out, int n) { e->process(e, in, out, n); });
}

void ProcessDoubleReplacing(benchmark::State& state) {
    Run<double>(state, [](AEffect* e, double** in, double** out, int n) {
        e->processDoubleReplacing(e, in, out, n);
    });
}

} // namespace

BENCHMARK(ProcessReplacing);
BENCHMARK(ProcessAccumulating);
BENCHMARK(ProcessDoubleReplacing);

BENCHMARK_MAIN();
