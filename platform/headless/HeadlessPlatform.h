#pragma once
// A platform without a window, for tests and tools: a clock that only moves when asked, key
// events scripted by frame, every presented frame captured, dialogs and message boxes answered
// by the script, and every sound and music call recorded.

#include "platform/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class HeadlessPlatform : public Platform {
  public:
    struct MessageBoxCall {
        std::string text, caption;
    };

    // --- what the test sets up ---
    uint32_t now = 0;          // the millisecond clock
    uint32_t timeOfDay = 0;    // the seed source
    std::string exeDirectory;  // with trailing separator
    std::string installedData; // the installed data folder, with trailing separator
    // The environment the game sees: never the machine's own, so that tests do not depend on
    // where they run.
    std::map<std::string, std::string> env;
    int64_t unixSeconds = 1796000000;           // the wall clock
    std::string localStamp = "20261208-120000"; // its local date and time
    bool autoAdvance = true;                    // idleUntil moves the clock to its target at once
    bool keepAllFrames = false;                 // capture every frame, not only the last
    bool captureFrames = true;                  // keep the last frame at all
    std::map<int64_t, std::vector<uint8_t>> keysAtFrame; // delivered before frame N begins
    std::map<int64_t, int> closeAtFrame;                 // a close request before frame N
    std::vector<uint8_t> keysDown;                       // held keys for getAsyncKeyState
    struct Hold {
        int64_t fromFrame, toFrame; // inclusive: the key is down while these frames compose
        uint8_t key;
    };
    std::vector<Hold> holds;
    // Answer of the next file dialogs, in order; an empty string cancels.
    std::deque<std::string> dialogAnswers;
    // Called when a message box is shown (the platform has already recorded it).
    std::function<void(const MessageBoxCall&)> onMessageBox;

    // --- what the test reads back ---
    int64_t framesPresented = 0;
    int64_t pumps = 0;
    Surface lastFrame;
    std::vector<Surface> frames;
    std::vector<uint32_t> presentTimes;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<std::string> soundsPreloaded;
    std::vector<std::string> soundsPlayed;
    std::vector<std::string> musicCommands; // command text, " [notify]" appended when notified
    std::vector<std::string> dialogTitles;
    std::vector<uint8_t> asyncQueries;
    int32_t clientW = 240, clientH = 273;

    void pressKey(uint8_t key) { pendingKeys_.push_back(key); }
    void tapKey(uint8_t key) { pressedSince_.push_back(key); }

    uint32_t timeGetTime() override { return now; }
    uint32_t timeOfDayMs() override { return timeOfDay; }
    void idleUntil(uint32_t ms) override;
    void pumpMessages() override;
    bool getAsyncKeyState(uint8_t key) override;
    void setClientSize(int32_t width, int32_t height) override {
        clientW = width;
        clientH = height;
    }
    void clientSize(int32_t& width, int32_t& height) const override {
        width = clientW;
        height = clientH;
    }
    void present(const Surface& frame) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    bool openFileDialog(const std::string& title, const std::string& filter,
                        const std::string& defaultExt, std::string& path) override;
    std::string exeDir() override { return exeDirectory; }
    std::string installedDataDir() override { return installedData; }
    int64_t unixTime() override { return unixSeconds; }
    std::string localTimeStamp() override { return localStamp; }
    std::optional<std::string> environment(const std::string& name) override {
        const auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    }
    void preloadSound(const std::string& path) override { soundsPreloaded.push_back(path); }
    void sndPlaySound(const std::string& path) override { soundsPlayed.push_back(path); }
    void mciSendString(const std::string& command, bool notifyWindow) override {
        musicCommands.push_back(notifyWindow ? command + " [notify]" : command);
    }

  private:
    std::vector<uint8_t> pendingKeys_;
    std::vector<uint8_t> pressedSince_;
};
