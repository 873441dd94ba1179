// The moving point: one step, the level-up and the death.

#include "app/GameState.h"
#include "game/Effects.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "render/Frame.h"

namespace {

inline bool isWhite(const uint8_t* p) {
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

inline uint8_t* pixel(Surface& s, int32_t x, int32_t y) {
    return s.row(y) + size_t(x) * 3;
}

// The field wraps with a period of 239: 240 is column 1 and 0 is column 239.
inline int32_t wrap(int32_t v) {
    if (v > 239) v = 1;
    if (v < 1) v = 239;
    return v;
}

// Up arrow, then '8', then 'S'; each asked only when the one before said no.
bool speedKeyHeld(Platform& p) {
    return p.getAsyncKeyState(vk::Up) || p.getAsyncKeyState(vk::D8) || p.getAsyncKeyState(vk::S);
}

} // namespace

bool move(GameState& g) {
    if (g.stepclock < g.stepwait) return true;

    const size_t d = g.dir >= 1 && g.dir <= 4 ? g.dir : 0;
    g.px += g.dirdx[d];
    g.py += g.dirdy[d];
    g.scrollx -= g.dirdx[d];
    g.scrolly -= g.dirdy[d];

    g.stepwait = speedKeyHeld(*g.platform) ? 1 : 3;

    // Before the death test, so the step that levels up is already invincible.
    if (g.levelpts >= g.levelneed[g.level] && g.level < 255) lv_up(g);

    g.px = wrap(g.px);
    g.py = wrap(g.py);

    uint8_t* here = pixel(g.linelayer, g.px, g.py);
    const bool alive = !(g.playstate != 2 && isWhite(here));

    // Near misses: every white neighbour but the square just left scores once.
    const bool up = isWhite(pixel(g.linelayer, g.px, wrap(g.py - 1)));
    const bool left = isWhite(pixel(g.linelayer, wrap(g.px - 1), g.py));
    const bool down = isWhite(pixel(g.linelayer, g.px, wrap(g.py + 1)));
    const bool right = isWhite(pixel(g.linelayer, wrap(g.px + 1), g.py));
    if (up && g.dir != 2) scratch(g);
    if (left && g.dir != 1) scratch(g);
    if (down && g.dir != 4) scratch(g);
    if (right && g.dir != 3) scratch(g);

    hantei(g); // also on the fatal step: it can still collect items

    here[0] = here[1] = here[2] = 255;
    if (g.stepclock == 3) g.stepclock = 0;
    return alive;
}

void lv_up(GameState& g) {
    g.levelpts = 0;
    g.level = uint8_t(g.level + 1);
    if (g.playstate != 2) setefect(g, g.px, g.py, 7); // an invincible point keeps its one glow
    setefect(g, 0, 0, 8);
    g.invtimer = 100;
    g.playstate = 2;
    // Every fourth level brings one more item of each kind, up to the 64 slots there are.
    if (g.level % 4 == 0 && g.itemmax < kItemSlots - 1) {
        g.itemmax = uint8_t(g.itemmax + 1);
        for (ItemSlot* s : {&g.bonusitems[g.itemmax], &g.rateitems[g.itemmax]}) {
            if (s->kind != 0) continue;
            s->x = g.random(224);
            s->y = g.random(224);
            s->kind = uint8_t(g.random(11) + 1);
        }
        all_put(g);
    }
    const int32_t dots = int32_t(g.level) + 5;
    for (int32_t i = 0; i < dots; ++i) {
        const int32_t row = g.random(240);
        const int32_t col = g.random(240);
        uint8_t* p = pixel(g.linelayer, col, row);
        p[0] = p[1] = p[2] = 255;
    }
}

void dead(GameState& g) {
    setefect(g, g.px - 32, g.py - 32, 6);
    g.playstate = 0;
    g.modeclock = 0;
    g.midiplayer->play(g.musicGameOver);
}
