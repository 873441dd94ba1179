// shokika: everything a new game needs, and the way back to the title.

#include "IntStr/IntStr.h"
#include "app/GameState.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "screens/Ranking.h"

namespace {

void placeItem(GameState& g, ItemSlot& s) {
    s.x = g.random(224);
    s.y = g.random(224);
    s.kind = uint8_t(g.random(11) + 1);
}

} // namespace

void shokika(GameState& g) {
    g.cursor = 1;
    g.px = 120;
    g.py = 120;
    g.level = 1;
    g.stepclock = 0;
    g.levelpts = 0;
    g.playstate = 1;
    g.invtimer = 0;
    g.newrank = 10;
    g.gain = "0";
    g.dir = 1;
    g.itemmax = 6;
    g.soundleft = 0;
    g.soundcur = 0;
    g.mode = 0;
    g.modeclock = 0;
    g.stepwait = 3;
    g.score = "0";
    g.rate = "1";
    g.scrollx = 0;
    g.scrolly = 0;
    g.lastframe = int32_t(g.platform->timeGetTime());

    g.ranking[10].name.len = 0;
    g.ranking[10].score = "0";
    g.countclock = 0;
    g.countdown = 4;
    for (int k = 0; k < 10; ++k) {
        marqueeWidth(g, k);
        g.marquee[size_t(k)].xoff = 0;
    }

    // The draws go x, y, kind per slot, the bonus slot before the rate slot.
    for (int32_t i = 0; i <= g.itemmax; ++i) {
        placeItem(g, g.bonusitems[size_t(i)]);
        placeItem(g, g.rateitems[size_t(i)]);
    }
    for (int32_t i = g.itemmax + 1; i < kItemSlots; ++i) {
        g.bonusitems[size_t(i)] = ItemSlot{};
        g.rateitems[size_t(i)] = ItemSlot{};
    }

    g.combo = 0;
    g.combotimer = 0;
    g.effects.fill(EffectSlot{});

    const int32_t steps[3] = {1, 10, 100};
    for (int32_t m = 0; m < 3; ++m)
        for (int32_t i = 1; i <= 4; ++i)
            g.bonustable[size_t(m * 4 + i - 1)] = inttostr(i * steps[m]);
    for (int32_t k = 0; k < 12; ++k) g.ratetable[size_t(k)] = inttostr(3 * k + 10);
    for (int32_t i = 1; i <= 255; ++i) g.levelneed[size_t(i)] = i + 20;

    stbar(g.linelayer, 0, 0, 240, 240, 1, 1, 0, 0, 0, 0);
}
