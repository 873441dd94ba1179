#pragma once
// Choosing a new background picture (F2 on the title screen).

#include <string>

struct GameState;

// Shows the picture dialog. True with the chosen file's full path when the player confirmed and
// the file exists; `path` is left untouched otherwise.
bool loadpic(GameState& g, std::string& path);
// The whole F2 choice: a chosen picture that decodes becomes the backdrop and bgpath and
// replays the title's opening; a cancelled dialog, a missing file or a picture that cannot be
// decoded changes nothing (the last with one line on stderr), so a broken file is never stored
// as the picture of the next start.
void choosePicture(GameState& g);
