#include "replay/ReplayPlayer.h"

#include <cstring>

namespace {

// A recorded frame can be no longer than this; anything longer is a damaged recording, and
// the clock must not be thrown far ahead.
constexpr uint32_t kMaxFrameMs = 3600u * 1000;

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isRankingFile(const std::string& path) {
    return baseName(path) == "score.vtx";
}

bool isSettingsFile(const std::string& path) {
    return baseName(path) == "VORTALIX.ini";
}

} // namespace

ReplayPlatform::ReplayPlatform(Platform& inner, const Replay& replay)
    : ForwardingPlatform(inner), replay_(replay) {
    const ReplayStart& s = replay.start;
    const std::string text =
        "[BackGround]\nPath=" + s.bgpath + "\nEnable=" + std::to_string(s.bgenabled) +
        "\n[Sound]\nSE=" + std::to_string(s.seenabled) + "\nBGM=" + std::to_string(s.bgm) +
        "\n[Zoom]\nEnable=" + std::to_string(s.zoom) + "\n";
    settingsText_.assign(text.begin(), text.end());
}

void ReplayPlatform::idleUntil(uint32_t ms) {
    // A recorded frame is never shorter than 16 ms, so the game does not wait; should it, the
    // clock simply moves on.
    if (int32_t(ms - now) > 0) now = ms;
}

bool ReplayPlatform::getAsyncKeyState(uint8_t) {
    if (recordingOver) return false;
    while (answerRun_ == 0) {
        uint32_t run = 0;
        if (!getNumber(replay_.answers, answerAt_, run)) {
            ranOut_ = true;
            return false;
        }
        answer_ = !answer_;
        answerRun_ = run;
    }
    --answerRun_;
    return answer_;
}

bool ReplayPlatform::answersLeft() const {
    if (answerRun_ > 0) return true;
    size_t at = answerAt_;
    uint32_t run = 0;
    while (getNumber(replay_.answers, at, run))
        if (run > 0) return true;
    return false;
}

void ReplayPlatform::present(const Surface& frame) {
    if (showFrames) ForwardingPlatform::present(frame);
}

ReadStatus ReplayPlatform::readFile(const std::string& path, size_t maxBytes,
                                    std::vector<uint8_t>& out) {
    if (isRankingFile(path)) {
        const uint8_t* b = reinterpret_cast<const uint8_t*>(replay_.start.ranking.data());
        out.assign(b, b + sizeof replay_.start.ranking);
        return ReadStatus::Ok;
    }
    if (isSettingsFile(path)) {
        out = settingsText_;
        return ReadStatus::Ok;
    }
    return ForwardingPlatform::readFile(path, maxBytes, out);
}

bool ReplayPlatform::fileExists(const std::string& path) {
    return isRankingFile(path) || isSettingsFile(path) || ForwardingPlatform::fileExists(path);
}

bool ReplayPlatform::writeFileAtomic(const std::string& path, const void* data, size_t size,
                                     std::string& error) {
    // Watching a game changes nothing of the player's.
    if (isRankingFile(path) || isSettingsFile(path)) return true;
    return ForwardingPlatform::writeFileAtomic(path, data, size, error);
}

void ReplayPlatform::onKeyDown(uint8_t key) {
    if (onWatcherKey) onWatcherKey(key);
}

void ReplayPlatform::onCloseRequest() {
    if (onWatcherClose) onWatcherClose();
}

ReplayPlayer::ReplayPlayer(Platform& real, const Replay& replay)
    : replay_(replay), platform_(real, replay), form_(platform_) {}

bool ReplayPlayer::begin() {
    try {
        form_.FormCreate();
    } catch (const ProgramExit& e) {
        form_.FormDestroy();
        exitCode_ = e.code;
        ended_ = true;
        return false;
    }
    // What the reset does not touch and the files do not carry.
    form_.g.paused = replay_.start.paused;
    form_.g.marquee[10].xoff = replay_.start.marquee10;
    return true;
}

