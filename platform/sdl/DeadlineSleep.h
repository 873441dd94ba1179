#pragma once
// Sleeping to an exact instant, for the last stretch of the frame wait. A relative sleep ends
// late by however long the thread took to get to it; a sleep to an absolute deadline on the
// monotonic clock does not, and with the timer slack lowered it ends within a few
// microseconds of the deadline instead of up to 50 later, so no spin is needed.

#include <array>
#include <chrono>
#include <cstddef>

// Lowers the calling thread's timer slack (Linux) to the least there is. Threads it starts
// afterwards inherit it, so call it once the helper threads are running.
void sharpenTimerSlack();

// Returns at the deadline or after it, never before.
void sleepUntil(std::chrono::steady_clock::time_point deadline);

// Sleeps towards an instant that has room before it. Waking from any sleep takes a while (a
// few microseconds on a quiet machine, tens in a virtual one), and every frame would be late
// by that much; this one aims early by the typical wake-up time of its recent sleeps, but
// never by more than `room`, so it may end up to `room` before the instant, never earlier.
class CompensatedSleep {
  public:
    explicit CompensatedSleep(std::chrono::nanoseconds room) : room_(room) {}
    void sleepTowards(std::chrono::steady_clock::time_point instant);

  private:
    std::chrono::nanoseconds room_;
    std::array<std::chrono::nanoseconds, 31> lateness_{}; // of the latest sleeps
    size_t count_ = 0;
};
