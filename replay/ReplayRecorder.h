#pragma once
// Records every game played, between the game and the platform it runs on: it sees the seed
// the game takes, each key-down event on its way in, each speed-key answer and each frame on
// its way out, and reads the game's state to tell where a game starts and ends. A game's file
// is written once, when it ends, into the replays folder beside the settings file.
//
// The recording of a game begins at the reset before it (the title it was started from is
// part of it, since the title draws random numbers every frame) and ends on its first frame
// of the ranking screen, or at F3 or Esc (kept, marked abandoned). All memory is reserved
// when the recorder is made; a game that outgrows it is not kept, and says so.

#include "platform/ForwardingPlatform.h"
#include "replay/ReplayFile.h"

#include <string>

struct GameState;

// Told of each replay file as soon as it is written, on the window's thread: it must only take
// note and return.
class ReplayListener {
  public:
    virtual ~ReplayListener() = default;
    virtual void replayWritten(const std::string& path, bool abandoned) = 0;
};

class ReplayRecorder : public ForwardingPlatform {
  public:
    static constexpr size_t kDefaultCapacity = size_t(4) * 1024 * 1024;
    // How many of the latest games are kept, besides those that still stand in the ranking.
    static constexpr size_t kKeepLatest = 50;

    explicit ReplayRecorder(Platform& inner, size_t capacity = kDefaultCapacity);

    // The game whose state tells when games start and end.
    void watch(const GameState* g) { g_ = g; }
    // The program has ended: a game under way is kept as abandoned.
    void programEnded();
    // When set, each game goes to exactly this file instead, and nothing is pruned.
    std::string outputPath;
    // Told of every file written; none when null.
    ReplayListener* listener = nullptr;
    // Path of the latest replay written, empty when none.
    const std::string& lastWritten() const { return lastWritten_; }

    uint32_t timeOfDayMs() override;
    void pumpMessages() override;
    bool getAsyncKeyState(uint8_t key) override;
    void present(const Surface& frame) override;
    void onKeyDown(uint8_t key) override;

  private:
    void beginAtReset(uint32_t seed);
    void flushFrames();
    void finish(bool abandoned, const DecStr& score, uint8_t level);
    void written(const std::string& path, bool abandoned);
    void prune(const std::string& dir);
    bool room(size_t bytes);

    const GameState* g_ = nullptr;
    size_t capacity_;
    bool recording_ = false; // a reset has been seen
    bool gameOn_ = false;    // the start key was pressed since
    bool overflow_ = false;
    uint32_t seedAtStart_ = 0;
    bool seedPending_ = false;  // seeded, the reset's state not yet taken
    int32_t lastFrameMark_ = 0; // the game's lastframe when the previous frame began
    Replay replay_;
    uint32_t plainFrames_ = 0; // 16 ms frames not yet written out
    bool lastAnswer_ = false;
    uint32_t answerRun_ = 0;
    std::string lastWritten_;
};