int32_t ReplayPlayer::nextFrameLength() const {
    if (ended_) return 0;
    if (plainLeft_ > 0) return 16;
    size_t at = at_;
    while (at < replay_.events.size()) {
        const uint8_t code = replay_.events[at++];
        uint32_t v = 0;
        if (code == kEventKey) {
            ++at;
            continue;
        }
        if (!getNumber(replay_.events, at, v)) return 0;
        if (code == kEventLongFrame) return int32_t(16 + std::min(v, kMaxFrameMs));
        if (code == kEventFrames && v > 0) return 16;
    }
    return 0;
}

bool ReplayPlayer::step() {
    if (ended_) return false;
    // Keys wait for the frame they came before; keys after the last frame (the F3 or Esc
    // that abandoned a game) are not played.
    uint8_t keys[64];
    size_t keyCount = 0;
    uint32_t length = 0;
    while (length == 0) {
        if (plainLeft_ > 0) {
            --plainLeft_;
            length = 16;
            break;
        }
        if (at_ >= replay_.events.size()) {
            ended_ = true;
            return false;
        }
        const uint8_t code = replay_.events[at_++];
        uint32_t v = 0;
        if (code == kEventKey) {
            if (at_ >= replay_.events.size()) {
                malformed_ = true;
                break;
            }
            if (keyCount == sizeof keys) { // more keys than a frame ever gets: play them now
                for (size_t k = 0; k < keyCount; ++k)
                    if (!deliver(keys[k])) return false;
                keyCount = 0;
            }
            keys[keyCount++] = replay_.events[at_++];
            continue;
        }
        if (!getNumber(replay_.events, at_, v) ||
            (code != kEventFrames && code != kEventLongFrame)) {
            malformed_ = true;
            break;
        }
        if (code == kEventFrames) plainLeft_ = v;
        if (code == kEventLongFrame) length = 16 + std::min(v, kMaxFrameMs);
    }
    if (length == 0) {
        ended_ = true;
        return false;
    }
    for (size_t k = 0; k < keyCount; ++k)
        if (!deliver(keys[k])) return false;
    return frame(length);
}

void ReplayPlayer::runOn() {
    platform_.recordingOver = true;
    frame(16);
}

bool ReplayPlayer::frame(uint32_t length) {
    // The clock reads `length` ms after the previous frame began, so the game's frame wait
    // ends at once with that frame length.
    platform_.now = uint32_t(form_.g.lastframe) + length;
    try {
        bool done = true;
        form_.mainloop(done);
    } catch (const ProgramExit& e) {
        exitCode_ = e.code;
        ended_ = true;
        return false;
    }
    return true;
}

void ReplayPlayer::end() {
    form_.FormDestroy();
}

bool ReplayPlayer::deliver(uint8_t key) {
    // A screenshot or a picture chosen then is not taken again.
    if (key == vk::F1 || key == vk::F2) return true;
    try {
        form_.FormKeyDown(key);
    } catch (const ProgramExit& e) {
        exitCode_ = e.code;
        ended_ = true;
        return false;
    }
    return true;
}

bool ReplayPlayer::desynchronised() const {
    return malformed_ || platform_.answersRanOut() || (ended_ && platform_.answersLeft());
}

bool loadReplay(Platform& p, const std::string& path, Replay& out, std::string& error) {
    std::vector<uint8_t> bytes;
    switch (p.readFile(path, kMaxReplayFile, bytes)) {
    case ReadStatus::Ok:
        break;
    case ReadStatus::Missing:
        error = path + ": no such file";
        return false;
    case ReadStatus::NotRegular:
        error = path + ": not a regular file";
        return false;
    case ReadStatus::TooLarge:
        error = path + ": too large for a replay";
        return false;
    case ReadStatus::Error:
        error = path + ": cannot be read";
        return false;
    }
    std::string why;
    if (!decodeReplay(bytes.data(), bytes.size(), out, why)) {
        error = path + ": " + why;
        return false;
    }
    return true;
}
