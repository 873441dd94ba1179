#pragma once
// Sound effects and MIDI music through SDL2_mixer. Without an audio device the game runs
// silent: every call still returns at once and does nothing.

#include <string>

class SdlAudio {
  public:
    SdlAudio();
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    void init();     // after SDL_Init; never fails the game
    void shutdown(); // before SDL_Quit
    void preloadSound(const std::string& path);
    void playSound(const std::string& path);
    void mciSendString(const std::string& command, bool notifyWindow);

  private:
    struct Impl; // SDL_mixer stays out of this header
    Impl* impl_;
};
