#pragma once
// The browser platform: the SDL2 window is the page's canvas, the keyboard comes as on the
// desktop through SDL, frames are paced by the browser's animation frames (the program entry
// calls the game one step at a time), sound goes through WebAudio, and what a tab cannot do
// the desktop way goes to the page: warnings become a page message, the file dialog is the
// browser's picker, a screenshot becomes a download, and the player's files are copied out to
// the browser's storage after every write.
//
// The data are packed into the page's data file and appear read-only under kDataDir; the
// player's files live under HOME (/home/web_user), which the page keeps in the browser's
// storage. The game therefore runs as an installed game.
// SDL_Init(SDL_INIT_VIDEO) must have succeeded before one is made.

#include "app/ScriptedRun.h"
#include "platform/Platform.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/web/WebAudio.h"

#include <string>

struct SDL_Window;
union SDL_Event;

constexpr const char* kDataDir = "/vortalix/";
// Where a picture the player picks in the browser is kept, so that it is there next time.
constexpr const char* kPictureDir = "/home/web_user/pictures/";

class WebPlatform : public Platform {
  public:
    explicit WebPlatform(const ScriptedRun& run);
    ~WebPlatform() override;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    // The game's clock is its own: it moves by one frame's 16 ms whenever the program entry
    // runs a frame, and the entry decides on the page's clock which frames are due. So every
    // frame lasts exactly 16 ms of game time at any refresh rate, and the game's replays play
    // the same on the desktop.
    void nextFrame() { now_ += 16; }
    int64_t framesPresented() const { return framesPresented_; }
    // Makes the canvas's drawing context and the window's pixels, and shows them black, as the
    // canvas already is. Both are otherwise made by the first frame, which on a slow phone
    // they make tens of milliseconds longer; the page calls this in a task of its own first.
    void preparePresenting();
    // The page has written the picture the player picked to `path`.
    void pictureChosen(const std::string& path);

    uint32_t timeGetTime() override;
    uint32_t timeOfDayMs() override;
    void idleUntil(uint32_t ms) override;

    void pumpMessages() override;
    bool getAsyncKeyState(uint8_t key) override;
    void setClientSize(int32_t width, int32_t height) override;
    void clientSize(int32_t& width, int32_t& height) const override;
    void present(const Surface& frame) override;
    void messageBox(const std::string& text, const std::string& caption) override;
    bool openFileDialog(const std::string& title, const std::string& filter,
                        const std::string& defaultExt, std::string& path) override;

    std::string exeDir() override { return kDataDir; }
    std::string installedDataDir() override { return kDataDir; }
    bool isWritableDirectory(const std::string& path) override;
    // Removing a file is copied out to the storage too, or an old replay would come back.
    bool removeFile(const std::string& path) override;
    bool writeFileAtomic(const std::string& path, const void* data, size_t size,
                         std::string& error) override;

    // The player's key or touch, as the browser delivers it: sound may begin now.
    void startAudio() { audio_.start(); }
    void musicArrived() { audio_.musicArrived(); }
    void preloadSound(const std::string& path) override { audio_.preloadSound(path); }
    void sndPlaySound(const std::string& path) override { audio_.playSound(path); }
    void mciSendString(const std::string& command, bool) override { audio_.mciSendString(command); }

  private:
    void handleEvent(const SDL_Event& event);
    void deliverScriptedKeys();

    const ScriptedRun run_;
    SDL_Window* window_ = nullptr;
    int32_t clientW_ = 240, clientH_ = 273;
    sdlkeys::KeyStates keys_;
    uint32_t now_ = 0;
    int64_t framesPresented_ = 0;
    size_t nextScriptedKey_ = 0;
    // The picked picture, from the page's answer until the game has taken it.
    std::string pickedPicture_;
    bool pictureArrived_ = false;
    bool answeringDialog_ = false;
    WebAudio audio_;
};
