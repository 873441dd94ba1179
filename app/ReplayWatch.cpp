#include "app/ReplayWatch.h"

#include "render/Frame.h"
#include "replay/ReplayPlayer.h"

#include <cstdio>

int watchReplay(Platform& real, const std::string& file) {
    Replay replay;
    std::string error;
    if (!loadReplay(real, file, replay, error)) {
        std::fprintf(stderr, "vortalix: %s\n", error.c_str());
        return 2;
    }
    ReplayPlayer player(real, replay);
    ReplayPlatform& rp = player.platform();
    bool quit = false, paused = false;
    rp.onWatcherKey = [&](uint8_t key) {
        if (key == vk::Escape) quit = true;
        if (key == vk::F7) paused = !paused;
        if (key == vk::F1) sc_shot(player.form().g);
    };
    rp.onWatcherClose = [&] { quit = true; };
    if (!player.begin()) return player.exitCode();

    const bool abandoned = (replay.flags & kReplayAbandoned) != 0;
    bool recordingOver = false;
    uint32_t due = real.timeGetTime();
    uint32_t frame = 0;
    while (!quit) {
        const bool fast = real.getAsyncKeyState(vk::Tab);
        const int32_t length = recordingOver ? 16 : player.nextFrameLength();
        // Four times as fast: a quarter of the wait, and one frame in four shown.
        due += uint32_t(fast ? (length + 3) / 4 : length);
        while (!quit && int32_t(real.timeGetTime() - due) < 0) {
            rp.pumpMessages();
            real.idleUntil(due);
        }
        rp.pumpMessages();
        if (quit) break;
        if (paused || (recordingOver && abandoned)) {
            // Nothing moves; the window keeps showing the last frame.
            due = real.timeGetTime();
            real.idleUntil(due + 16);
            continue;
        }
        rp.showFrames = !fast || frame % 4 == 0;
        ++frame;
        if (!recordingOver && !player.step()) {
            recordingOver = true;
            if (player.exitCode() != 0) break;
            continue;
        }
        if (recordingOver) player.runOn();
    }
    player.end();
    return 0;
}
