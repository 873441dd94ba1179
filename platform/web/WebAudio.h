#pragma once
// Sound effects and music in the browser, through SDL2_mixer. The effects are the desktop's.
// The music commands name the MIDI pieces; a browser has no synthesiser for them, so the
// build renders each piece beforehand into an Ogg Vorbis file of the same name, and that is
// what plays, under the same command rules (once, stop, the switch). Without an audio device
// the game runs silent.

#include "audio/MciDevice.h"
#include "platform/sdl/SdlEffects.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct _Mix_Music;

class WebAudio {
  public:
    WebAudio() = default;
    ~WebAudio() { shutdown(); }
    WebAudio(const WebAudio&) = delete;
    WebAudio& operator=(const WebAudio&) = delete;

    // After SDL_Init; never fails the game. The rendered pieces in musicDir are read and
    // opened here, so that starting one later (the game-over music starts during play) costs
    // no file reading and no allocation.
    void init(const std::string& musicDir);
    void shutdown();
    void preloadSound(const std::string& path);
    void playSound(const std::string& path);
    void mciSendString(const std::string& command);

  private:
    // A decoded-on-the-fly piece, kept once loaded: the game plays the same three again and
    // again, and reading one anew would cost a frame.
    struct Piece {
        std::string file; // the name the commands use (.mid)
        std::vector<uint8_t> bytes;
        _Mix_Music* music = nullptr; // null: the rendering is missing or broken
    };
    _Mix_Music* pieceFor(const std::string& midiFile);
    void preloadMusic(const std::string& musicDir);
    void apply(const MusicRequest& request);

    bool open_ = false;
    SdlEffects effects_;
    MciDevice device_;
    std::array<Piece, 4> pieces_{};
    size_t pieceCount_ = 0;
};

// The file the build renders a MIDI piece into: the same name with ".ogg" for ".mid".
std::string renderedMusicFile(const std::string& midiFile);
