#include "platform/sdl/DeadlineSleep.h"

#include <algorithm>

#ifdef __linux__
#include <cerrno>
#include <sys/prctl.h>
#include <time.h>
#elif !defined(_WIN32)
#include <thread>
#endif

#ifdef __linux__

void sharpenTimerSlack() {
    // 1 ns: a zero would mean "back to the default" instead.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    // steady_clock is CLOCK_MONOTONIC here, so its readings are the deadline's own units.
    const auto since = deadline.time_since_epoch();
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec at{};
    at.tv_sec = time_t(secs.count());
    at.tv_nsec = long(std::chrono::duration_cast<std::chrono::nanoseconds>(since - secs).count());
    // A signal ends the sleep early; the deadline stays the same, so sleep on.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

#elif !defined(_WIN32) // Windows has its waitable timer (platform/win/WinSleep.cpp)

void sharpenTimerSlack() {}

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    // Without an absolute sleep the wake-up may come a few tenths of a millisecond late; the
    // last quarter of a millisecond is spun.
    const auto spin = std::chrono::microseconds(250);
    if (std::chrono::steady_clock::now() < deadline - spin)
        std::this_thread::sleep_until(deadline - spin);
    while (std::chrono::steady_clock::now() < deadline) {
    }
}

#endif

void CompensatedSleep::sleepTowards(std::chrono::steady_clock::time_point instant) {
    using std::chrono::nanoseconds;
    const size_t known = std::min(count_, lateness_.size());
    nanoseconds early{0};
    if (known > 0) {
        // The median: one slow wake-up (the machine busy) does not move it.
        std::array<nanoseconds, 31> sorted = lateness_;
        std::nth_element(sorted.begin(), sorted.begin() + known / 2, sorted.begin() + known);
        early = std::min(sorted[known / 2], room_);
    }
    const auto aim = instant - early;
    if (std::chrono::steady_clock::now() >= aim) return;
    sleepUntil(aim);
    lateness_[count_ % lateness_.size()] = std::chrono::steady_clock::now() - aim;
    ++count_;
}
