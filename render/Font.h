#pragma once
// Text from the 8 x 8 font sheet and long numbers from the digit sheet, drawn keyed on backbuf.

#include <cstdint>
#include <string_view>

struct GameState;

void moji(GameState& g, std::string_view text, int32_t x, int32_t y, int32_t colour,
          int32_t spacing, uint8_t centre);
void sco(GameState& g, std::string_view digits, int32_t x, int32_t y);
