// The key translation is written without SDL's headers; these checks make sure its numbers
// are the ones this SDL uses.

#include "platform/sdl/SdlKeys.h"

#include <SDL.h>

namespace sdlkeys {

static_assert(kScancodeMask == SDLK_SCANCODE_MASK);
static_assert(kScanA == SDL_SCANCODE_A && kScanZ == SDL_SCANCODE_Z);
static_assert(kScan1 == SDL_SCANCODE_1 && kScan9 == SDL_SCANCODE_9 && kScan0 == SDL_SCANCODE_0);
static_assert(kScanCapsLock == SDL_SCANCODE_CAPSLOCK && kScanPause == SDL_SCANCODE_PAUSE);
static_assert(kScanF1 == SDL_SCANCODE_F1 && kScanF12 == SDL_SCANCODE_F12);
static_assert(kScanInsert == SDL_SCANCODE_INSERT && kScanHome == SDL_SCANCODE_HOME &&
              kScanPageUp == SDL_SCANCODE_PAGEUP && kScanEnd == SDL_SCANCODE_END &&
              kScanPageDown == SDL_SCANCODE_PAGEDOWN);
static_assert(kScanRight == SDL_SCANCODE_RIGHT && kScanLeft == SDL_SCANCODE_LEFT &&
              kScanDown == SDL_SCANCODE_DOWN && kScanUp == SDL_SCANCODE_UP);
static_assert(kScanKpDivide == SDL_SCANCODE_KP_DIVIDE && kScanKpEnter == SDL_SCANCODE_KP_ENTER &&
              kScanKp1 == SDL_SCANCODE_KP_1 && kScanKp9 == SDL_SCANCODE_KP_9 &&
              kScanKp0 == SDL_SCANCODE_KP_0 && kScanKpPeriod == SDL_SCANCODE_KP_PERIOD);
static_assert(kScanLCtrl == SDL_SCANCODE_LCTRL && kScanLShift == SDL_SCANCODE_LSHIFT &&
              kScanLAlt == SDL_SCANCODE_LALT && kScanRCtrl == SDL_SCANCODE_RCTRL &&
              kScanRShift == SDL_SCANCODE_RSHIFT && kScanRAlt == SDL_SCANCODE_RALT);
static_assert(kKeyBackspace == SDLK_BACKSPACE && kKeyTab == SDLK_TAB && kKeyReturn == SDLK_RETURN &&
              kKeyEscape == SDLK_ESCAPE && kKeySpace == SDLK_SPACE && kKeyDelete == SDLK_DELETE);
static_assert(keycodeOf(kScanF1) == SDLK_F1 && keycodeOf(kScanLeft) == SDLK_LEFT &&
              keycodeOf(kScanKp1) == SDLK_KP_1 && keycodeOf(kScanLShift) == SDLK_LSHIFT);

// A few translations, checked with SDL's own names.
static_assert(virtualKey(SDLK_a, SDL_SCANCODE_A) == 65 && virtualKey(SDLK_z, SDL_SCANCODE_Z) == 90);
static_assert(virtualKey(SDLK_4, SDL_SCANCODE_4) == 52 && virtualKey(SDLK_0, SDL_SCANCODE_0) == 48);
static_assert(virtualKey(SDLK_KP_4, SDL_SCANCODE_KP_4) == 100);
static_assert(virtualKey(SDLK_UP, SDL_SCANCODE_UP) == 38 &&
              virtualKey(SDLK_F7, SDL_SCANCODE_F7) == 118);

} // namespace sdlkeys
