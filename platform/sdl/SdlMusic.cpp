#include "platform/sdl/SdlMusic.h"

#include "audio/AudioFiles.h"

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

void SdlMusic::start() {
    if (running_) return;
    quit_ = false;
    running_ = true;
    worker_ = std::thread([this] { run(); });
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
}

void SdlMusic::post(const MusicRequest& request) {
    if (!running_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wanted_.file.assign(request.file);
        wanted_.playing = request.playing;
        wanted_.generation = request.generation;
    }
    wake_.notify_one();
}

bool SdlMusic::overtaken(uint64_t generation) {
    std::lock_guard<std::mutex> lock(mutex_);
    return quit_ || wanted_.generation != generation;
}

void SdlMusic::release() {
    Mix_HaltMusic();
    if (music_) Mix_FreeMusic(music_);
    music_ = nullptr;
    bytes_.clear();
}

bool SdlMusic::load(const std::string& file) {
    // Checked here rather than left to SDL_mixer, which "loads" an empty file, a picture or a
    // truncated MIDI file as music that never sounds.
    if (!readAudioFile(file.c_str(), kMaxMidiBytes, bytes_) || !isPlayableMidi(bytes_)) {
        bytes_.clear();
        return false;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(bytes_.data(), int(bytes_.size()));
    if (!rw) return false;
    music_ = Mix_LoadMUSType_RW(rw, MUS_MID, 1);
    return music_ != nullptr;
}

void SdlMusic::run() {
#ifdef __linux__
    // Loading a soundfont is heavy work; on a busy machine the frame loop comes first. The
    // synthesis itself runs on SDL's audio thread, which keeps its own priority.
    setpriority(PRIO_PROCESS, pid_t(gettid()), 10);
#endif
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
        release();
        if (!wantPlaying) continue;
        if (!load(file)) {
            release(); // a file that cannot be played stays silent
            continue;
        }
        if (overtaken(done)) continue; // the next round frees it
        // Once, never looped: 1 plays the piece a single time (measured, as is 0; 2 plays twice).
        Mix_PlayMusic(music_, 1);
    }
    release();
    // SDL keeps its error text per thread; a thread SDL did not start must free it itself.
    SDL_TLSCleanup();
}
