#include "platform/sdl/SdlAudio.h"

#include "audio/MciDevice.h"
#include "platform/sdl/SdlEffects.h"
#include "platform/sdl/SdlMusic.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

struct SdlAudio::Impl {
    bool open = false;
    bool subsystem = false;
    SdlEffects effects;
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
    impl_->effects.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    impl_->open = false;
    impl_->subsystem = false;
}

void SdlAudio::preloadSound(const std::string& path) {
    if (impl_->open) impl_->effects.preload(path);
}

void SdlAudio::playSound(const std::string& path) {
    if (impl_->open) impl_->effects.play(path);
}

void SdlAudio::mciSendString(const std::string& command, bool) {
    // The completion notice is not needed: the game does nothing when a piece ends.
    if (!impl_->open) return;
    if (impl_->device.command(command)) impl_->music.post(impl_->device.request());
}
