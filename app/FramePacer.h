#pragma once
// The game's own clock on top of a display's clock. A browser wakes the game once per animation
// frame, at whatever rate the display refreshes (50, 60, 144 Hz, or unevenly on a busy device),
// while the game's frames must come at their own pace: one every 16 ms, 62.5 a second. Each
// animation frame therefore runs every frame that has become due since the previous one, and
// shows the last.
//
// Frames may differ in length (a recorded game replays its frames' own lengths), so the caller
// asks frame by frame with the length of the next one. When the display stalled (a hidden tab,
// a slow device, a debugger), at most kMaxLagMs of missed frames catch up and the rest of the
// missed time is dropped, as the desktop drops the time of a late frame: the game resumes where
// it was instead of rushing.
//
// A device too slow to run a frame in its time must not be made slower still by catching up:
// once the frames of one animation frame have taken kWorkBudgetMs of real work, the rest wait
// for the next animation frame (and are dropped if they fall too far behind), so the page stays
// responsive and the game merely runs slow, as the desktop does on a slow machine.
//
// Pure arithmetic on the caller's clock (milliseconds as double, as browsers give them), so that
// the rule can be tried at any refresh rate without a browser.

#include <cstdint>

class FramePacer {
  public:
    // How far the game may fall behind the display before the missed time is dropped: five
    // frames of 16 ms still catch up, which also covers displays down to 16 animation frames a
    // second without losing time.
    static constexpr double kMaxLagMs = 64.0;
    // Real work one animation frame may spend on catching up; the first due frame always runs.
    // Three frames of 3 ms still fit, which catches a 30 Hz display up in full; a slow phone's
    // page gets its thread back before a task is long enough to be felt.
    static constexpr double kWorkBudgetMs = 7.0;

    // An animation frame begins at nowMs. The first one starts the clock: the first frame is
    // due one frame length after it.
    void beginAnimationFrame(double nowMs);
    // True when a frame of lengthMs after the previous one is due by this animation frame; it
    // is then counted as run. workMs: the real time the frames of this animation frame have
    // taken so far.
    bool frameDue(double lengthMs, double workMs = 0.0);
    // Nothing is due while held (a paused replay): the clock restarts from this animation frame.
    void hold();

    // Frames run in the current animation frame, and in all.
    int32_t framesThisAnimationFrame() const { return thisAnimationFrame_; }
    int64_t framesRun() const { return framesRun_; }
    // Milliseconds of missed time dropped after stalls, in all.
    double droppedMs() const { return droppedMs_; }
    // When the frame run last was due on the caller's clock.
    double lastDueMs() const { return last_; }

  private:
    bool started_ = false;
    double now_ = 0;
    double last_ = 0; // when the previous frame was due, on the caller's clock
    int32_t thisAnimationFrame_ = 0;
    int64_t framesRun_ = 0;
    double droppedMs_ = 0;
};
