#pragma once
// The picture makers: each builds one image sheet of the game in the cell layout its Part
// of the spec fixes (see the comment at each maker). images.cpp writes them to image/.

#include "render/Surface.h"

#include <string>
#include <vector>

namespace art {

// The bold 7 x 7 glyph of a font character ('A'..'Z', '0'..'9', '!', '#'), 7 strings of 7,
// '#' set; an empty vector for any other character.
const std::vector<std::string>& glyph7(char c);

Surface makeFontSheet();          // moji02.bmp, Part 2.2
Surface makeDigitSheet();         // moji01.bmp, Part 2.2
Surface makeGaugeSheet();         // garge01.bmp, Part 2.3
Surface makeBonusSheet();         // bonus01.bmp, Parts 2.3, 3.2
Surface makeRateSheet();          // bairitu01.bmp, Parts 2.3, 3.2
Surface makeEffectSheet();        // efect01.bmp, Part 3.3
Surface makeBombSheet();          // bomb01.bmp, Part 3.3
Surface makeBigBombSheet();       // bomb02.bmp, Part 3.3
Surface makeThunder(int variant); // thunder01.bmp (1) and thunder02.bmp (2), Part 3.3
Surface makeTitle();              // title02.bmp, Part 5.1
Surface makeBackground();         // t_back.jpg, Part 1.2

} // namespace art
