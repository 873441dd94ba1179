#include "render/Frame.h"

#include "IntStr/IntStr.h"
#include "app/GameState.h"
#include "game/Effects.h"
#include "platform/Picture.h"
#include "platform/Platform.h"
#include "render/Font.h"

#include <cstdio>
#include <string>

namespace {

constexpr int32_t W = 240, H = 240;

// "12HIT" without touching the heap: the status bar is drawn every frame.
ShortString<16> comboText(int32_t combo) {
    const DecStr n = inttostr(combo);
    ShortString<16> t;
    t.assign(n.view());
    const size_t len = t.len;
    if (len + 3 <= 16) {
        t.ch[len] = 'H';
        t.ch[len + 1] = 'I';
        t.ch[len + 2] = 'T';
        t.len = uint8_t(len + 3);
    }
    return t;
}

void statusBar(GameState& g) {
    moji(g, "SCORE", 0, 241, 0, 8, 0);
    sco(g, g.score.view(), 80, 241);
    moji(g, "RATE", 0, 249, 1, 8, 0);
    sco(g, g.rate.view(), 80, 249);

    const int32_t t = g.level / 86;
    moji(g, "LEVEL", 0, 257, 2 - t, 8, 0);
    moji(g, inttostr(g.level).view(), 48, 257, 2 - t, 8, 0);
    imgputfast(g.backbuf, 80, 257, g.sheets[sheet::Gauge], rectWH(0, 8 + 8 * t, 160, 8), 1);
    // The bar flickers: a fresh colour every frame, drawn red, green, blue in this order.
    uint8_t red = uint8_t(g.random(255));
    uint8_t green = uint8_t(g.random(255));
    uint8_t blue = uint8_t(g.random(255));
    stbar(g.backbuf, 82, 259, 156, 4, g.levelneed[g.level], g.levelpts, red, green, blue, 0);

    const int32_t u = std::max(0, 2 - g.combo / 100);
    moji(g, "COMBO", 0, 265, u, 8, 0);
    moji(g, comboText(g.combo).view(), 48, 265, u, 8, 0);
    imgputfast(g.backbuf, 208, 265, g.sheets[sheet::Gauge], rectWH(32 * (2 - u), 0, 32, 8), 1);
    red = uint8_t(g.random(255));
    green = uint8_t(g.random(255));
    blue = uint8_t(g.random(255));
    stbar(g.backbuf, 210, 267, 28, 4, 300, g.combotimer, red, green, blue, 0);
}

// The stored offsets are folded into 1..239 for the next frame: 240 or more becomes 1, 0 or
// less becomes 239.
void foldOffsets(GameState& g) {
    if (g.scrolly >= 240) g.scrolly = 1;
    if (g.scrolly <= 0) g.scrolly = 239;
    if (g.scrollx >= 240) g.scrollx = 1;
    if (g.scrollx <= 0) g.scrollx = 239;
}

} // namespace

void cls(GameState& g) {
    if (g.bgenabled) {
        scroll(g, g.scrollx, g.scrolly);
        imgputfast(g.backbuf, 0, 240, g.backdrop, rectWH(0, 0, 240, 33), 0);
    } else {
        // Folded as if drawn, so that the backdrop comes back exactly where it would have
        // been had it stayed on.
        foldOffsets(g);
        g.backbuf.fillBlack();
    }
    moveefect(g);
    uint8_t* sep = g.backbuf.row(240);
    std::fill(sep, sep + size_t(g.backbuf.width()) * 3, uint8_t(255));
    statusBar(g);
}

void scroll(GameState& g, int32_t ox, int32_t oy) {
    // The stored offsets are folded for the next frame; this one is drawn as asked.
    foldOffsets(g);

    // Offsets outside 0..240 (a caller's own) still cover the field, wrapped.
    if (ox < 0 || ox > W) ox = (ox % W + W) % W;
    if (oy < 0 || oy > H) oy = (oy % H + H) % H;

    const Surface& b = g.backdrop;
    imgputfast(g.backbuf, 0, 0, b, Rect{W - ox, H - oy, W, H}, 0);
    imgputfast(g.backbuf, ox, 0, b, Rect{0, H - oy, W, H}, 0);
    imgputfast(g.backbuf, ox, oy, b, Rect{0, 0, W - ox, H - oy}, 0);
    imgputfast(g.backbuf, 0, oy, b, Rect{W - ox, 0, W, H - oy}, 0);
}

void all_put(GameState& g) {
    imgputfast(g.backbuf, 0, 0, g.linelayer, rectWH(0, 0, 240, 240), 1);
    // itemmax may name slots past the 64 that exist; only real slots are drawn.
    const int32_t last = std::min<int32_t>(g.itemmax, kItemSlots - 1);
    for (int32_t i = 0; i <= last; ++i) {
        const ItemSlot& b = g.bonusitems[size_t(i)];
        imgputfast(g.backbuf, b.x, b.y, g.sheets[sheet::Bonus],
                   rectWH(16 * (b.kind % 4), 16 * (b.kind / 4), 16, 16), 1);
        const ItemSlot& r = g.rateitems[size_t(i)];
        imgputfast(g.backbuf, r.x, r.y, g.sheets[sheet::Rate],
                   rectWH(16 * (r.kind % 4), 16 * (r.kind / 4), 16, 16), 1);
    }
    pause(g);
}

void pause(GameState& g) {
    if (g.paused) moji(g, "PAUSE", 120, 120, 0, 8, 1);
}

void sc_shot(GameState& g) {
    Platform& p = *g.platform;
    int32_t n = 0;
    const std::string& dir = g.files.shotDir;
    std::string name = dir + "g_sc0.bmp";
    while (p.fileExists(name) && n < 255) {
        ++n;
        name = dir + "g_sc" + std::to_string(n) + ".bmp";
    }
    const std::vector<uint8_t> bmp = encodeBmp24(g.backbuf);
    std::string error;
    if (!p.writeFileAtomic(name, bmp.data(), bmp.size(), error))
        std::fprintf(stderr, "vortalix: screenshot not saved: %s\n", error.c_str());
}
