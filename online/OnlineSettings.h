#pragma once
// Where the game sends its games: `[Online] Server=` in the settings file, the scoreboard's
// address such as "http://scores.example.org:8080". Empty (the default) means the game never
// opens a connection.

#include <string>

class Platform;

// The value as written (spaces around it removed); empty when the file, the section or the
// key is missing, or the file cannot be read.
std::string readServerSetting(Platform& files, const std::string& settingsFile);

// What the sending side needs to know of this game's files, found the way the game finds them.
struct OnlinePlaces {
    std::string settingsFile; // VORTALIX.ini
    std::string replaysDir;   // with its trailing separator
    std::string server;       // from the settings; empty: no sending
};
// False with a reason when the game's folders cannot be found (then nothing is sent).
bool findOnlinePlaces(Platform& files, OnlinePlaces& out, std::string& error);
