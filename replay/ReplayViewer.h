#pragma once
// Watching a recorded game where the caller owns the loop: a browser calls once per animation
// frame, with the display's clock, and every recorded frame that has become due runs then, at
// the recording's own pace (FramePacer). It plays as `vortalix --replay` does: the watcher's
// F7 pauses, Tab held plays four times as fast (one frame in four shown), F1 saves a
// screenshot, Esc or closing ends the watching; after the recording the game runs on by itself
// on its ranking screen, or stands still when the recorded game was abandoned. Nothing of the
// player's (ranking, settings) is written, since the game runs on the replay's platform.

#include "app/FramePacer.h"
#include "replay/ReplayPlayer.h"

#include <cstdint>

class ReplayViewer {
  public:
    // `replay` must outlive the viewer.
    ReplayViewer(Platform& real, const Replay& replay);
    ReplayViewer(const ReplayViewer&) = delete;
    ReplayViewer& operator=(const ReplayViewer&) = delete;

    // Starts the program; false when it ended at start-up (a missing data file), see exitCode.
    bool begin();
    // One animation frame that began at nowMs: the watcher's keys between the frames, and the
    // frames that are due. False when the watching is over.
    bool animationFrame(double nowMs);
    // The program's end: FormDestroy, which writes nothing of the player's.
    void end();

    // The recording has been played to its last frame (the canvas shows it until the next
    // frame runs on).
    bool recordingOver() const { return recordingOver_; }
    bool paused() const { return paused_; }
    int exitCode() const { return player_.exitCode(); }
    ReplayPlayer& player() { return player_; }
    const FramePacer& pacer() const { return pacer_; }

  private:
    Platform& real_;
    ReplayPlayer player_;
    FramePacer pacer_;
    bool abandoned_ = false;
    bool quit_ = false;
    bool paused_ = false;
    bool recordingOver_ = false;
    bool ended_ = false;
    uint32_t frame_ = 0;
};
