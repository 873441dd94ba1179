#include "game/Game.h"
#include "app/GameState.h"
void shokika(GameState&) {}
bool move(GameState&) {
    return true;
}
void lv_up(GameState&) {}
void dead(GameState&) {}
void hantei(GameState&) {}
void combohit(GameState&) {}
void scratch(GameState&) {}
