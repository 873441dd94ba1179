#pragma once
// Plays a recorded game again. The game runs as it always does, on a platform that stands
// between it and the real one: the clock gives each frame its recorded length, the speed keys
// answer as they did, the ranking and the settings are read from the recording and never
// written, and the keys of whoever watches go to the player instead of the game.
//
// `ReplayPlayer::begin` starts the program (FormCreate), `step` plays one recorded frame; the
// window program paces the steps, the headless verifier runs them as fast as it can.

#include "app/TForm1.h"
#include "platform/ForwardingPlatform.h"
#include "replay/ReplayFile.h"

#include <functional>
#include <string>

class ReplayPlatform : public ForwardingPlatform {
  public:
    ReplayPlatform(Platform& inner, const Replay& replay);

    // The replay clock; the player moves it.
    uint32_t now = 0;
    // Keys of the watcher, not of the game.
    std::function<void(uint8_t)> onWatcherKey;
    std::function<void()> onWatcherClose;
    // Presents pass to the real platform only while set (fast forward skips some).
    bool showFrames = true;
    // Past the recording's end the game runs on by itself: no key is down.
    bool recordingOver = false;
    // The game asked more speed-key answers than were recorded.
    bool answersRanOut() const { return ranOut_; }
    bool answersLeft() const;

    uint32_t timeGetTime() override { return now; }
    uint32_t timeOfDayMs() override { return replay_.start.seed; }
    void idleUntil(uint32_t ms) override;
    bool getAsyncKeyState(uint8_t key) override;
    void present(const Surface& frame) override;
    bool openFileDialog(const std::string&, const std::string&, const std::string&,
                        std::string&) override {
        return false;
    }
    ReadStatus readFile(const std::string& path, size_t maxBytes,
                        std::vector<uint8_t>& out) override;
    bool fileExists(const std::string& path) override;
    bool writeFileAtomic(const std::string& path, const void* data, size_t size,
                         std::string& error) override;
    void onKeyDown(uint8_t key) override;
    void onCloseRequest() override;

  private:
    const Replay& replay_;
    std::vector<uint8_t> settingsText_;
    size_t answerAt_ = 0;
    uint32_t answerRun_ = 0; // answers left in the current run
    bool answer_ = true;     // flips before the first run, which answers "no"
    bool ranOut_ = false;
};

class ReplayPlayer {
  public:
    ReplayPlayer(Platform& real, const Replay& replay);

    // Starts the program and the recorded game. False when the program ended at start-up
    // (a missing data file); `exitCode` then tells how.
    bool begin();
    // Plays the next recorded frame; false when the recording has no more.
    bool step();
    // After the recording: one more frame of the game running on by itself (the ranking
    // screen), 16 ms after the last.
    void runOn();
    // The program's end: FormDestroy, nothing of the player's written.
    void end();

    // Milliseconds the next recorded frame comes after the one before; 0 at the end.
    int32_t nextFrameLength() const;
    bool desynchronised() const;
    int exitCode() const { return exitCode_; }
    TForm1& form() { return form_; }
    ReplayPlatform& platform() { return platform_; }

  private:
    bool deliver(uint8_t key);
    bool frame(uint32_t length);

    const Replay& replay_;
    ReplayPlatform platform_;
    TForm1 form_;
    size_t at_ = 0;          // position in the event stream
    uint32_t plainLeft_ = 0; // 16 ms frames left in the current run
    bool ended_ = false;
    bool malformed_ = false;
    int exitCode_ = 0;
};

// Reads and checks a replay file; false with a one-line reason naming the file.
bool loadReplay(Platform& p, const std::string& path, Replay& out, std::string& error);
