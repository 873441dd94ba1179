#include "replay/ReplayViewer.h"

#include "render/Frame.h"

ReplayViewer::ReplayViewer(Platform& real, const Replay& replay)
    : real_(real), player_(real, replay), abandoned_((replay.flags & kReplayAbandoned) != 0) {
    ReplayPlatform& rp = player_.platform();
    rp.onWatcherKey = [this](uint8_t key) {
        if (key == vk::Escape) quit_ = true;
        if (key == vk::F7) paused_ = !paused_;
        if (key == vk::F1) sc_shot(player_.form().g);
    };
    rp.onWatcherClose = [this] { quit_ = true; };
}

bool ReplayViewer::begin() {
    if (!player_.begin()) {
        ended_ = true;
        return false;
    }
    return true;
}

bool ReplayViewer::animationFrame(double nowMs) {
    if (ended_) return false;
    ReplayPlatform& rp = player_.platform();
    pacer_.beginAnimationFrame(nowMs);
    rp.pumpMessages();
    while (!quit_) {
        if (paused_ || (recordingOver_ && abandoned_)) {
            // Nothing moves; the canvas keeps showing the last frame.
            pacer_.hold();
            break;
        }
        const bool fast = real_.getAsyncKeyState(vk::Tab);
        const int32_t length = recordingOver_ ? 16 : player_.nextFrameLength();
        // Four times as fast: a quarter of the wait, and one frame in four shown.
        if (!pacer_.frameDue(double(fast ? (length + 3) / 4 : length))) break;
        rp.showFrames = !fast || frame_ % 4 == 0;
        ++frame_;
        if (recordingOver_) {
            player_.runOn();
        } else if (!player_.step()) {
            recordingOver_ = true;
            if (player_.exitCode() != 0) quit_ = true;
            // The recording's last frame stays on the canvas for this animation frame.
            break;
        }
        rp.pumpMessages();
    }
    return !quit_;
}

void ReplayViewer::end() {
    if (ended_) return;
    ended_ = true;
    player_.end();
}
