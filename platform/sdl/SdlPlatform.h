#pragma once
// The real platform: one SDL2 window drawn through SdlFrameOutput, the keyboard as Windows
// virtual-key codes, a frame clock that sleeps instead of spinning, zenity for the file
// dialog, and SdlAudio for sound effects and music.
// SDL_Init(SDL_INIT_VIDEO) must have succeeded before one is made.

#include "platform/Platform.h"
#include "platform/sdl/DeadlineSleep.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlGamepad.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlPresentLog.h"

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;
class SdlFrameOutput;

class SdlPlatform : public Platform, private SdlGamepad::Keys {
  public:
    // Creates the window, hidden until the first frame is drawn. Throws std::runtime_error
    // when SDL cannot make one.
    SdlPlatform();
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    uint32_t timeGetTime() override;
    uint32_t timeOfDayMs() override;
    void idleUntil(uint32_t ms) override;

    void pumpMessages() override;
    bool getAsyncKeyState(uint8_t key) override;
    void setClientSize(int32_t width, int32_t height) override;
    void clientSize(int32_t& width, int32_t& height) const override;
    void present(const Surface& frame) override;
    void setDisplay(int32_t scale, int32_t frameW, int32_t frameH, bool fullscreen) override;
    bool isFullscreen() override { return fullscreen_; }
    void messageBox(const std::string& text, const std::string& caption) override;
    bool openFileDialog(const std::string& title, const std::string& filter,
                        const std::string& defaultExt, std::string& path) override;

    std::string exeDir() override;
    std::string installedDataDir() override;

    void preloadSound(const std::string& path) override { audio_.preloadSound(path); }
    void sndPlaySound(const std::string& path) override { audio_.playSound(path); }
    void mciSendString(const std::string& command, bool notifyWindow) override {
        audio_.mciSendString(command, notifyWindow);
    }

  protected:
    // For a platform that brings its own dialogs: the window to own them, and forgetting the
    // keys that went up while a dialog had the keyboard.
    SDL_Window* window() const { return shown_ ? window_ : nullptr; }
    void keysLostToDialog() { keys_.releaseAll(); }

  private:
    using Clock = std::chrono::steady_clock;

    void handleEvent(const SDL_Event& event);
    // A pad's button is a key: pressed, it is a key-down the game sees like the keyboard's.
    void padPress(uint8_t vk) override;
    void padRelease(uint8_t vk) override;
    // Keeps the window alive while a modal dialog of another program is open: repaints it
    // and drops the player's keys, but remembers a close request for afterwards.
    void serviceWhileModal();
    // Sleeps until the deadline, or until an event comes: SDL's event wait covers the long
    // part so that a key wakes the game at once, a sleep to the exact deadline the last two
    // milliseconds.
    void waitUntil(Clock::time_point deadline);
    // The way frames reach the window, chosen once: SDL's accelerated renderer where a GPU
    // draws it (or VORTALIX_PRESENT=renderer asks for it), else the window surface.
    void chooseFrameOutput();
    static bool isFullscreenKey(int32_t sym, uint16_t mod);
    // Borderless fullscreen on the screen that holds the window, and back to the window's
    // own size and place.
    void toggleFullscreen();
    // Hands the window surface to the window system, no sooner than 16 ms after the previous
    // frame was.
    void updateWindowPaced();
    // Runs zenity with the arguments and waits for it, keeping the window serviced; false when
    // it could not be started. Its standard output and exit status come back.
    bool runZenity(const std::vector<std::string>& args, std::string& output, int& status);
    // The warning box for a window system where SDL cannot draw one.
    bool showWarningWithZenity(const std::string& text, const std::string& caption);

    SDL_Window* window_ = nullptr;
    bool shown_ = false;
    int32_t clientW_ = 240, clientH_ = 273;
    sdlkeys::KeyStates keys_;
    bool closePending_ = false;
    bool fullscreen_ = false;
    int windowedX_ = 200, windowedY_ = 107, windowedW_ = 240, windowedH_ = 273;

    Clock::time_point epoch_;
    Clock::time_point lastReading_; // instant of the latest timeGetTime
    Clock::time_point frameStart_;  // the reading the frame on screen was begun with
    Clock::time_point lastPresent_; // when that frame surely was with the window system
    bool presented_ = false;
    std::array<Clock::duration, 32> handOffs_{}; // how long the latest presents took
    size_t handOffCount_ = 0;
    SdlPresentLog presentLog_;
    // Aims the wait before a present early by the time a wake-up takes, by 40 us at most:
    // the requests then stay at least 16.010 ms apart.
    CompensatedSleep presentSleep_{std::chrono::microseconds(40)};

    SdlAudio audio_;
    SdlGamepad gamepad_{*this};
    std::unique_ptr<SdlFrameOutput> output_;
};
