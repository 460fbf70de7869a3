// The audio thread and the host's other threads share one instance; the instance lock must
// keep them apart. Built with ThreadSanitizer by the tsan preset, where any race fails the run.
#include "platform/headless/IGraphicsHeadless.h"
#include "tests/support/OpenInstance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The rounds the host's and the editor's loops complete at least while the audio thread processes:
// the audio thread goes on until they have, as threads that never overlapped would prove nothing.
constexpr unsigned kOverlapRounds = 100;

// Holds each thread until all have arrived, so that their loops start together.
class StartingLine {
public:
    explicit StartingLine(int threads) : waiting(threads) {}
    void ArriveAndWait() {
        std::unique_lock<std::mutex> lock(mutex);
        if (--waiting == 0) {
            arrived.notify_all();
        }
        arrived.wait(lock, [this] { return waiting == 0; });
    }

private:
    std::mutex mutex;
    std::condition_variable arrived;
    int waiting;
};

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
    std::atomic<unsigned> hostRounds{0};
    StartingLine start(2);

    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* io[2] = {left.data(), right.data()};
        start.ArriveAndWait();
        for (int block = 0; block < 3000 || hostRounds < kOverlapRounds; ++block) {
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
        start.ArriveAndWait();
        while (!stop) {
            const auto index = static_cast<VstInt32>(round % 10);
            effect->setParameter(effect, index, static_cast<float>(round % 7) / 6.0f);
            (void)effect->getParameter(effect, index);
            effect->dispatcher(effect, effGetParamDisplay, index, 0, text, 0.0f);
            effect->dispatcher(effect, effSetProgram, 0, round % 10, nullptr, 0.0f);
            (void)effect->dispatcher(effect, effGetProgram, 0, 0, nullptr, 0.0f);
            RoundTripChunk(effect, round % 2);
            hostRounds = ++round;
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
    std::atomic<unsigned> hostRounds{0};
    std::atomic<unsigned> frames{0};
    StartingLine start(3);

    std::thread audio([&] {
        std::vector<float> left(256, 0.5f), right(256, -0.5f);
        float* io[2] = {left.data(), right.data()};
        start.ArriveAndWait();
        for (int block = 0; block < 1500 || hostRounds < kOverlapRounds || frames < kOverlapRounds; ++block) {
            effect->processReplacing(effect, io, io, 256);
        }
        stop = true;
    });
    std::thread host([&] {
        start.ArriveAndWait();
        for (unsigned round = 0; !stop; hostRounds = ++round) {
            effect->setParameter(effect, static_cast<VstInt32>(round % 10),
                                 static_cast<float>(round % 5) / 4.0f);
            effect->dispatcher(effect, effSetProgram, 0, round % 10, nullptr, 0.0f);
            RoundTripChunk(effect, round % 2);
        }
    });

    const IMouseState none;
    start.ArriveAndWait();
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
    EXPECT_GT(frames.load(), 0u);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(Concurrency, InstancesOnSeparateThreadsShareOnlyTheDenormalOffset) {
    std::vector<std::thread> threads;
    std::atomic<int> opened{0};
    // The instances that processed their 400 blocks; each keeps processing until all have.
    std::atomic<int> finished{0};
    StartingLine start(3);
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            AEffect* effect = OpenInstance(Host, 48000.0f, 256);
            if (effect != nullptr) {
                ++opened;
            }
            start.ArriveAndWait();
            if (effect == nullptr) {
                return;
            }
            std::vector<double> left(256, 0.25), right(256, -0.25);
            double* io[2] = {left.data(), right.data()};
            for (int block = 0; block < 400 || finished < opened; ++block) {
                effect->processDoubleReplacing(effect, io, io, 256);
                if (block == 399) {
                    ++finished;
                }
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
