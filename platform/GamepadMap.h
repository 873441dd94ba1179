#pragma once
// What a gamepad's buttons and axes mean to the game: each one stands for a key, so every
// screen behaves with a pad exactly as with the keyboard. Plain data, no SDL, so the mapping
// can be checked without a device. Buttons are numbered as SDL's GameController numbers them.

#include <cstdint>

namespace pad {

enum Button : int32_t {
    South = 0, // A on most pads
    East = 1,  // B
    West = 2,
    North = 3,
    Back = 4,
    Guide = 5,
    Start = 6,
    LeftStick = 7,
    RightStick = 8,
    LeftShoulder = 9,
    RightShoulder = 10,
    DpadUp = 11,
    DpadDown = 12,
    DpadLeft = 13,
    DpadRight = 14,
    ButtonCount = 15
};

// The virtual key a button stands for; 0 for a button the game does not use.
//   D-pad left/right: turn / move the name cursor (Left, Right)
//   South: confirm, start, choose the character, back to the title (X, never a speed key)
//   East, either shoulder: faster while held (S)
//   Start: pause (F7); Back: ranking / back to the title (F3)
uint8_t buttonKey(int32_t button);

// The right trigger held down speeds up too, as the key below.
uint8_t triggerKey();

// The left stick's x axis, with a dead zone: -1 left, 0 centre, 1 right. A side is entered
// past kEnter and left only below kLeave, so a stick resting near the edge of the dead zone
// does not chatter into many presses.
constexpr int32_t kStickEnter = 12000, kStickLeave = 8000;
int8_t stickSide(int32_t value, int8_t previous);
// The key a stick side stands for (Left, Right), 0 for the centre.
uint8_t stickKey(int8_t side);

// The trigger counts as held past kTriggerEnter and as let go below kTriggerLeave.
constexpr int32_t kTriggerEnter = 16000, kTriggerLeave = 8000;
bool triggerHeld(int32_t value, bool previous);

} // namespace pad
