#include "replay/ReplayRecorder.h"

#include "app/GameState.h"
#include "app/Version.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Long scores are cut in file names; the file itself holds the whole score.
constexpr size_t kScoreInName = 40;

bool endsWith(const std::string& s, const char* tail) {
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

ReplayRecorder::ReplayRecorder(Platform& inner, size_t capacity)
    : ForwardingPlatform(inner), capacity_(capacity) {
    replay_.events.reserve(capacity_);
    replay_.answers.reserve(capacity_ / 4);
}

uint32_t ReplayRecorder::timeOfDayMs() {
    // The game seeds its random generator with this once, just before its first reset.
    seedAtStart_ = ForwardingPlatform::timeOfDayMs();
    seedPending_ = true;
    return seedAtStart_;
}

void ReplayRecorder::pumpMessages() {
    // The first pump follows start-up, when the first reset's state is complete.
    if (seedPending_ && g_ != nullptr) {
        seedPending_ = false;
        beginAtReset(seedAtStart_);
    }
    ForwardingPlatform::pumpMessages();
}

bool ReplayRecorder::getAsyncKeyState(uint8_t key) {
    const bool down = ForwardingPlatform::getAsyncKeyState(key);
    if (recording_) {
        if (down == lastAnswer_) {
            ++answerRun_;
        } else if (room(0)) {
            putNumber(replay_.answers, answerRun_);
            lastAnswer_ = down;
            answerRun_ = 1;
        }
    }
    return down;
}

void ReplayRecorder::present(const Surface& frame) {
    ForwardingPlatform::present(frame);
    if (!recording_ || g_ == nullptr) return;
    const int32_t elapsed = int32_t(uint32_t(g_->lastframe) - uint32_t(lastFrameMark_));
    lastFrameMark_ = g_->lastframe;
    if (elapsed == 16) {
        ++plainFrames_;
    } else if (room(7)) {
        flushFrames();
        replay_.events.push_back(kEventLongFrame);
        putNumber(replay_.events, uint32_t(elapsed - 16));
    }
    ++replay_.frames;
    if (!gameOn_ && g_->mode == 1) {
        gameOn_ = true;
        replay_.started = unixTime();
    } else if (gameOn_ && g_->mode == 4) {
        finish(false, g_->score, g_->level);
    }
}

void ReplayRecorder::onKeyDown(uint8_t key) {
    if (g_ == nullptr) {
        ForwardingPlatform::onKeyDown(key);
        return;
    }
    if (recording_ && room(7)) {
        flushFrames();
        replay_.events.push_back(kEventKey);
        replay_.events.push_back(key);
    }
    const uint32_t seed = g_->rng.seed;
    const uint8_t modeBefore = g_->mode;
    const DecStr score = g_->score;
    const uint8_t level = g_->level;
    ForwardingPlatform::onKeyDown(key); // Esc ends the program from here
    // Only a reset brings the game back to the title.
    if (modeBefore != 0 && g_->mode == 0) {
        if (gameOn_) finish(true, score, level);
        beginAtReset(seed);
    }
}

void ReplayRecorder::programEnded() {
    if (gameOn_ && g_ != nullptr) finish(true, g_->score, g_->level);
}

void ReplayRecorder::beginAtReset(uint32_t seed) {
    const GameState& g = *g_;
    replay_.events.clear();
    replay_.answers.clear();
    replay_.frames = 0;
    replay_.flags = 0;
    replay_.name.len = 0;
    ReplayStart& s = replay_.start;
    s.seed = seed;
    s.bgenabled = g.bgenabled;
    s.seenabled = g.seenabled;
    s.bgm = g.midiplayer ? g.midiplayer->enabled : 0;
    s.zoom = g.zoom;
    s.paused = g.paused;
    s.marquee10 = g.marquee[10].xoff;
    s.bgpath = g.bgpath;
    std::copy(g.ranking.begin(), g.ranking.begin() + 10, s.ranking.begin());
    plainFrames_ = 0;
    lastAnswer_ = false;
    answerRun_ = 0;
    overflow_ = false;
    lastFrameMark_ = g.lastframe;
    recording_ = true;
    gameOn_ = false;
}

bool ReplayRecorder::room(size_t bytes) {
    if (replay_.events.size() + bytes > replay_.events.capacity() ||
        replay_.answers.size() + 5 > replay_.answers.capacity())
        overflow_ = true;
    return !overflow_;
}

void ReplayRecorder::flushFrames() {
    if (plainFrames_ == 0) return;
    replay_.events.push_back(kEventFrames);
    putNumber(replay_.events, plainFrames_);
    plainFrames_ = 0;
}

void ReplayRecorder::finish(bool abandoned, const DecStr& score, uint8_t level) {
    const GameState& g = *g_;
    recording_ = false;
    gameOn_ = false;
    if (overflow_) {
        std::fprintf(stderr,
                     "vortalix: this game is not kept as a replay: it outgrew the %zu "
                     "bytes set aside for it\n",
                     capacity_);
        return;
    }
    flushFrames();
    putNumber(replay_.answers, answerRun_);
    replay_.flags = abandoned ? kReplayAbandoned : 0;
    if (!abandoned && g.newrank < 10) {
        replay_.flags |= kReplayRanked;
        replay_.name = g.ranking[g.newrank].name;
    }
    replay_.gameVersion = kGameVersion;
    replay_.score = score;
    replay_.level = level;
    const std::vector<uint8_t> bytes = encodeReplay(replay_);

    std::string error;
    if (!outputPath.empty()) {
        if (!writeFileAtomic(outputPath, bytes.data(), bytes.size(), error))
            std::fprintf(stderr, "vortalix: replay not saved: %s\n", error.c_str());
        else
            written(outputPath, abandoned);
        return;
    }
    const std::string dir = g.files.settingsDir + "replays/";
    if (bytes.empty() || !makeDirectories(dir, error)) {
        std::fprintf(stderr, "vortalix: replay not saved: %s\n",
                     bytes.empty() ? "it cannot be packed" : error.c_str());
        return;
    }
    const std::string base = dir + localTimeStamp() + "-" +
                             std::string(score.ch, std::min<size_t>(score.len, kScoreInName));
    std::string path = base + kReplayExtension;
    for (int n = 2; (fileExists(path) || isDirectory(path)) && n < 1000; ++n)
        path = base + "-" + std::to_string(n) + kReplayExtension;
    if (!writeFileAtomic(path, bytes.data(), bytes.size(), error)) {
        std::fprintf(stderr, "vortalix: replay not saved: %s\n", error.c_str());
        return;
    }
    written(path, abandoned);
    prune(dir);
}

void ReplayRecorder::written(const std::string& path, bool abandoned) {
    lastWritten_ = path;
    if (listener != nullptr) listener->replayWritten(path, abandoned);
}

void ReplayRecorder::prune(const std::string& dir) {
    std::vector<std::string> names = listFiles(dir);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return !endsWith(n, kReplayExtension); }),
                names.end());
    if (names.size() <= kKeepLatest) return;
    // The names begin with the date and time, so the newest sort last.
    std::sort(names.begin(), names.end());
    const GameState& g = *g_;
    for (size_t i = 0; i + kKeepLatest < names.size(); ++i) {
        std::vector<uint8_t> bytes;
        Replay r;
        std::string error;
        bool standing = false;
        if (readFile(dir + names[i], kMaxReplayFile, bytes) == ReadStatus::Ok &&
            decodeReplay(bytes.data(), bytes.size(), r, error, true) &&
            (r.flags & kReplayRanked) != 0) {
            for (size_t k = 0; k < 10 && !standing; ++k)
                standing =
                    g.ranking[k].score.sameText(r.score) && g.ranking[k].name.sameText(r.name);
        }
        if (!standing) removeFile(dir + names[i]);
    }
}
