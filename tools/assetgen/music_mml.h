#pragma once
// The note notation the music is written in, a small dialect of Music Macro Language:
//
//   c d e f g a b   notes, followed by + or # (sharp) or - (flat), a length and dots:
//                   "e8" an eighth, "a4." a dotted quarter, "c" the current default length
//   r               a rest, with a length like a note
//   [a>ce]4         a chord: the notes sound together; octave moves inside last to the "]"
//   &               ties the note before to the next one of the same pitch ("e2&e8")
//   o4 > <          set the octave (o4 c is middle C, MIDI 60), one octave up, one down
//   l8              default length;   v100  velocity;   q80  gate, percent of a note heard
//   @81             program change (General MIDI number, 0-based) at this point
//   |               bar line: checked, so a bar that is too long or too short is an error
//
// Lengths are note values: 1 whole, 2 half, 4 quarter, 8, 16, 32, and 3, 6, 12 for triplets.
// Drums use a grid instead, one character per sixteenth: X accent, x strong, o normal,
// - ghost, . silence; spaces and | are only for the eye.

#include <cstdint>
#include <string>
#include <vector>

namespace midi {

constexpr uint32_t kTicksPerQuarter = 480;
constexpr uint32_t kTicksPerBar = 4 * kTicksPerQuarter; // all the music is in 4/4
constexpr uint32_t kTicksPerStep = kTicksPerQuarter / 4;

struct Note {
    uint32_t tick;
    uint32_t length; // as written, before the gate
    uint8_t key;
    uint8_t velocity;
    uint8_t gate; // percent of the length that sounds
};

struct ProgramChange {
    uint32_t tick;
    uint8_t program;
};

struct Phrase {
    std::vector<Note> notes;
    std::vector<ProgramChange> programs;
    uint32_t length = 0; // ticks up to the end of the last note or rest
};

// Parses a melodic part; false with a message naming the place on a mistake.
bool parseMelody(const std::string& text, Phrase& out, std::string& error);

// Adds one drum instrument's grid, repeated to fill `ticks` from `startTick`.
bool parseDrumGrid(const std::string& grid, uint8_t key, uint32_t startTick, uint32_t ticks,
                   Phrase& out, std::string& error);

} // namespace midi
