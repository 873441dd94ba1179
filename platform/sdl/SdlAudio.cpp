#include "platform/sdl/SdlAudio.h"

#include "audio/AudioFiles.h"
#include "audio/MciDevice.h"
#include "platform/sdl/SdlMusic.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace {

// What a file looked like when it was decoded, so that a file replaced since then is noticed.
struct FileStamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    struct timespec mtime = {};
};

bool stampOf(const char* path, FileStamp& s) {
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    return true;
}

bool sameStamp(const FileStamp& a, const FileStamp& b) {
    return a.dev == b.dev && a.ino == b.ino && a.size == b.size &&
           a.mtime.tv_sec == b.mtime.tv_sec && a.mtime.tv_nsec == b.mtime.tv_nsec;
}

struct Effect {
    std::string path;
    Mix_Chunk* chunk = nullptr; // null: the file could not be decoded, so it stays silent
    FileStamp stamp;
};

} // namespace

struct SdlAudio::Impl {
    bool open = false;
    bool subsystem = false;
    std::vector<Effect> effects; // ten of them, searched by path
    MciDevice device;
    SdlMusic music;
};

SdlAudio::SdlAudio() : impl_(new Impl) {}

SdlAudio::~SdlAudio() {
    shutdown();
    delete impl_;
}

void SdlAudio::init() {
    if (impl_->open) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "vortalix: no audio (%s); the game runs silent\n", SDL_GetError());
        return;
    }
    impl_->subsystem = true;
    // A WAV whose data is cut short is refused instead of played in part.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        std::fprintf(stderr, "vortalix: no audio device (%s); the game runs silent\n",
                     Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        impl_->subsystem = false;
        return;
    }
    impl_->open = true;
    Mix_AllocateChannels(1); // one effect at a time; the next one replaces it
    impl_->music.start();    // when it cannot sound, every music command is ignored
}

void SdlAudio::shutdown() {
    if (!impl_->open) return;
    impl_->music.stop();
    Mix_HaltChannel(-1);
    for (Effect& e : impl_->effects)
        if (e.chunk) Mix_FreeChunk(e.chunk);
    impl_->effects.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    impl_->open = false;
    impl_->subsystem = false;
}

void SdlAudio::preloadSound(const std::string& path) {
    if (!impl_->open) return;
    for (const Effect& e : impl_->effects)
        if (e.path == path) return;
    Effect e;
    e.path = path;
    std::vector<uint8_t> bytes;
    // Checked before SDL sees it: handed a MIDI file by mistake, Mix_LoadWAV renders it as
    // music, for half a minute and with the audio device locked.
    if (stampOf(path.c_str(), e.stamp) && readAudioFile(path.c_str(), kMaxWavBytes, bytes) &&
        isPlayableWav(bytes)) {
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        if (rw) e.chunk = Mix_LoadWAV_RW(rw, 1);
    }
    if (!e.chunk)
        std::fprintf(stderr, "vortalix: %s is not a playable WAV file; it stays silent\n",
                     path.c_str());
    impl_->effects.push_back(std::move(e));
}

void SdlAudio::playSound(const std::string& path) {
    if (!impl_->open) return;
    for (const Effect& e : impl_->effects) {
        if (e.path != path) continue;
        // Decoding is done at start-up only; a file replaced since then is not what was
        // checked, and decoding it now would hold up the frame, so it stays silent.
        FileStamp now;
        if (!e.chunk || !stampOf(path.c_str(), now) || !sameStamp(now, e.stamp)) return;
        Mix_PlayChannel(0, e.chunk, 0);
        return;
    }
}

void SdlAudio::mciSendString(const std::string& command, bool) {
    // The completion notice is not needed: the game does nothing when a piece ends.
    if (!impl_->open) return;
    if (impl_->device.command(command)) impl_->music.post(impl_->device.request());
}
