// Pick-ups, combos and near misses: every rule that changes the score, the rate and the combo.
// All arithmetic stays on decimal text, because scores outgrow every machine integer.

#include "IntStr/IntStr.h"
#include "app/GameState.h"
#include "audio/Sound.h"
#include "game/Effects.h"
#include "game/Game.h"

namespace {

void clearSquare(GameState& g, int32_t x, int32_t y) {
    stbar(g.linelayer, x, y, 16, 16, 16, 16, 0, 0, 0, 0);
}

bool touched(const GameState& g, const ItemSlot& s) {
    return s.x <= g.px && g.px <= s.x + 16 && s.y <= g.py && g.py <= s.y + 16;
}

// The combo multiplier: the combo count, or 1 outside a chain.
DecStr comboFactor(const GameState& g) {
    return g.combo > 0 ? inttostr(g.combo) : DecStr("1");
}

void replace(GameState& g, ItemSlot& s) {
    s.x = g.random(224);
    s.y = g.random(224);
    clearSquare(g, s.x, s.y);
}

constexpr uint8_t kRateEffect[4] = {5, 2, 4, 1}; // by kind mod 4

} // namespace

void hantei(GameState& g) {
    const int32_t last = std::min<int32_t>(g.itemmax, kItemSlots - 1);
    for (int32_t i = 0; i <= last; ++i) {
        ItemSlot& s = g.bonusitems[size_t(i)];
        if (!touched(g, s)) continue;
        clearSquare(g, s.x, s.y);
        setefect(g, s.x, s.y, uint8_t(s.kind % 4 + 1));
        const DecStr worth =
            strmul(g.ratetable[s.kind % 12], strmul(comboFactor(g), inttostr(g.level)));
        g.score = stradd(g.score, strmul(worth, g.rate));
        replace(g, s);
        g.levelpts += 5;
        s.kind = uint8_t(g.random(11) + 1);
        combohit(g);
        soundplay(g, 0);
    }
    for (int32_t i = 0; i <= last; ++i) {
        ItemSlot& s = g.rateitems[size_t(i)];
        if (!touched(g, s)) continue;
        clearSquare(g, s.x, s.y);
        const DecStr& worth = g.bonustable[s.kind % 12];
        g.gain = stradd(g.gain, worth);
        if (g.combo > 0)
            g.rate = stradd(g.rate, strmul(worth, strmul(inttostr(g.combo), inttostr(g.level))));
        else
            g.rate = stradd(g.rate, strmul(g.gain, strmul("1", inttostr(g.level))));
        setefect(g, s.x, s.y, kRateEffect[s.kind % 4]);
        replace(g, s);
        s.kind = uint8_t(g.random(11) + 1);
        g.levelpts += 5;
        combohit(g);
        soundplay(g, 1);
    }
}

void combohit(GameState& g) {
    // A timer that has just run out, before the frame loop ends the chain, is reopened
    // without counting this pick-up.
    if (g.combotimer > 0 || g.combo == 0) g.combo += 1;
    g.combotimer = 355 - g.level / 2;
}

void scratch(GameState& g) {
    g.levelpts += 1;
    soundplay(g, 4);
    g.score = stradd(g.score, strmul(g.rate, strmul(comboFactor(g), inttostr(g.level))));
}
