#pragma once
// Each part of the generator writes its files under the output folder (the build folder,
// where the executable lies). They return false after printing what went wrong.

#include <string>

bool writeImages(const std::string& outDir);  // image/*.bmp and image/t_back.jpg
bool writeSounds(const std::string& outDir);  // sound/*.wav
bool writeMusic(const std::string& outDir);   // sound/*.mid
bool writeRanking(const std::string& outDir); // score.vtx
// icons/hicolor/NxN/apps/vortalix.png for desktop menus, N from 16 to 256
bool writeIcons(const std::string& outDir);
// VORTALIX.ini with everything switched on, only where none exists yet, and always the same
// first settings as share/VORTALIX.ini, for an installation to give each new player.
bool writeDefaultSettings(const std::string& outDir);
// Writes a whole file, creating the folders on its way; false after printing why.
bool writeFile(const std::string& path, const void* data, size_t size);
