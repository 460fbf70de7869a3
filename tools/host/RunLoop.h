#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace ksphost {

// The user-interface loop a Linux host runs for an editor: timers, and file descriptors watched
// with poll, each with what to call. Callbacks may add and remove timers and descriptors, their
// own included.
class RunLoop {
public:
    using Clock = std::chrono::steady_clock;

    // What a descriptor is watched for, and what it is found to be (an error is always told).
    static constexpr uint32_t kReadable = 1;
    static constexpr uint32_t kWritable = 2;
    static constexpr uint32_t kFailed = 4;

    // Calls fire with the timer's id every interval (at least a millisecond) from now on;
    // answers the id, never 0.
    uint32_t AddTimer(Clock::duration interval, std::function<void(uint32_t id)> fire);
    bool RemoveTimer(uint32_t id);
    // Calls ready with the descriptor and what it was found to be while it is so; false for a
    // descriptor already watched.
    bool AddDescriptor(int fd, uint32_t interest, std::function<void(int fd, uint32_t found)> ready);
    bool ChangeDescriptor(int fd, uint32_t interest);
    bool RemoveDescriptor(int fd);

    // Waits for the descriptors until the next timer is due, and calls what is ready, until time
    // has passed.
    void Run(Clock::duration time);

private:
    struct Timer {
        uint32_t id;
        Clock::duration interval;
        Clock::time_point due;
        std::function<void(uint32_t)> fire;
    };
    struct Watch {
        int fd;
        uint32_t interest;
        std::function<void(int, uint32_t)> ready;
    };

    void FireTimers();

    std::vector<Timer> timers;
    std::vector<Watch> watches;
    uint32_t lastTimer = 0;
};

} // namespace ksphost
