// The clocks and the frame wait.
//
// The game paces itself on a millisecond clock: a frame begins once the clock reads 16 more
// than at the previous frame. Readings are truncated, so the reading the previous frame began
// with may have been taken up to a millisecond after it changed, and "16 more" can come only
// 15.x ms later. The wait therefore also remembers the exact instant of that reading and does
// not return before 16 ms have passed since it on the high-resolution clock.

#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/SdlFrameOutput.h"

#include "platform/sdl/DeadlineSleep.h"

#include <SDL.h>

#include <algorithm>

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kFrame{16};
// Below this much time left, SDL's event wait (whole milliseconds, woken by poll) is too
// coarse; a plain sleep covers the rest.
constexpr milliseconds kEventWaitMargin{2};
// Spacing of the frames' image requests to the X server: 16 ms and a margin for the few
// microseconds, not always the same, that SDL takes before it writes the request.
constexpr std::chrono::microseconds kPresentSpacing{16050};
// More than this beyond the quickest recent present counts as held up (a round trip to the
// X server varies by less).
constexpr std::chrono::microseconds kHeldUp{150};

} // namespace

uint32_t SdlPlatform::timeGetTime() {
    lastReading_ = Clock::now();
    return uint32_t(std::chrono::duration_cast<milliseconds>(lastReading_ - epoch_).count());
}

uint32_t SdlPlatform::timeOfDayMs() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const int64_t ms = std::chrono::duration_cast<milliseconds>(sinceEpoch).count();
    // Unix time has no leap seconds, so the time of day is the remainder of the day.
    return uint32_t(ms % (int64_t(24) * 60 * 60 * 1000));
}

void SdlPlatform::idleUntil(uint32_t ms) {
    const Clock::time_point now = Clock::now();
    const int64_t nowMs = std::chrono::duration_cast<milliseconds>(now - epoch_).count();
    // The target is a reading of the 32-bit clock; its distance from now is taken modulo 2^32.
    const int32_t ahead = int32_t(ms - uint32_t(nowMs));
    Clock::time_point deadline = epoch_ + milliseconds(nowMs + ahead);
    deadline = std::max(deadline, frameStart_ + kFrame);
    // Never more than one frame from now, whatever the caller asked for.
    deadline = std::min(deadline, now + kFrame + milliseconds(1));
    waitUntil(deadline);
}

void SdlPlatform::waitUntil(Clock::time_point deadline) {
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return;
        const auto left = deadline - now;
        if (left > kEventWaitMargin + milliseconds(1)) {
            const auto wholeMs = std::chrono::duration_cast<milliseconds>(left - kEventWaitMargin);
            // Returns at once when a key or another event arrives: the caller handles it and
            // waits again.
            if (SDL_WaitEventTimeout(nullptr, int(wholeMs.count())) == 1) return;
            continue;
        }
        // The rest is slept to the exact deadline.
        sleepUntil(deadline);
        return;
    }
}

void SdlPlatform::updateWindowPaced() {
    // A frame composed faster than the one before it still waits its turn.
    if (presented_) presentSleep_.sleepTowards(lastPresent_ + kPresentSpacing);
    const Clock::time_point before = Clock::now();
    presentLog_.record(
        std::chrono::duration_cast<std::chrono::nanoseconds>(before.time_since_epoch()).count());
    output_->show();
    const Clock::time_point after = Clock::now();

    // SDL writes the request a few microseconds after "before" and then waits for the X
    // server's answer, which takes a round trip. Spacing the next frame from "before" keeps
    // the requests 16 ms apart, unless the thread lost the processor before the write, so
    // that the write came late. A present that took distinctly longer than the quickest
    // recent one is taken to have been held up so: its write may have come as late as the
    // return less that quickest hand-over, and the next frame is spaced from there.
    const Clock::duration took = after - before;
    handOffs_[handOffCount_ % handOffs_.size()] = took;
    ++handOffCount_;
    const size_t known = std::min(handOffCount_, handOffs_.size());
    const Clock::duration quickest =
        *std::min_element(handOffs_.begin(), handOffs_.begin() + known);
    lastPresent_ = took - quickest > kHeldUp ? after - quickest : before;
}
