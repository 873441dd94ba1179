#pragma once
// Helpers for writing accompaniment: a bar pattern is written once in the note notation with
// placeholders and played over a chord progression, one bar per chord.
//
//   {R} the chord's root in the bass octave   {F} its fifth   {O} the root an octave up
//   {C} the chord as a close voicing around middle C   {U} the same an octave higher
//   {1} .. {8} the voicing's notes climbing from an octave above ({1} lowest): arpeggios
//
// Each placeholder sets the octave itself, so a pattern should not rely on > and <.

#include <cstdint>
#include <string>

namespace midi {

// "Am F C G" with a one-bar pattern: that pattern four times with the chords filled in. An
// unknown chord name is left in the text as "?name", which the notation reader reports.
std::string overChords(const std::string& progression, const std::string& pattern);

std::string repeat(const std::string& text, int32_t times);

} // namespace midi
