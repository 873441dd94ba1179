#include "screens/Screens.h"
#include "app/GameState.h"
void t_gamen(GameState&, uint32_t) {}
void count_down(GameState&) {}
void name_entry(GameState&) {}
void r_gamen(GameState&) {}
