#pragma once
// The picture makers: each builds one image sheet in the cell layout the game draws it with
// (see the comment at each maker). images.cpp writes them to image/.

#include "render/Surface.h"

#include <string>
#include <vector>

namespace art {

// The bold 7 x 7 glyph of a font character ('A'..'Z', '0'..'9', '!', '#'), 7 strings of 7,
// '#' set; an empty vector for any other character.
const std::vector<std::string>& glyph7(char c);

Surface makeFontSheet();          // moji02.bmp
Surface makeDigitSheet();         // moji01.bmp
Surface makeGaugeSheet();         // garge01.bmp
Surface makeBonusSheet();         // bonus01.bmp
Surface makeRateSheet();          // bairitu01.bmp
Surface makeEffectSheet();        // efect01.bmp
Surface makeBombSheet();          // bomb01.bmp
Surface makeBigBombSheet();       // bomb02.bmp
Surface makeThunder(int variant); // thunder01.bmp (1) and thunder02.bmp (2)
Surface makeTitle();              // title02.bmp
Surface makeBackground();         // t_back.jpg

} // namespace art
