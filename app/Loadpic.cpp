#include "app/Loadpic.h"

#include "app/GameState.h"
#include "platform/Picture.h"
#include "platform/Platform.h"

#include <cstdio>

namespace {
const char* const kDialogTitle = "背景画像読み込み";
const char* const kDialogFilter =
    "すべてのﾌｧｲﾙ (*.bmp;*.jpg)|*.bmp;*.jpg|ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)|*.bmp|JPEG(*.jpg)|*.jpg";
const char* const kDialogDefaultExt = ".bmp";
} // namespace

bool loadpic(GameState& g, std::string& path) {
    Platform& p = *g.platform;
    std::string chosen; // the dialog opens with an empty file name every time
    if (!p.openFileDialog(kDialogTitle, kDialogFilter, kDialogDefaultExt, chosen)) return false;
    if (chosen.empty() || !p.fileExists(chosen)) return false;
    path = chosen;
    return true;
}

void choosePicture(GameState& g) {
    std::string path;
    if (!loadpic(g, path)) return;
    // The settings file holds one path per line; a name with a line break could not be stored.
    if (path.find_first_of("\r\n") != std::string::npos) {
        std::fprintf(stderr, "vortalix: %s: a file name with a line break cannot be kept\n",
                     path.c_str());
        return;
    }
    Surface picture;
    std::string error;
    if (!loadPicture(*g.platform, path, picture, error)) {
        std::fprintf(stderr, "vortalix: %s: %s; the background stays as it was\n", path.c_str(),
                     error.c_str());
        return;
    }
    g.bgpath = path;
    g.picture = std::move(picture);
    g.backdrop = gensyoku(g.picture);
    g.modeclock = 0;
}
