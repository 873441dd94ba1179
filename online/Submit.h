#pragma once
// `vortalix --submit FILE [--server URL]`: one replay file sent now, the server's answer
// printed. The address is --server's, else the settings' [Online] Server.

#include <string>

class Platform;

// Exit code: 0 the game is on the board, 1 the server refused it, 2 it was not sent (no
// address, no such file, no answer).
int submitReplay(Platform& files, const std::string& file, const std::string& server);
