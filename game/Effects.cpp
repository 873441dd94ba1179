#include "game/Effects.h"
#include "app/GameState.h"
void setefect(GameState&, int32_t, int32_t, uint8_t) {}
void moveefect(GameState&) {}
