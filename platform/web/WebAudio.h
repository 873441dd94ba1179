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

    // After SDL_Init; never fails the game. The device itself is opened by start: a browser
    // lets sound begin only in answer to the player's key or touch, and opening the device
    // outside one costs the page a long pause at start-up for a device that stays mute.
    void init(const std::string& musicDir);
    // Called on every key or touch the page sees, while the browser counts it as the player's
    // gesture; the first one opens the device. The rendered pieces in musicDir are read and
    // opened then, so that starting one later (the game-over music starts during play) costs
    // no file reading and no allocation; the effects asked for so far are loaded, and the
    // music the game has asked for starts.
    void start();
    // The page fetches the rendered pieces only once the game shows its first frame, so that
    // they do not hold up the start, and says so here when they are all in musicDir.
    void musicArrived();
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
    bool started_ = false;
    std::string musicDir_;
    std::vector<std::string> effectsAsked_; // before the device was open
    SdlEffects effects_;
    MciDevice device_;
    std::array<Piece, 4> pieces_{};
    size_t pieceCount_ = 0;
};

// The file the build renders a MIDI piece into: the same name with ".ogg" for ".mid".
std::string renderedMusicFile(const std::string& midiFile);
