#pragma once
// Which General MIDI soundfonts the music is played with. VORTALIX_SOUNDFONT wins, then
// SDL_SOUNDFONTS (the variable SDL_mixer's players read, kept for players who set it), then
// the first soundfont of Debian's that is installed. A variable holds one path or a list
// separated by ':' or ';'.

#include <string>
#include <vector>

// The existing files to load, in order. Empty, with a message on stderr, when none exists:
// the music then stays silent rather than falling back to some other soundfont than the one
// the player named.
std::vector<std::string> chooseSoundFonts();
