// Feeds arbitrary bytes to effSetChunk (program and bank, ordinary and chunk-quirk host) and to
// the phaser's LoadState at an arbitrary position, then checks that the plug-in is still whole:
// parameters finite and in range, its own chunks readable back, audio from silent filters finite.
#include "FuzzHost.h"

#include "core/IByteBuffer.h"
#include "effect/KSPhaser.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Instances {
    AEffect* plain = OpenInstance(FuzzHostCallback<false>, 44100.0f, 64);
    AEffect* quirk = OpenInstance(FuzzHostCallback<true>, 44100.0f, 64);
};

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "chunk_fuzzer: %s\n", what);
        std::abort();
    }
}

void CheckWhole(AEffect* effect) {
    for (VstInt32 i = 0; i < effect->numParams; ++i) {
        const float value = effect->getParameter(effect, i);
        Require(std::isfinite(value) && value >= 0.0f && value <= 1.0f, "parameter out of range");
        char text[64] = {};
        effect->dispatcher(effect, effGetParamDisplay, i, 0, text, 0.0f);
        Require(std::memchr(text, 0, sizeof text) != nullptr, "display text not terminated");
    }
    for (VstInt32 bank = 0; bank < 2; ++bank) {
        void* data = nullptr;
        const VstIntPtr size = effect->dispatcher(effect, effGetChunk, bank, 0, &data, 0.0f);
        Require(size > 0 && data != nullptr, "no chunk");
    }
    // A host suspends and resumes around loading a project; the filters start from silence.
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    float left[64], right[64];
    for (int i = 0; i < 64; ++i) {
        left[i] = std::sin(i * 0.3f) * 0.5f;
        right[i] = -left[i];
    }
    float* io[2] = {left, right};
    effect->processReplacing(effect, io, io, 64);
    for (int i = 0; i < 64; ++i) {
        Require(std::isfinite(left[i]) && std::isfinite(right[i]), "audio not finite");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Instances instances;
    if (size < 1 || instances.plain == nullptr || instances.quirk == nullptr) {
        return 0;
    }
    const uint8_t mode = data[0];
    const uint8_t* chunk = data + 1;
    const auto chunkSize = static_cast<VstIntPtr>(size - 1);
    AEffect* effect = (mode & 2) != 0 ? instances.quirk : instances.plain;

    if ((mode & 4) == 0) {
        const VstInt32 isProgram = mode & 1;
        effect->dispatcher(effect, effSetChunk, isProgram, chunkSize, const_cast<uint8_t*>(chunk), 0.0f);
    } else {
        IByteBuffer buffer;
        buffer.PutBytes(chunk, static_cast<int32_t>(chunkSize));
        const int pos = (mode >> 3) % 9 - 1;
        auto* phaser = static_cast<KSPhaser*>(static_cast<IPluginVST*>(effect->object)->Plugin());
        const int end = phaser->LoadState(buffer, pos);
        Require(end >= -1 && end <= buffer.Size(), "state read past its end");
    }
    CheckWhole(effect);
    return 0;
}
