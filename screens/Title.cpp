// The title and the count-down that leads into play.

#include "app/GameState.h"
#include "audio/Sound.h"
#include "game/Effects.h"
#include "render/Font.h"
#include "render/Frame.h"
#include "screens/Screens.h"

namespace {
// 30 and 11 characters, drawn with the 8-pixel font to the window's edges.
constexpr const char* kCreditLine = "PRESENTED BY THE VORTALIX TEAM";
constexpr const char* kCreditTag = "REVISION 26";
static_assert(std::char_traits<char>::length(kCreditLine) == 30);
static_assert(std::char_traits<char>::length(kCreditTag) == 11);
} // namespace

void t_gamen(GameState& g, uint32_t c) {
    const Surface& title = g.sheets[sheet::Title];
    if (c <= 40) {
        // The opening: even rows slide in from the left, odd rows from the right.
        const int32_t ci = int32_t(c);
        for (int32_t r = 0; r < 70; ++r) {
            const int32_t x = r % 2 == 0 ? 2 * ci - 60 : 100 - 2 * ci;
            imgblend(g.backbuf, x, 20 + r, title, rectWH(0, r, 200, 1), 1, 0);
        }
    } else if (c == 41) {
        soundplay(g, 3);
        setefect(g, 0, 0, 8);
    } else {
        imgputfast(g.backbuf, 20, 20, title, rectWH(0, 0, 200, 70), 1);
    }
    g.modeclock = int32_t(uint32_t(g.modeclock) + 1u); // the still title may stay for ever
    if (c > 41) {
        moji(g, "PUSH X KEY", 120, 120, 0, 8, 1);
        moji(g, kCreditLine, 0, 224, 1, 8, 0);
        moji(g, kCreditTag, 152, 232, 2, 8, 0);
    }
}

void count_down(GameState& g) {
    all_put(g);
    moji(g, "READY", 120, 64, 0, 10, 1);
    if (g.countdown > 0 && g.countdown < 4) {
        const char digit[1] = {char('0' + g.countdown)};
        moji(g, std::string_view(digit, 1), 120, 80, g.countdown - 1, 8, 1);
    }
    if (g.countclock > 1000) {
        if (g.countdown > 1) {
            soundplay(g, g.countdown + 4);
        } else {
            soundplay(g, 9);
            g.mode = 2;
        }
        g.countclock = 0;
        g.countdown -= 1;
    }
}
