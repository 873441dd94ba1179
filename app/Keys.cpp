// The key handler: every key-down event acts once, key repeats included.

#include "app/Loadpic.h"
#include "app/TForm1.h"
#include "game/Game.h"
#include "render/Frame.h"
#include "screens/Ranking.h"

namespace {

enum class Group { None, Quit, TurnLeft, Confirm, TurnRight };

Group groupOf(uint8_t key) {
    switch (key) {
    case vk::Escape:
        return Group::Quit;
    case vk::Left:
    case vk::D4:
    case vk::Z:
        return Group::TurnLeft;
    case vk::Up:
    case vk::D5:
    case vk::X:
        return Group::Confirm;
    case vk::Right:
    case vk::D6:
    case vk::C:
        return Group::TurnRight;
    default:
        return Group::None;
    }
}

void backToTitle(GameState& g) {
    if (g.midiplayer->playing == 1) g.midiplayer->stop();
    shokika(g);
}

void start(GameState& g) {
    g.mode = 1;
    g.modeclock = 0;
    cls(g);
    g.midiplayer->play(g.musicMain);
}

} // namespace

void TForm1::FormKeyDown(uint8_t key) {
    switch (groupOf(key)) {
    case Group::Quit:
        platform.halt(1); // a name being entered is lost
    case Group::TurnLeft:
        if (g.mode == 2) g.dir = uint8_t(g.dir - 1);
        if (g.mode == 3) nameCursorLeft(g);
        break;
    case Group::TurnRight:
        if (g.mode == 2) g.dir = uint8_t(g.dir + 1);
        if (g.mode == 3) nameCursorRight(g);
        break;
    case Group::Confirm:
        if (g.mode == 0)
            start(g);
        else if (g.mode == 3)
            nameSelect(g);
        else if (g.mode == 4)
            backToTitle(g);
        break;
    case Group::None:
        switch (key) {
        case vk::F1:
            sc_shot(g);
            break;
        case vk::F2:
            if (g.mode == 0) choosePicture(g);
            break;
        case vk::F3:
            if (g.mode == 0) {
                g.mode = 4;
                g.midiplayer->play(g.musicRanking);
            } else if (g.mode == 1 || g.mode == 2 || g.mode == 4) {
                backToTitle(g);
            }
            break;
        case vk::F4:
            g.seenabled = g.seenabled == 0 ? 1 : 0;
            break;
        case vk::F5:
            g.midiplayer->setenabled(g.midiplayer->enabled != 0 ? 0 : 1);
            break;
        case vk::F6:
            g.bgenabled = g.bgenabled == 0 ? 1 : 0;
            break;
        case vk::F7:
            g.paused = g.paused == 0 ? 1 : 0;
            break;
        default:
            break;
        }
        break;
    }
    // The only place the direction is brought back into 1..4.
    if (g.dir < 1) g.dir = 4;
    if (g.dir > 4) g.dir = 1;
}
