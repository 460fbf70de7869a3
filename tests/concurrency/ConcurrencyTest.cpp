// The audio thread and the host's other threads share one instance; the instance lock must
// keep them apart. Built with ThreadSanitizer by the tsan preset, where any race fails the run.
#include "platform/headless/IGraphicsHeadless.h"
#include "tests/support/OpenInstance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

VstIntPtr VSTCALLBACK Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    if (opcode == audioMasterGetTime) {
        static VstTimeInfo info = [] {
            VstTimeInfo time{};
            time.tempo = 128.0;
            time.ppqPos = 3.25;
            time.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;
            return time;
        }();
        return reinterpret_cast<VstIntPtr>(&info);
    }
    (void)ptr;
    return 0;
}

// Saves the chunk (index 0 the bank, 1 the program) and loads it back, as a host restoring a project.
void RoundTripChunk(AEffect* effect, unsigned index) {
    void* chunk = nullptr;
    const VstIntPtr size =
        effect->dispatcher(effect, effGetChunk, static_cast<VstInt32>(index), 0, &chunk, 0.0f);
    if (size > 0) {
        std::vector<char> copy(static_cast<const char*>(chunk), static_cast<const char*>(chunk) + size);
        effect->dispatcher(effect, effSetChunk, static_cast<VstInt32>(index), size, copy.data(), 0.0f);
    }
}

TEST(Concurrency, AudioThreadAndHostThreadShareOneInstance) {
    AEffect* effect = OpenInstance(Host, 48000.0f, 256);
    ASSERT_NE(effect, nullptr);
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};

    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* io[2] = {left.data(), right.data()};
        for (int block = 0; block < 3000 && !stop; ++block) {
            for (int i = 0; i < 256; ++i) {
                left[i] = std::sin(0.01f * static_cast<float>(block * 256 + i));
                right[i] = left[i];
            }
            effect->processReplacing(effect, io, io, 256);
            if (!std::isfinite(left[0]) || !std::isfinite(right[255])) {
                finite = false;
            }
        }
        stop = true;
    });

    std::thread host([&] {
        char text[64];
        unsigned round = 0;
        while (!stop) {
            const auto index = static_cast<VstInt32>(round % 10);
            effect->setParameter(effect, index, static_cast<float>(round % 7) / 6.0f);
            (void)effect->getParameter(effect, index);
            effect->dispatcher(effect, effGetParamDisplay, index, 0, text, 0.0f);
            effect->dispatcher(effect, effSetProgram, 0, round % 10, nullptr, 0.0f);
            (void)effect->dispatcher(effect, effGetProgram, 0, 0, nullptr, 0.0f);
            RoundTripChunk(effect, round % 2);
            ++round;
        }
    });

    audio.join();
    host.join();
    EXPECT_TRUE(finite);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// The editor paints, collects dirty areas and turns knobs on the user interface thread while
// the host processes audio, sets parameters and loads programs and chunks on two others.
TEST(Concurrency, EditorPaintsWhileTheHostChangesValues) {
    AEffect* effect = OpenInstance(Host, 48000.0f, 256);
    ASSERT_NE(effect, nullptr);
    auto* editor =
        static_cast<IGraphicsHeadless*>(static_cast<IPluginVST*>(effect->object)->Plugin()->Editor());
    ASSERT_NE(editor, nullptr);
    std::atomic<bool> stop{false};

    std::thread audio([&] {
        std::vector<float> left(256, 0.5f), right(256, -0.5f);
        float* io[2] = {left.data(), right.data()};
        for (int block = 0; block < 1500 && !stop; ++block) {
            effect->processReplacing(effect, io, io, 256);
        }
        stop = true;
    });
    std::thread host([&] {
        for (unsigned round = 0; !stop; ++round) {
            effect->setParameter(effect, static_cast<VstInt32>(round % 10),
                                 static_cast<float>(round % 5) / 4.0f);
            effect->dispatcher(effect, effSetProgram, 0, round % 10, nullptr, 0.0f);
            RoundTripChunk(effect, round % 2);
        }
    });

    const IMouseState none;
    int frames = 0;
    while (!stop) {
        editor->RunFrame();
        editor->copiedAreas.clear();
        // Turn the Manual knob and flip the stage switch now and then.
        editor->DispatchMouseDown(110, 110, none);
        editor->DispatchMouseDrag(110, 100 + frames % 20, none);
        editor->DispatchMouseUp(110, 110, none);
        if (frames % 50 == 0) {
            editor->DispatchMouseDown(30, 110, none);
            editor->DispatchMouseUp(30, 110, none);
        }
        ++frames;
    }
    audio.join();
    host.join();
    EXPECT_GT(frames, 0);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(Concurrency, InstancesOnSeparateThreadsShareOnlyTheDenormalOffset) {
    std::vector<std::thread> threads;
    std::atomic<int> opened{0};
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            AEffect* effect = OpenInstance(Host, 48000.0f, 256);
            if (effect == nullptr) {
                return;
            }
            ++opened;
            std::vector<double> left(256, 0.25), right(256, -0.25);
            double* io[2] = {left.data(), right.data()};
            for (int block = 0; block < 400; ++block) {
                effect->processDoubleReplacing(effect, io, io, 256);
            }
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(opened, 3);
}

} // namespace
