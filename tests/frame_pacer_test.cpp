// The game's clock over a display's animation frames: 62.5 frames a second of real time at any
// refresh rate, every due frame run in the animation frame that finds it due, and after a
// stall only a handful of frames caught up.

#include "app/FramePacer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A display's clock: the instants its animation frames begin.
struct Display {
    const char* name;
    double hz;        // steady refresh rate; 0 for the uneven one
    double stallAtMs; // an animation frame comes this late once (0: never)
    double stallForMs;
};

// A repeatable uneven clock: intervals between 4 and 40 ms in no order, as a busy device
// with a variable-rate display gives them.
double unevenInterval(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return 4.0 + double(state >> 8) / double(1u << 24) * 36.0;
}

struct Outcome {
    int64_t frames = 0;
    int32_t mostInOneAnimationFrame = 0;
    int32_t afterStall = 0; // frames run by the animation frame that ended the stall
    double lastMs = 0;      // the last animation frame, after the start
    double droppedMs = 0;
};

Outcome play(const Display& d, double seconds) {
    FramePacer pacer;
    Outcome r;
    uint32_t random = 12345;
    const double start = 1000.25; // a page's timeline does not begin at the game's start
    double t = start;
    bool stalled = false;
    while (t - start < seconds * 1000.0) {
        pacer.beginAnimationFrame(t);
        int32_t n = 0;
        while (pacer.frameDue(16.0)) ++n;
        EXPECT_EQ(n, pacer.framesThisAnimationFrame());
        if (stalled) {
            r.afterStall = n;
            stalled = false;
        } else if (n > r.mostInOneAnimationFrame) {
            r.mostInOneAnimationFrame = n;
        }
        r.frames += n;
        r.lastMs = t - start;
        double next = d.hz > 0 ? 1000.0 / d.hz : unevenInterval(random);
        if (d.stallForMs > 0 && t - start < d.stallAtMs && t + next - start >= d.stallAtMs) {
            next += d.stallForMs;
            stalled = true;
        }
        t += next;
    }
    r.droppedMs = pacer.droppedMs();
    return r;
}

class RefreshRate : public ::testing::TestWithParam<Display> {};

TEST_P(RefreshRate, RunsSixtyTwoAndAHalfFramesASecond) {
    const Display d = GetParam();
    const double seconds = 60.0;
    const Outcome r = play(d, seconds);
    const double perSecond = double(r.frames) / seconds;
    EXPECT_NEAR(perSecond, 62.5, 62.5 * 0.001) << r.frames << " frames in " << seconds << " s";
    // No animation frame runs more frames than its interval holds, rounded up.
    const double longest = d.hz > 0 ? 1000.0 / d.hz : 40.0;
    EXPECT_LE(r.mostInOneAnimationFrame, int32_t(std::ceil(longest / 16.0)));
    EXPECT_GE(r.mostInOneAnimationFrame, 1);
}

INSTANTIATE_TEST_SUITE_P(Displays, RefreshRate,
                         ::testing::Values(Display{"Hz50", 50, 0, 0}, Display{"Hz60", 60, 0, 0},
                                           Display{"Hz75", 75, 0, 0}, Display{"Hz90", 90, 0, 0},
                                           Display{"Hz120", 120, 0, 0}, Display{"Hz144", 144, 0, 0},
                                           Display{"Hz165", 165, 0, 0}, Display{"Hz240", 240, 0, 0},
                                           Display{"Uneven", 0, 0, 0}),
                         [](const ::testing::TestParamInfo<Display>& info) {
                             return std::string(info.param.name);
                         });

class Stall : public ::testing::TestWithParam<Display> {};

