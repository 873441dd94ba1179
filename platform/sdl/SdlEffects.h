#pragma once
// The ten sound effects as SDL2_mixer chunks: each decoded once at start-up and played on the
// one channel, a new effect cutting off the one sounding. Shared by every SDL-based platform.
// The audio device must be open before anything is preloaded.

#include <string>
#include <vector>

struct Mix_Chunk;

class SdlEffects {
  public:
    SdlEffects() = default;
    ~SdlEffects() { clear(); }
    SdlEffects(const SdlEffects&) = delete;
    SdlEffects& operator=(const SdlEffects&) = delete;

    void preload(const std::string& path);
    void play(const std::string& path);
    void clear(); // silences the channel and frees every chunk

    // What a file looked like when it was decoded, so that a file replaced since then is
    // noticed.
    struct Stamp {
        unsigned long long dev = 0, ino = 0;
        long long size = 0, mtimeSec = 0, mtimeNsec = 0;
    };

  private:
    struct Effect {
        std::string path;
        Mix_Chunk* chunk = nullptr; // null: the file could not be decoded, so it stays silent
        Stamp stamp;
    };
    std::vector<Effect> effects_; // ten of them, searched by path
};
