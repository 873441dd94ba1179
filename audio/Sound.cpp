// Placeholder bodies; the sound effects land with their own change.
#include "audio/Sound.h"
#include "app/GameState.h"
void soundload(GameState&, const std::string&, int32_t, int32_t, int32_t) {}
void soundplay(GameState&, int32_t) {}
void soundloadAll(GameState&) {}
