// The game's pictures: every image sheet and the default
// background, drawn by the makers of image_*.cpp and written under <outDir>/image/.
#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/image_draw.h"
#include "tools/assetgen/image_sheets.h"

bool writeImages(const std::string& outDir) {
    using namespace art;
    bool ok = true;
    ok = saveBmp(outDir, "bonus01.bmp", makeBonusSheet()) && ok;
    ok = saveBmp(outDir, "bairitu01.bmp", makeRateSheet()) && ok;
    ok = saveBmp(outDir, "efect01.bmp", makeEffectSheet()) && ok;
    ok = saveBmp(outDir, "title02.bmp", makeTitle()) && ok;
    ok = saveBmp(outDir, "moji01.bmp", makeDigitSheet()) && ok;
    ok = saveBmp(outDir, "moji02.bmp", makeFontSheet()) && ok;
    ok = saveBmp(outDir, "garge01.bmp", makeGaugeSheet()) && ok;
    ok = saveBmp(outDir, "bomb01.bmp", makeBombSheet()) && ok;
    ok = saveBmp(outDir, "thunder01.bmp", makeThunder(1)) && ok;
    ok = saveBmp(outDir, "thunder02.bmp", makeThunder(2)) && ok;
    ok = saveBmp(outDir, "bomb02.bmp", makeBigBombSheet()) && ok;
    ok = saveJpeg(outDir, "t_back.jpg", makeBackground(), 90) && ok;
    return ok;
}
