// The music of the Windows build: the three MIDI pieces as the build rendered them, with
// FluidSynth and the General MIDI soundfont, into Ogg Vorbis files beside the MIDI files,
// played by SDL_mixer. A stock Windows has no soundfont, and its own MIDI synthesiser sounds
// different from machine to machine; the rendering sounds the same everywhere, as it does in
// the browser, and needs nothing but the game's own files.

#include "audio/AudioFiles.h"
#include "platform/sdl/MusicBackend.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <vector>

namespace {

// The file the build renders a MIDI piece into: the same name with ".ogg" for ".mid".
std::string renderedFile(const std::string& midiFile) {
    const size_t dot = midiFile.rfind('.');
    const size_t separator = midiFile.find_last_of("/\\");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return midiFile + ".ogg";
    return midiFile.substr(0, dot) + ".ogg";
}

class OggMusic : public MusicBackend {
  public:
    explicit OggMusic(const std::atomic<uint64_t>& wanted) : wanted_(wanted) {
        bytes_.reserve(kMaxOggBytes / 16);
    }
    ~OggMusic() override { release(); }
    OggMusic(const OggMusic&) = delete;
    OggMusic& operator=(const OggMusic&) = delete;

    bool open() override {
        // The stb decoder inside SDL_mixer needs no library loaded; a refusal here would only
        // mean a missing optional one.
        Mix_Init(MIX_INIT_OGG);
        return true;
    }

    bool load(const std::string& file) override {
        const std::string ogg = renderedFile(file);
        // Checked here rather than left to SDL_mixer, which "loads" many a broken file as
        // music that never sounds. The bytes stay with the music, which reads them as it plays.
        if (!readAudioFile(ogg.c_str(), kMaxOggBytes, bytes_) || !isPlayableOgg(bytes_))
            return false;
        SDL_RWops* rw = SDL_RWFromConstMem(bytes_.data(), int(bytes_.size()));
        if (rw != nullptr) music_ = Mix_LoadMUSType_RW(rw, MUS_OGG, 1);
        if (music_ == nullptr)
            std::fprintf(stderr, "vortalix: %s is not a playable Ogg Vorbis file\n", ogg.c_str());
        return music_ != nullptr;
    }

    void play(uint64_t generation) override {
        // A newer request has overtaken this one: it stays silent.
        if (music_ == nullptr || wanted_.load() != generation) return;
        Mix_PlayMusic(music_, 1); // once, never looped, as the MIDI player does
    }

    void release() override {
        if (music_ == nullptr) return;
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }

  private:
    const std::atomic<uint64_t>& wanted_;
    std::vector<uint8_t> bytes_;
    Mix_Music* music_ = nullptr;
};

} // namespace

std::unique_ptr<MusicBackend> makeMusicBackend(const std::atomic<uint64_t>& wanted) {
    return std::make_unique<OggMusic>(wanted);
}
