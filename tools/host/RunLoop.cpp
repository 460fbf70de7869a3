#include "tools/host/RunLoop.h"

#include <poll.h>

#include <algorithm>

namespace ksphost {

namespace {

template <typename Entry, typename Key, typename Field>
typename std::vector<Entry>::iterator Find(std::vector<Entry>& entries, Key key, Field field) {
    return std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.*field == key; });
}

short PollEvents(uint32_t interest) {
    return static_cast<short>(((interest & RunLoop::kReadable) != 0 ? POLLIN : 0) |
                              ((interest & RunLoop::kWritable) != 0 ? POLLOUT : 0));
}

uint32_t Found(short revents) {
    return ((revents & POLLIN) != 0 ? RunLoop::kReadable : 0u) |
           ((revents & POLLOUT) != 0 ? RunLoop::kWritable : 0u) |
           ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 ? RunLoop::kFailed : 0u);
}

} // namespace

uint32_t RunLoop::AddTimer(Clock::duration interval, std::function<void(uint32_t)> fire) {
    interval = std::max<Clock::duration>(interval, std::chrono::milliseconds(1));
    timers.push_back({++lastTimer, interval, Clock::now() + interval, std::move(fire)});
    return lastTimer;
}

bool RunLoop::RemoveTimer(uint32_t id) {
    const auto found = Find(timers, id, &Timer::id);
    if (found == timers.end()) {
        return false;
    }
    timers.erase(found);
    return true;
}

bool RunLoop::AddDescriptor(int fd, uint32_t interest, std::function<void(int, uint32_t)> ready) {
    if (fd < 0 || Find(watches, fd, &Watch::fd) != watches.end()) {
        return false;
    }
    watches.push_back({fd, interest, std::move(ready)});
    return true;
}

bool RunLoop::ChangeDescriptor(int fd, uint32_t interest) {
    const auto found = Find(watches, fd, &Watch::fd);
    if (found == watches.end()) {
        return false;
    }
    found->interest = interest;
    return true;
}

bool RunLoop::RemoveDescriptor(int fd) {
    const auto found = Find(watches, fd, &Watch::fd);
    if (found == watches.end()) {
        return false;
    }
    watches.erase(found);
    return true;
}

void RunLoop::Run(Clock::duration time) {
    const auto end = Clock::now() + time;
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
        auto next = end;
        for (const Timer& timer : timers) {
            next = std::min(next, timer.due);
        }
        std::vector<pollfd> descriptors;
        for (const Watch& watch : watches) {
            descriptors.push_back({watch.fd, PollEvents(watch.interest), 0});
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
        if (poll(descriptors.data(), descriptors.size(), static_cast<int>(std::max<long long>(wait, 0))) >
            0) {
            for (const pollfd& ready : descriptors) {
                const auto watch = Find(watches, ready.fd, &Watch::fd);
                if (ready.revents != 0 && watch != watches.end()) {
                    // A copy: the callback may remove its own watch.
                    const auto call = watch->ready;
                    call(ready.fd, Found(ready.revents));
                }
            }
        }
        FireTimers();
    }
}

void RunLoop::FireTimers() {
    std::vector<uint32_t> due;
    const auto now = Clock::now();
    for (Timer& timer : timers) {
        if (timer.due <= now) {
            due.push_back(timer.id);
            timer.due = std::max(timer.due + timer.interval, now);
        }
    }
    for (uint32_t id : due) {
        const auto timer = Find(timers, id, &Timer::id);
        if (timer != timers.end()) {
            const auto call = timer->fire;
            call(id);
        }
    }
}

} // namespace ksphost
