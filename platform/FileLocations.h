#pragma once
// Where the game reads its data and keeps the player's files. It lives one of two ways:
//
// Portable: the data lie beside the program, in a folder the player may write to (the build
//   folder, an unpacked archive). Settings and screenshots go beside the program and the
//   ranking is "score.vtx" in the working directory, as the game has always done.
// Installed: the program lies in a system folder. The data are read from the installed data
//   folder (or from beside the program, when they are there but the folder is read-only), and
//   the player's own files go to the XDG base directories: the settings to
//   $XDG_CONFIG_HOME/vortalix/, screenshots and the ranking to $XDG_DATA_HOME/vortalix/. A
//   "score.vtx" in the working directory is still used when there is one. Nothing is ever
//   written to the program's folder or the data folder.

#include <string>

class Platform;

struct FileLocations {
    bool installed = false;
    std::string dataDir;     // image/, sound/ and the shipped first files; trailing separator
    std::string settingsDir; // VORTALIX.ini; trailing separator
    std::string shotDir;     // g_scN.bmp; trailing separator
    std::string rankingFile = "score.vtx";
};

constexpr const char* kAppFolder = "vortalix";

// Decides where everything is, without touching the disk beyond looking. False with a reason
// when an installed game finds no home for the player's files.
bool locateFiles(Platform& p, FileLocations& out, std::string& error);

// Makes an installed game's folders for the player's files (private to the player) and gives
// the player a first ranking and first settings, copied from the shipped ones, where they have
// none. Does nothing for a portable game. False with a reason when a folder or a copy fails.
bool preparePlayerFiles(Platform& p, const FileLocations& where, std::string& error);
