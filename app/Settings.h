#pragma once
// The settings file "VORTALIX.ini" beside the executable.

#include <string>

struct GameState;

// Reads the five values when the file exists (else leaves every setting at zero). Sets
// g.bgpath, g.bgenabled, g.seenabled, the music switch (through g.midiplayer->setenabled) and
// g.zoom. Returns true when the file existed and was read. Sets g.settingsRead when saving
// later loses nothing: the file was read or is missing, not refused (a directory, a huge file).
bool readSettings(GameState& g);
// Writes the five values back, keeping every other line of the file. Never throws; a failed
// write leaves the old file and prints one line on stderr.
void data_save(GameState& g);
