#pragma once
// The pool of 65 short-lived pictures: sparkles, glow, flashes and explosions.

#include <cstdint>

struct GameState;

void setefect(GameState& g, int32_t x, int32_t y, uint8_t type);
void moveefect(GameState& g);
