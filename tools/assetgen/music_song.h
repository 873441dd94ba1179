#pragma once
// A piece of music as it is composed: a tempo map, melodic voices written in the note
// notation, and a drum part built of sections of repeated sixteenth grids.

#include <cstdint>
#include <string>
#include <vector>

namespace midi {

constexpr uint8_t kDrumChannel = 9; // channel 10 as musicians count

// General MIDI drum keys used by the pieces.
enum DrumKey : uint8_t {
    kKick = 36,
    kSideStick = 37,
    kSnare = 38,
    kClap = 39,
    kLowTom = 45,
    kClosedHat = 42,
    kPedalHat = 44,
    kOpenHat = 46,
    kMidTom = 47,
    kHighTom = 50,
    kCrash = 49,
    kRide = 51,
    kTambourine = 54,
    kShaker = 70,
};

struct Voice {
    std::string name;
    uint8_t channel;
    uint8_t program;  // General MIDI, 0-based; the notes may change it with @
    uint8_t volume;   // controller 7
    uint8_t pan;      // controller 10, 64 is the middle
    uint8_t reverb;   // controller 91
    int8_t transpose; // semitones added to every note, so one line can be doubled elsewhere
    std::string notes;
};

struct DrumLine {
    uint8_t key;
    std::string grid;
};

struct DrumSection {
    uint32_t bars;
    std::vector<DrumLine> lines; // an instrument missing from a section is silent there
};

struct TempoChange {
    uint32_t bar; // 0-based bar at whose start it takes effect
    uint32_t bpm;
};

struct Song {
    std::string title;
    uint32_t bars;      // every voice must last exactly this long
    uint32_t tailTicks; // silence after the last bar, so the final chord can ring out
    std::vector<TempoChange> tempi;
    std::vector<Voice> voices;
    uint8_t drumKit; // program on the drum channel (0 standard; other kits where they exist)
    uint8_t drumVolume;
    uint8_t drumReverb;
    std::vector<DrumSection> drums;
};

// The whole Standard MIDI File: a tempo track, one track per voice and one for the drums.
bool renderSong(const Song& song, std::vector<uint8_t>& smf, std::string& error);

// The pieces.
Song mainTheme();
Song rankingTheme();
Song gameOverJingle();

} // namespace midi
