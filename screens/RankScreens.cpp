// The name entry and the ranking screen.

#include "IntStr/IntStr.h"
#include "app/GameState.h"
#include "render/Font.h"
#include "screens/Ranking.h"
#include "screens/Screens.h"

namespace {

// "3RD", "10TH": the rank number and its suffix, without the heap.
ShortString<8> rankText(int32_t rank) {
    ShortString<8> t;
    t.assign(inttostr(rank).view());
    const char* suffix = ranksuffix(rank);
    t.ch[t.len] = suffix[0];
    t.ch[t.len + 1] = suffix[1];
    t.len = uint8_t(t.len + 2);
    return t;
}

} // namespace

void name_entry(GameState& g) {
    const int32_t n = g.newrank < 10 ? g.newrank : 9;
    const int32_t c = n / 4;
    RankRecord& rec = g.ranking[size_t(n)];
    moji(g, "YOU ARE RANK IN", 120, 64, 0, 8, 1);
    moji(g, rankText(n + 1).view(), 120, 80, 0, 8, 1);
    sco(g, rec.score.view(), g.marquee[size_t(n)].xoff, 96);
    marqueeStep(g, n);
    moji(g, "ENTRY YOUR NAME", 120, 112, c, 8, 1);
    const uint8_t red = uint8_t(g.random(255));
    const uint8_t green = uint8_t(g.random(255));
    const uint8_t blue = uint8_t(g.random(255));
    stbar(g.backbuf, 99, 123, 8 * rec.name.len + 10, 10, 3, 3, red, green, blue, 1);
    moji(g, rec.name.view(), 100, 124, c, 8, 0);
    const int32_t cur = g.cursor >= 1 && g.cursor <= 39 ? g.cursor : 1;
    moji(g, namechars.substr(size_t(cur - 1), 1), 100 + 8 * rec.name.len, 124, c, 8, 0);
    g.scrollx -= 1;
}

void r_gamen(GameState& g) {
    moji(g, "SCORE RANKING", 120, 0, 0, 8, 1);
    if (g.newrank < 10) {
        const uint8_t red = uint8_t(g.random(128));
        const uint8_t green = uint8_t(g.random(128));
        const uint8_t blue = uint8_t(g.random(128));
        stbar(g.backbuf, 0, 22 * g.newrank + 15, 239, 10, 3, 3, red, green, blue, 1);
    }
    for (int32_t i = 0; i < 10; ++i) {
        const int32_t row = i / 4;
        const RankRecord& rec = g.ranking[size_t(i)];
        moji(g, rankText(i + 1).view(), 0, 22 * i + 16, row, 8, 0);
        moji(g, rec.name.view(), 40, 22 * i + 16, row, 8, 0);
        sco(g, rec.score.view(), g.marquee[size_t(i)].xoff, 22 * i + 26);
        marqueeStep(g, i);
    }
    g.scrollx += 1;
    g.scrolly += 1;
}
