#pragma once
// MIDI music on a thread of its own. Loading the soundfont and a piece's instruments is slow
// work (tens to hundreds of milliseconds); the game thread only hands over the latest request
// and returns, and the worker makes it so through the music back end, skipping requests that
// were overtaken while it was busy.

#include "audio/MciDevice.h"
#include "platform/sdl/MusicBackend.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class SdlMusic {
  public:
    SdlMusic();
    ~SdlMusic();
    SdlMusic(const SdlMusic&) = delete;
    SdlMusic& operator=(const SdlMusic&) = delete;

    // After the audio device is open. False, with the reason on stderr, when the music
    // cannot sound at all; every request is then ignored.
    bool start();
    void stop(); // waits for a load in progress, then silences and frees everything
    // Takes over the wanted state; never waits for the worker.
    void post(const MusicRequest& request);

  private:
    void run();
    bool overtaken(uint64_t generation); // a newer request has come in

    std::unique_ptr<MusicBackend> backend_; // worker only while it runs
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    MusicRequest wanted_; // guarded by mutex_
    bool quit_ = false;   // guarded by mutex_
    bool running_ = false;
    // The latest request's number, read by the back end on the audio thread without a lock.
    std::atomic<uint64_t> latest_{0};
};
