#pragma once
// Round reset, the moving point, pick-ups and scoring.

struct GameState;

void shokika(GameState& g);
bool move(GameState& g);
void lv_up(GameState& g);
void dead(GameState& g);
void hantei(GameState& g);
void combohit(GameState& g);
void scratch(GameState& g);
