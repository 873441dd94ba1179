#pragma once
// An installed game starts its player off with the shipped first ranking and settings.

#include <string>

class Platform;

// Copies a shipped file to where the player keeps theirs, unless the player already has one
// (or something else stands at that name). A missing or unreadable shipped file copies
// nothing and is no failure: the game says so when it misses the file. False with a reason
// only when the copy cannot be written.
bool giveFirstCopy(Platform& p, const std::string& from, const std::string& to, std::string& error);
