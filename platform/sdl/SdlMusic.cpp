#include "platform/sdl/SdlMusic.h"

#include <SDL.h>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

SdlMusic::SdlMusic() {
    wanted_.file.reserve(4096);
}

SdlMusic::~SdlMusic() {
    stop();
}

bool SdlMusic::start() {
    if (running_) return true;
    backend_ = makeMusicBackend(latest_);
    if (!backend_) return false;
    quit_ = false;
    running_ = true;
    worker_ = std::thread([this] { run(); });
    return true;
}

void SdlMusic::stop() {
    if (!running_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    worker_.join();
    running_ = false;
    backend_.reset();
}

void SdlMusic::post(const MusicRequest& request) {
    if (!running_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wanted_.file.assign(request.file);
        wanted_.playing = request.playing;
        wanted_.generation = request.generation;
    }
    // Silences the piece sounding now at once, whatever the worker is doing.
    latest_.store(request.generation, std::memory_order_relaxed);
    wake_.notify_one();
}

bool SdlMusic::overtaken(uint64_t generation) {
    std::lock_guard<std::mutex> lock(mutex_);
    return quit_ || wanted_.generation != generation;
}

void SdlMusic::run() {
#ifdef __linux__
    // Loading a soundfont is heavy work; on a busy machine the frame loop comes first. The
    // synthesis itself runs on SDL's audio thread, which keeps its own priority.
    setpriority(PRIO_PROCESS, pid_t(gettid()), 10);
#endif
    // The soundfont is loaded once, here rather than on the game thread (it takes tens of
    // milliseconds and tens of megabytes), and only once music is first wanted: with the
    // music switched on that is at start-up, when the player plays the remembered (empty)
    // name.
    bool opened = false, usable = false;
    uint64_t done = 0;
    std::string file;
    file.reserve(4096);
    for (;;) {
        bool wantPlaying = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || wanted_.generation != done; });
            if (quit_) break;
            file = wanted_.file;
            wantPlaying = wanted_.playing;
            done = wanted_.generation;
        }
        // Every request starts from silence: a new piece, a restart, or a stop.
        backend_->release();
        if (!wantPlaying) continue;
        if (!opened) {
            usable = backend_->open();
            opened = true;
        }
        if (!usable) continue;
        if (!backend_->load(file)) {
            backend_->release(); // a file that cannot be played stays silent
            continue;
        }
        if (overtaken(done)) continue; // the next round frees it
        backend_->play(done);
    }
    backend_->release();
    // SDL keeps its error text per thread; a thread SDL did not start must free it itself.
    SDL_TLSCleanup();
}
