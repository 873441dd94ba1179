#include "render/Font.h"
#include "app/GameState.h"
void moji(GameState&, std::string_view, int32_t, int32_t, int32_t, int32_t, uint8_t) {}
void sco(GameState&, std::string_view, int32_t, int32_t) {}
