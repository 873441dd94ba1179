#include "platform/GamepadMap.h"

#include "platform/Platform.h"

#include <array>

namespace pad {

namespace {

// Indexed by Button.
constexpr std::array<uint8_t, ButtonCount> kButtonKeys = {vk::X,  // South
                                                          vk::S,  // East
                                                          0,      // West
                                                          0,      // North
                                                          vk::F3, // Back
                                                          0,      // Guide
                                                          vk::F7, // Start
                                                          0,      // LeftStick
                                                          0,      // RightStick
                                                          vk::S,  // LeftShoulder
                                                          vk::S,  // RightShoulder
                                                          0,      // DpadUp
                                                          0,      // DpadDown
                                                          vk::Left, vk::Right};

} // namespace

uint8_t buttonKey(int32_t button) {
    if (button < 0 || button >= ButtonCount) return 0;
    return kButtonKeys[size_t(button)];
}

uint8_t triggerKey() {
    return vk::S;
}

int8_t stickSide(int32_t value, int8_t previous) {
    if (value <= -kStickEnter) return -1;
    if (value >= kStickEnter) return 1;
    if (previous < 0 && value <= -kStickLeave) return -1;
    if (previous > 0 && value >= kStickLeave) return 1;
    return 0;
}

uint8_t stickKey(int8_t side) {
    return side < 0 ? vk::Left : side > 0 ? vk::Right : 0;
}

bool triggerHeld(int32_t value, bool previous) {
    return value >= kTriggerEnter || (previous && value >= kTriggerLeave);
}

} // namespace pad
