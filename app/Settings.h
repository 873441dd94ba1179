#pragma once
// The settings file "VORTALIX.ini" beside the executable.

#include <string>

struct GameState;

// Reads the five values when the file exists (else leaves every setting at zero and bgpath
// "none"). Sets g.bgpath, g.bgenabled, g.seenabled, the music switch (through
// g.midiplayer->setenabled) and g.zoom; a missing key or a value that is not a decimal number
// gives that key's default, the latter with a line on stderr. Returns true when the file existed
// and was read. Sets g.settingsRead when saving later loses nothing: the file was read or is
// missing, not refused (a directory, a FIFO, over 1 MiB, unreadable, or holding zero bytes);
// a refused file leaves the defaults of a file without keys and is never written.
bool readSettings(GameState& g);
// Writes the five values back into the file as it is at that moment, keeping every other
// section, key and comment (keys it lacks join the end of their section; a new file gets them
// in the table's order). Does nothing unless g.settingsRead. A failed write leaves the old file
// and prints one line on stderr.
void data_save(GameState& g);
