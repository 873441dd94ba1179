#include "platform/sdl/SdlGamepad.h"

#include "platform/GamepadMap.h"

#include <SDL.h>

#include <cstdio>

static_assert(int(pad::South) == int(SDL_CONTROLLER_BUTTON_A) &&
                  int(pad::East) == int(SDL_CONTROLLER_BUTTON_B) &&
                  int(pad::Back) == int(SDL_CONTROLLER_BUTTON_BACK) &&
                  int(pad::Start) == int(SDL_CONTROLLER_BUTTON_START) &&
                  int(pad::LeftShoulder) == int(SDL_CONTROLLER_BUTTON_LEFTSHOULDER) &&
                  int(pad::RightShoulder) == int(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) &&
                  int(pad::DpadLeft) == int(SDL_CONTROLLER_BUTTON_DPAD_LEFT) &&
                  int(pad::DpadRight) == int(SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
              "the mapping table is numbered as SDL numbers the buttons");

SdlGamepad::~SdlGamepad() {
    for (Pad& p : pads_)
        if (p.controller != nullptr) SDL_GameControllerClose(p.controller);
}

SdlGamepad::Pad* SdlGamepad::find(int32_t instance) {
    for (Pad& p : pads_)
        if (p.controller != nullptr && p.instance == instance) return &p;
    return nullptr;
}

void SdlGamepad::open(int32_t deviceIndex) {
    if (find(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
    for (Pad& p : pads_) {
        if (p.controller != nullptr) continue;
        p.controller = SDL_GameControllerOpen(deviceIndex);
        if (p.controller == nullptr) {
            std::fprintf(stderr, "vortalix: cannot open the gamepad: %s\n", SDL_GetError());
            return;
        }
        p.instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(p.controller));
        p.stickSide = 0;
        p.trigger = false;
        return;
    }
    std::fprintf(stderr, "vortalix: more than %zu gamepads; this one is not used\n", kMaxPads);
}

void SdlGamepad::close(Pad& p) {
    // What it held is let go, so a speed button does not stick when the pad is pulled out.
    for (int32_t b = 0; b < pad::ButtonCount; ++b)
        if (SDL_GameControllerGetButton(p.controller, SDL_GameControllerButton(b)) != 0)
            keys_.padRelease(pad::buttonKey(b));
    if (p.stickSide != 0) keys_.padRelease(pad::stickKey(p.stickSide));
    if (p.trigger) keys_.padRelease(pad::triggerKey());
    SDL_GameControllerClose(p.controller);
    p = Pad{};
}

bool SdlGamepad::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        open(event.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (Pad* p = find(event.cdevice.which)) close(*p);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const uint8_t key = pad::buttonKey(event.cbutton.button);
        if (key == 0 || find(event.cbutton.which) == nullptr) return true;
        if (event.type == SDL_CONTROLLERBUTTONDOWN)
            keys_.padPress(key);
        else
            keys_.padRelease(key);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        Pad* p = find(event.caxis.which);
        if (p == nullptr) return true;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
            const int8_t side = pad::stickSide(event.caxis.value, p->stickSide);
            if (side != p->stickSide) {
                if (p->stickSide != 0) keys_.padRelease(pad::stickKey(p->stickSide));
                if (side != 0) keys_.padPress(pad::stickKey(side));
                p->stickSide = side;
            }
        } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
            const bool held = pad::triggerHeld(event.caxis.value, p->trigger);
            if (held != p->trigger) {
                if (held)
                    keys_.padPress(pad::triggerKey());
                else
                    keys_.padRelease(pad::triggerKey());
                p->trigger = held;
            }
        }
        return true;
    }
    default:
        return false;
    }
}

void SdlGamepad::releaseAll() {
    // The platform lets go of every key itself; the pads only forget their stick and trigger,
    // which would otherwise never press again until they had moved back.
    for (Pad& p : pads_) {
        p.stickSide = 0;
        p.trigger = false;
    }
}
