#pragma once
// F2 on the title: the player picks a new background picture.

struct GameState;

void choosePicture(GameState& g);
