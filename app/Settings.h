#pragma once
// The settings file "VORTALIX.ini" beside the executable.

#include <cstdint>
#include <string>

struct GameState;

// Reads the five values when the file exists (else leaves every setting at zero and bgpath
// "none"). Sets g.bgpath, g.bgenabled, g.seenabled, the music switch (through
// g.midiplayer->setenabled) and g.zoom, then [Display] Scale and Fullscreen; a missing key or a
// value that is not a decimal number gives that key's default, the latter with a line on stderr.
// Returns true when the file existed and was read. Sets g.settingsRead when saving later loses
// nothing: the file was read or is missing, not refused (a directory, a FIFO, over 1 MiB,
// unreadable, or holding zero bytes); a refused file leaves the defaults of a file without keys and
// is never written.
bool readSettings(GameState& g);
// Writes the five values, then [Display] Scale and Fullscreen, back into the file as it is at that
// moment, keeping every other section, key and comment (keys it lacks join the end of their
// section; a new file gets them in the table's order). Does nothing unless g.settingsRead. A failed
// write leaves the old file and prints one line on stderr.
void data_save(GameState& g);

// True when [Display] Scale decides the window's size: a number 0..8 was read.
bool scaleSizesWindow(const GameState& g);
// The window's factor over the 240 x 273 frame: [Display] Scale when it decides, else 1; with
// [Zoom] Enable=1 at least 2. 0 stands for the largest factor that fits the screen.
int32_t windowFactor(const GameState& g);
