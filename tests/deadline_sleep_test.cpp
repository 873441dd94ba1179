// The sleeps of the frame wait: one to an exact deadline never ends before it, and the one
// that aims early for the wake-up time never ends more than its room before the instant.

#include "platform/sdl/DeadlineSleep.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

class SleepUntil : public ::testing::TestWithParam<int32_t> {};

TEST_P(SleepUntil, NeverEndsBeforeTheDeadline) {
    sharpenTimerSlack();
    for (int32_t i = 0; i < 20; ++i) {
        const Clock::time_point deadline = Clock::now() + microseconds(GetParam());
        sleepUntil(deadline);
        EXPECT_GE(Clock::now(), deadline) << "round " << i;
    }
}

// Microseconds ahead: already past, shorter than a wake-up, a present's last stretch.
INSTANTIATE_TEST_SUITE_P(Ahead, SleepUntil, ::testing::Values(-500, 0, 20, 300, 2000),
                         [](const auto& info) {
                             return (info.param < 0 ? "minus" : "") +
                                    std::to_string(std::abs(info.param)) + "us";
                         });

TEST(CompensatedSleep, EndsNoMoreThanItsRoomBeforeTheInstant) {
    const microseconds room(40);
    CompensatedSleep sleep(room);
    for (int32_t i = 0; i < 40; ++i) {
        const Clock::time_point instant = Clock::now() + microseconds(1500);
        sleep.sleepTowards(instant);
        EXPECT_GE(Clock::now(), instant - room) << "round " << i;
    }
}

} // namespace
