#include "platform/sdl/SdlAudio.h"

#include "audio/MciDevice.h"
#include "platform/sdl/SdlEffects.h"
#include "platform/sdl/SdlMusic.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// Where Debian puts a General MIDI soundfont: fluid-soundfont-gm, then whatever the
// alternatives system names as the default, then timgm6mb-soundfont.
const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
};

bool regularFile(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool nonEmpty(const char* s) {
    return s && *s;
}

// True when any entry of a soundfont list (separated by ':' or ';', as SDL_mixer reads it)
// names a file.
bool anySoundFontExists(const char* list) {
    std::string path;
    for (const char* c = list;; ++c) {
        if (*c == ':' || *c == ';' || *c == '\0') {
            if (!path.empty() && regularFile(path.c_str())) return true;
            path.clear();
            if (*c == '\0') return false;
        } else {
            path += *c;
        }
    }
}

// VORTALIX_SOUNDFONT wins; SDL_SOUNDFONTS is SDL_mixer's own and read by it, so it is left
// alone; otherwise the first Debian soundfont that exists. A list that names no existing file
// leaves the music silent: FluidSynth would quietly fall back to the system's default
// soundfont, and the player who named another one would not hear what he asked for.
bool chooseSoundFont() {
    const char* ours = std::getenv("VORTALIX_SOUNDFONT");
    const char* sdls = std::getenv("SDL_SOUNDFONTS");
    const char* named = nonEmpty(ours) ? ours : nonEmpty(sdls) ? sdls : nullptr;
    if (named) {
        if (!anySoundFontExists(named)) {
            std::fprintf(stderr, "vortalix: soundfont %s not found; the music stays silent\n",
                         named);
            return false;
        }
        if (named == ours) Mix_SetSoundFonts(ours);
        return true;
    }
    for (const char* path : kSoundFonts) {
        if (regularFile(path)) {
            Mix_SetSoundFonts(path);
            return true;
        }
    }
    std::fprintf(stderr, "vortalix: no General MIDI soundfont found (install fluid-soundfont-gm "
                         "or set VORTALIX_SOUNDFONT); the music stays silent\n");
    return false;
}

} // namespace

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
    if (chooseSoundFont()) {
        Mix_Init(MIX_INIT_MID);
        impl_->music.start(); // without it every music command is ignored
    }
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
