#pragma once

// The VST 2.4 plug-in as the reference the other formats' tests compare with: opened as a host
// opens it, its texts and chunks, its output beside another format's, and its chunks as preset files.
#include "tests/formats/vst2/FakeHost.h"
#include "tests/integration/PluginLibrary.h"
#include "tools/host/PresetFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Opened and switched on at 44.1 kHz in blocks of up to 512 samples; closed when destroyed.
struct Vst2Effect : FakeHost {
    explicit Vst2Effect(PluginLibrary& library) : effect(library.Entry("VSTPluginMain")(FakeHost::Callback)) {
        Attach(effect);
        Dispatch(effOpen);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Dispatch(effSetBlockSize, 0, 512);
        Dispatch(effMainsChanged, 0, 1);
    }
    ~Vst2Effect() { Dispatch(effClose); }
    Vst2Effect(const Vst2Effect&) = delete;
    Vst2Effect& operator=(const Vst2Effect&) = delete;

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
    }
    std::string Text(int32_t opcode, uint32_t index) {
        char text[256] = {};
        Dispatch(opcode, static_cast<int32_t>(index), 0, text);
        return text;
    }
    std::vector<uint8_t> Chunk(bool bank) {
        uint8_t* data = nullptr;
        const intptr_t size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
        return std::vector<uint8_t>(data, data + size);
    }
    void SetNormalized(uint32_t id, double value) {
        effect->setParameter(effect, static_cast<int32_t>(id), static_cast<float>(value));
    }

    AEffect* effect;
};

// A change of a parameter's normalised VST 2.4 value at time in block; time -1: before the block.
struct Vst2Change {
    int32_t block;
    uint32_t id;
    int32_t time;
    double value;
};

// Three 512-sample blocks of two test channels through the VST 2.4 plug-in, split at the changes'
// times for set(change) and each piece after before(block, its first sample), and through another
// format in whole blocks by play(block, inputs, outputs), in the same buffers when inPlace. The
// first sample where the two differ in each channel: "1536 1536 " when they never do.
template <class Sample, class Set, class Before, class Play>
std::string FirstDifferences(Vst2Effect& vst2, const std::vector<Vst2Change>& changes, bool inPlace, Set set,
                             Before before, Play play) {
    constexpr int32_t kBlock = 512;
    std::vector<Sample> in[2], vst2Out[2], out[2];
    for (int c = 0; c < 2; ++c) {
        for (int n = 0; n < 3 * kBlock; ++n) {
            in[c].push_back(
                static_cast<Sample>(0.5 * std::sin(0.031 * n + c) + 0.1 * std::sin(n * (c + 2.1))));
        }
        vst2Out[c].resize(in[c].size());
        out[c] = inPlace ? in[c] : vst2Out[c];
    }
    for (int32_t block = 0; block < 3; ++block) {
        int32_t done = 0;
        auto run = [&](int32_t end) {
            before(block, done);
            Sample* ins[] = {&in[0][block * kBlock + done], &in[1][block * kBlock + done]};
            Sample* outs[] = {&vst2Out[0][block * kBlock + done], &vst2Out[1][block * kBlock + done]};
            if constexpr (sizeof(Sample) == 8) {
                vst2.effect->processDoubleReplacing(vst2.effect, ins, outs, end - done);
            } else {
                vst2.effect->processReplacing(vst2.effect, ins, outs, end - done);
            }
            done = end;
        };
        for (const Vst2Change& change : changes) {
            if (change.block == block) {
                run(std::max(change.time, done));
                set(change);
            }
        }
        run(kBlock);
        Sample* outs[] = {&out[0][block * kBlock], &out[1][block * kBlock]};
        Sample* ins[] = {inPlace ? outs[0] : &in[0][block * kBlock],
                         inPlace ? outs[1] : &in[1][block * kBlock]};
        if (!play(block, ins, outs)) {
            return "block " + std::to_string(block) + " refused";
        }
    }
    std::string first;
    for (int c = 0; c < 2; ++c) {
        first += std::to_string(std::mismatch(out[c].begin(), out[c].end(), vst2Out[c].begin()).first -
                                out[c].begin()) +
                 " ";
    }
    return first;
}

// The .fxp (or with bank the .fxb) file of a chunk the plug-in gave.
inline std::vector<uint8_t> Vst2PresetFile(const std::vector<uint8_t>& chunk, bool bank) {
    ksphost::PresetFile file;
    file.bank = bank;
    file.fxId = 0x6B737068;
    file.fxVersion = 20002;
    file.count = 10;
    file.chunk = chunk;
    return ksphost::EncodePresetFile(file);
}
