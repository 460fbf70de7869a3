// Real-time factor of one phaser instance: stereo, 44.1 kHz, blocks of 512 frames, through the
// effect's ProcessBlock and through the host's processReplacing callback. The counter
// "realtime" is seconds of audio per second of CPU.

#include "core/PluginFactory.h"
#include "effect/KSPhaser.h"
#include "formats/vst2/IPluginVST.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kFrames = 512;
constexpr double kSampleRate = 44100.0;

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

template <typename Sample>
std::vector<Sample> Signal(double frequency) {
    std::vector<Sample> samples(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        samples[i] = static_cast<Sample>(0.5 * std::sin(6.283185307179586 * frequency * i / kSampleRate));
    }
    return samples;
}

void ReportRealTime(benchmark::State& state) {
    state.counters["realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames / kSampleRate, benchmark::Counter::kIsRate);
}

void ProcessBlock(benchmark::State& state) {
    KSPhaser plugin;
    plugin.ApplySampleRate(kSampleRate);
    plugin.OnReset();
    plugin.ParameterAt(Stages)->SetFromPlain(state.range(0) == 8 ? 1.0 : 0.0);
    plugin.NotifyAllParameters();
    std::vector<double> left = Signal<double>(440.0), right = Signal<double>(659.0);
    std::vector<double> outLeft(kFrames), outRight(kFrames);
    double* inputs[2] = {left.data(), right.data()};
    double* outputs[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state) {
        LockGuard guard(plugin.Lock());
        plugin.ProcessBlock(inputs, outputs, kFrames);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    ReportRealTime(state);
}

void ProcessReplacing(benchmark::State& state) {
    AEffect* effect = IPluginVST::Create(SilentHost, CreatePlugin())->Descriptor();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, Stages, state.range(0) == 8 ? 1.0f : 0.0f);
    std::vector<float> left = Signal<float>(440.0), right = Signal<float>(659.0);
    std::vector<float> outLeft(kFrames), outRight(kFrames);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state) {
        effect->processReplacing(effect, inputs, outputs, kFrames);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    ReportRealTime(state);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace

BENCHMARK(ProcessBlock)->ArgName("stages")->Arg(4)->Arg(8);
BENCHMARK(ProcessReplacing)->ArgName("stages")->Arg(4)->Arg(8);

BENCHMARK_MAIN();
