// The frame wait's exact sleeps on Windows: a high-resolution waitable timer, which wakes the
// thread within a fraction of a millisecond of an absolute deadline, where Sleep() would round
// up to the next tick of the system timer (up to 15.6 ms late) and force a spin instead.

#include "platform/sdl/DeadlineSleep.h"

#include <windows.h>

#include <algorithm>
#include <thread>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// Made once by sharpenTimerSlack on the game's thread, the only one that sleeps this way.
HANDLE frameTimer = nullptr;

} // namespace

void sharpenTimerSlack() {
    if (frameTimer != nullptr) return;
    // Windows 10 1803 and later; older systems (and Wine) fall back to a plain waitable timer
    // with the system timer at its finest period.
    frameTimer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                        TIMER_ALL_ACCESS);
    if (frameTimer == nullptr) {
        timeBeginPeriod(1);
        frameTimer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }
}

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    using std::chrono::steady_clock;
    const auto left = deadline - steady_clock::now();
    if (left <= steady_clock::duration::zero()) return;
    if (frameTimer != nullptr) {
        // A relative due time in units of 100 ns, negative by Windows' convention.
        LARGE_INTEGER due;
        due.QuadPart = -std::max<LONGLONG>(
            1, std::chrono::duration_cast<std::chrono::nanoseconds>(left).count() / 100);
        if (SetWaitableTimer(frameTimer, &due, 0, nullptr, nullptr, FALSE))
            WaitForSingleObject(frameTimer, INFINITE);
    }
    // The timer never ends early by more than its own rounding; what is left is a few
    // microseconds, and without a timer the whole wait.
    while (steady_clock::now() < deadline) std::this_thread::yield();
}