TEST_P(Stall, CatchesUpAHandfulAndDropsTheRest) {
    const Display d = GetParam();
    const double seconds = 20.0;
    const Outcome r = play(d, seconds);
    // The animation frame after the stall runs the frames of at most FramePacer::kMaxLagMs
    // and the one due at its start.
    EXPECT_GE(r.afterStall, 1);
    EXPECT_LE(r.afterStall, int32_t(FramePacer::kMaxLagMs / 16.0) + 1);
    // The stalled time is lost to the game, but for what caught up; the rest ran at the
    // game's pace.
    EXPECT_NEAR(r.droppedMs, d.stallForMs - FramePacer::kMaxLagMs, 40.0 + 16.0);
    EXPECT_NEAR(double(r.frames), (r.lastMs - r.droppedMs) / 16.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Displays, Stall,
                         ::testing::Values(Display{"HiddenTabAt60Hz", 60, 5000, 3000},
                                           Display{"DebuggerAt144Hz", 144, 7000, 8000},
                                           Display{"SlowDeviceAt50Hz", 50, 3000, 250},
                                           Display{"UnevenWithStall", 0, 4000, 1500}),
                         [](const ::testing::TestParamInfo<Display>& info) {
                             return std::string(info.param.name);
                         });

TEST(FramePacer, TheFirstFrameIsDueOneLengthAfterTheFirstAnimationFrame) {
    FramePacer pacer;
    pacer.beginAnimationFrame(500.0);
    EXPECT_FALSE(pacer.frameDue(16.0));
    pacer.beginAnimationFrame(515.9);
    EXPECT_FALSE(pacer.frameDue(16.0));
    pacer.beginAnimationFrame(516.0);
    EXPECT_TRUE(pacer.frameDue(16.0));
    EXPECT_FALSE(pacer.frameDue(16.0));
    EXPECT_EQ(pacer.framesRun(), 1);
}

TEST(FramePacer, FramesOfTheirOwnLengthWaitTheirWholeLength) {
    // A recorded frame of 1 s is waited out in full even though that is more than the lag
    // that counts as a stall: the wait is part of the frame, not missed time.
    FramePacer pacer;
    pacer.beginAnimationFrame(0.0);
    double t = 0;
    int32_t frames = 0;
    double shownAt = -1;
    while (t < 2000.0 && frames == 0) {
        t += 1000.0 / 60.0;
        pacer.beginAnimationFrame(t);
        if (pacer.frameDue(1000.0)) {
            ++frames;
            shownAt = t;
        }
    }
    EXPECT_EQ(frames, 1);
    EXPECT_GE(shownAt, 1000.0);
    EXPECT_LT(shownAt, 1000.0 + 1000.0 / 60.0);
    EXPECT_DOUBLE_EQ(pacer.droppedMs(), 0.0);
}

TEST(FramePacer, HoldingStopsTheFramesAndRestartsTheClock) {
    FramePacer pacer;
    pacer.beginAnimationFrame(0.0);
    for (double t = 16.0; t < 1000.0; t += 16.0) {
        pacer.beginAnimationFrame(t);
        pacer.hold();
        EXPECT_FALSE(pacer.frameDue(16.0)) << "at " << t;
    }
    // Held last at 992 ms: the next frame is due 16 ms later, none before.
    pacer.beginAnimationFrame(1000.0);
    EXPECT_FALSE(pacer.frameDue(16.0));
    pacer.beginAnimationFrame(1008.0);
    EXPECT_TRUE(pacer.frameDue(16.0));
    EXPECT_FALSE(pacer.frameDue(16.0));
    EXPECT_DOUBLE_EQ(pacer.droppedMs(), 0.0);
}

TEST(FramePacer, ZeroLengthFramesStillEnd) {
    FramePacer pacer;
    pacer.beginAnimationFrame(0.0);
    pacer.beginAnimationFrame(16.0);
    int32_t n = 0;
    while (pacer.frameDue(0.0) && n < 1000) ++n;
    EXPECT_LE(n, 17);
}

TEST(FramePacer, AClockThatGoesBackHoldsNothingBack) {
    FramePacer pacer;
    pacer.beginAnimationFrame(100000.0);
    pacer.beginAnimationFrame(10.0);
    EXPECT_FALSE(pacer.frameDue(16.0));
    pacer.beginAnimationFrame(26.0);
    EXPECT_TRUE(pacer.frameDue(16.0));
}

} // namespace
