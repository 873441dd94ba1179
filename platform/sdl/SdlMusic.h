#pragma once
// MIDI music on a thread of its own. SDL_mixer's FluidSynth back end builds a synthesiser and
// loads the whole soundfont (about 140 MB) on every Mix_LoadMUS: 150 ms with a warm disk
// cache, half a second cold. The game thread only hands over the latest request and returns;
// the worker makes it so, skipping requests that were overtaken while it was loading.

#include "audio/MciDevice.h"

#include <SDL_mixer.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class SdlMusic {
  public:
    SdlMusic();
    ~SdlMusic();
    SdlMusic(const SdlMusic&) = delete;
    SdlMusic& operator=(const SdlMusic&) = delete;

    void start(); // after the audio device is open
    void stop();  // waits for a load in progress, then silences and frees everything
    // Takes over the wanted state; never waits for the worker.
    void post(const MusicRequest& request);

  private:
    void run();
    void release();                      // worker only
    bool load(const std::string& file);  // worker only
    bool overtaken(uint64_t generation); // a newer request has come in

    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    MusicRequest wanted_; // guarded by mutex_
    bool quit_ = false;   // guarded by mutex_
    bool running_ = false;

    Mix_Music* music_ = nullptr;
    std::vector<uint8_t> bytes_; // the file the music is made from, kept while it plays
};
