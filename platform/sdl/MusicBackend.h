#pragma once
// What makes the music sound. The music worker (SdlMusic) decides which piece should be heard;
// a back end loads it and feeds it to the mixer. The native build renders the MIDI files with
// FluidSynth (FluidMusic.cpp); another build may link a back end of its own instead.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class MusicBackend {
  public:
    virtual ~MusicBackend() = default;

    // Everything below runs on the music worker thread, never on the game's.
    // Once, before the first piece: loads what every piece needs (the soundfont). False
    // leaves the music silent for the rest of the run.
    virtual bool open() = 0;
    // Makes the piece ready to sound from its beginning without sounding yet. False when the
    // file cannot be played; it then stays silent.
    virtual bool load(const std::string& file) = 0;
    // Starts the loaded piece, once. It sounds only while the request count the back end was
    // made with still equals `generation`, so a newer request silences it at once, before
    // the worker has caught up with it.
    virtual void play(uint64_t generation) = 0;
    // Silences whatever sounds and frees the piece.
    virtual void release() = 0;
};

// The back end of this build, or null when it cannot play at all (it says why on stderr).
// Called on the game thread after the audio device is open; `wanted` is the number of the
// latest music request, which the game thread updates.
std::unique_ptr<MusicBackend> makeMusicBackend(const std::atomic<uint64_t>& wanted);
