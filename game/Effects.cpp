#include "game/Effects.h"

#include "app/GameState.h"
#include "audio/Sound.h"

namespace {

// Free slots keep ageing every frame for the life of the program; the count wraps instead of
// overflowing.
inline void age(EffectSlot& e) {
    e.age = int32_t(uint32_t(e.age) + 1u);
}

void sparkle(GameState& g, EffectSlot& e) {
    imgblend(g.backbuf, e.x, e.y, g.sheets[sheet::Effect],
             rectWH((e.type - 1) * 144 + e.age * 16, 0, 16, 16), 1, 0);
    if (e.age >= 8) e.type = 0;
}

// The death: small explosions every third frame, then the big one centred on the point.
void deathSequence(GameState& g, EffectSlot& e) {
    if (e.age % 3 == 0) {
        const int32_t ry = g.random(24);
        const int32_t rx = g.random(24);
        setefect(g, g.px - 40 + rx, g.py - 40 + ry, 9);
    }
    if (e.age >= 30) {
        e.type = 0;
        setefect(g, g.px - 96, g.py - 96, 10);
    }
}

void glow(GameState& g, EffectSlot& e) {
    imgblend(g.backbuf, g.px - 7, g.py - 7, g.sheets[sheet::Effect], rectWH(720, 0, 16, 16), 0, 0);
    if (g.invtimer == 0) e.type = 0;
}

void flash(GameState& g, EffectSlot& e) {
    stbar(g.backbuf, 0, 0, 240, 240, 3, 3, uint8_t(100 - 10 * e.age), 0, uint8_t(128 - 10 * e.age),
          1);
    const Surface& thunder = g.sheets[e.age <= 2 ? sheet::Thunder2 : sheet::Thunder1];
    imgblend(g.backbuf, 0, 0, thunder, rectWH(0, 0, 240, 240), 0, 0);
    if (e.age >= 10) e.type = 0;
}

void smallExplosion(GameState& g, EffectSlot& e) {
    imgblend(g.backbuf, e.x, e.y, g.sheets[sheet::Bomb],
             rectWH((e.age % 6) * 64, (e.age / 6) * 64, 64, 64), 0, 0);
    if (e.age >= 11) e.type = 0;
}

void bigExplosion(GameState& g, EffectSlot& e) {
    stbar(g.backbuf, 0, 0, 240, 240, 3, 3, uint8_t((256 - 10 * e.age) % 256), 0, 0, 1);
    const int32_t col = (e.age % 18) / 3, row = e.age / 18;
    imgblend(g.backbuf, e.x, e.y, g.sheets[sheet::BigBomb], rectWH(col * 192, row * 192, 192, 192),
             0, 0);
    if (e.age >= 24) e.type = 0;
}

} // namespace

void setefect(GameState& g, int32_t x, int32_t y, uint8_t type) {
    for (EffectSlot& e : g.effects) {
        if (e.type != 0) continue;
        e.x = x;
        e.y = y;
        e.age = 0;
        e.type = type;
        if (type == 8) soundplay(g, 3);
        if (type == 9) soundplay(g, 2);
        if (type == 10) soundplay(g, 5);
        return;
    }
    // A full pool drops the effect, its sound included.
}

void moveefect(GameState& g) {
    // Effects started by a handler land in the first free slot; a slot after this one is then
    // drawn in this same pass. Slots are reached by index because handlers start new effects.
    for (size_t i = 0; i < g.effects.size(); ++i) {
        EffectSlot& e = g.effects[i];
        switch (e.type) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
            sparkle(g, e);
            break;
        case 6:
            deathSequence(g, e);
            break;
        case 7:
            glow(g, e);
            break;
        case 8:
            flash(g, e);
            break;
        case 9:
            smallExplosion(g, e);
            break;
        case 10:
            bigExplosion(g, e);
            break;
        default:
            break;
        }
        age(e);
    }
}
