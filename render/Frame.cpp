#include "render/Frame.h"
#include "app/GameState.h"
void cls(GameState&) {}
void scroll(GameState&, int32_t, int32_t) {}
void all_put(GameState&) {}
void pause(GameState&) {}
void sc_shot(GameState&) {}
