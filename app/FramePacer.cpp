#include "app/FramePacer.h"

void FramePacer::beginAnimationFrame(double nowMs) {
    if (!started_) {
        started_ = true;
        last_ = nowMs;
    }
    // A clock that went back (a page's timeline never does, but a restarted one might) would
    // hold every frame back for as long; the frames go on from here instead.
    if (nowMs < last_) last_ = nowMs;
    now_ = nowMs;
    thisAnimationFrame_ = 0;
}

bool FramePacer::frameDue(double lengthMs) {
    // A frame takes some time, or a caller's loop over the due frames would never end.
    if (lengthMs < 1.0) lengthMs = 1.0;
    double due = last_ + lengthMs;
    if (due > now_) return false;
    if (now_ - due > kMaxLagMs) {
        droppedMs_ += now_ - due - kMaxLagMs;
        due = now_ - kMaxLagMs;
    }
    last_ = due;
    ++thisAnimationFrame_;
    ++framesRun_;
    return true;
}

void FramePacer::hold() {
    if (last_ < now_) last_ = now_;
}
