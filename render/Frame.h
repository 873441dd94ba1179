#pragma once
// The fixed layers of every frame: backdrop, effects, status bar, trail and items.

#include <cstdint>

struct GameState;

void cls(GameState& g);
void scroll(GameState& g, int32_t ox, int32_t oy);
void all_put(GameState& g);
void pause(GameState& g);
void sc_shot(GameState& g);
