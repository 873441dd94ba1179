#include "platform/web/WebAudio.h"

#include "audio/AudioFiles.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

std::string renderedMusicFile(const std::string& midiFile) {
    const size_t dot = midiFile.rfind('.');
    const size_t slash = midiFile.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return midiFile + ".ogg";
    return midiFile.substr(0, dot) + ".ogg";
}

void WebAudio::init(const std::string& musicDir) {
    musicDir_ = musicDir;
}

void WebAudio::start() {
    if (started_) return;
    started_ = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "vortalix: no audio (%s); the game runs silent\n", SDL_GetError());
        return;
    }
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        std::fprintf(stderr, "vortalix: no audio device (%s); the game runs silent\n",
                     Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    open_ = true;
    Mix_AllocateChannels(1); // one effect at a time; the next one replaces it
    Mix_Init(MIX_INIT_OGG);
    preloadMusic(musicDir_);
    for (const std::string& path : effectsAsked_) effects_.preload(path);
    effectsAsked_.clear();
    apply(device_.request());
}

void WebAudio::preloadMusic(const std::string& musicDir) {
    DIR* dir = opendir(musicDir.c_str());
    if (dir == nullptr) return;
    // The commands name the MIDI files; each rendering is filed under the name it stands for.
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".ogg") != 0) continue;
        if (pieceCount_ == pieces_.size()) break;
        pieceFor(musicDir + name.substr(0, name.size() - 4) + ".mid");
    }
    closedir(dir);
}

void WebAudio::musicArrived() {
    if (!open_) return; // start reads them
    preloadMusic(musicDir_);
    // The piece asked for while its file was still on its way starts now.
    if (!Mix_PlayingMusic()) apply(device_.request());
}

void WebAudio::shutdown() {
    if (!open_) return;
    Mix_HaltMusic();
    for (size_t i = 0; i < pieceCount_; ++i) {
        if (pieces_[i].music) Mix_FreeMusic(pieces_[i].music);
        pieces_[i] = Piece{};
    }
    pieceCount_ = 0;
    effects_.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

void WebAudio::preloadSound(const std::string& path) {
    if (open_)
        effects_.preload(path);
    else if (!started_)
        effectsAsked_.push_back(path);
}

void WebAudio::playSound(const std::string& path) {
    if (open_) effects_.play(path);
}

void WebAudio::mciSendString(const std::string& command) {
    // The completion notice is not needed: the game does nothing when a piece ends.
    // The commands are followed before the device is open too, so that it starts with the
    // music the game has asked for by then.
    if (device_.command(command) && open_) apply(device_.request());
}

_Mix_Music* WebAudio::pieceFor(const std::string& midiFile) {
    for (size_t i = 0; i < pieceCount_; ++i)
        if (pieces_[i].file == midiFile) return pieces_[i].music;
    const std::string rendered = renderedMusicFile(midiFile);
    // A missing file stays silent without a word, as on the desktop (the player switched on
    // before any piece was chosen plays the empty name). It is not kept as silent either: the
    // page fetches the pieces after the game has started, and one may arrive later.
    struct stat st;
    if (::stat(rendered.c_str(), &st) != 0) return nullptr;
    // More different pieces than the game has: the oldest gives up its place.
    if (pieceCount_ == pieces_.size()) {
        Mix_HaltMusic();
        if (pieces_[0].music) Mix_FreeMusic(pieces_[0].music);
        for (size_t i = 1; i < pieces_.size(); ++i) pieces_[i - 1] = std::move(pieces_[i]);
        pieces_.back() = Piece{};
        --pieceCount_;
    }
    Piece& p = pieces_[pieceCount_++];
    p.file = midiFile;
    // Checked here rather than left to SDL_mixer, which "loads" many a broken file as music
    // that never sounds. The bytes stay with the music, which reads them while it plays.
    if (readAudioFile(rendered.c_str(), kMaxOggBytes, p.bytes) && isPlayableOgg(p.bytes)) {
        SDL_RWops* rw = SDL_RWFromConstMem(p.bytes.data(), int(p.bytes.size()));
        if (rw) p.music = Mix_LoadMUSType_RW(rw, MUS_OGG, 1);
    }
    if (!p.music) {
        std::fprintf(stderr, "vortalix: %s is not a playable Ogg Vorbis file; it stays silent\n",
                     rendered.c_str());
        p.bytes.clear();
    }
    return p.music;
}

void WebAudio::apply(const MusicRequest& request) {
    // Every request starts from silence: a new piece, a restart, or a stop.
    Mix_HaltMusic();
    if (!request.playing) return;
    _Mix_Music* music = pieceFor(request.file);
    // Once, never looped, as on the desktop.
    if (music) Mix_PlayMusic(music, 1);
}
