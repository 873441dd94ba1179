#pragma once
// The title, the count-down, the name entry and the ranking screen.

#include <cstdint>

struct GameState;

void t_gamen(GameState& g, uint32_t c);
void count_down(GameState& g);
void name_entry(GameState& g);
void r_gamen(GameState& g);
