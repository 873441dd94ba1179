// A pad stands for keys: each button for the key of the same command, the stick for the turn
// keys with a dead zone, the right trigger for a speed key.

#include "platform/GamepadMap.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ButtonCase {
    const char* name;
    int32_t button;
    uint8_t key;
};

class PadButtons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(PadButtons, StandForTheirKeys) {
    EXPECT_EQ(pad::buttonKey(GetParam().button), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Pad, PadButtons,
    ::testing::Values(ButtonCase{"DpadLeftTurnsLeft", pad::DpadLeft, vk::Left},
                      ButtonCase{"DpadRightTurnsRight", pad::DpadRight, vk::Right},
                      ButtonCase{"SouthConfirmsWithoutSpeeding", pad::South, vk::X},
                      ButtonCase{"EastSpeedsUp", pad::East, vk::S},
                      ButtonCase{"LeftShoulderSpeedsUp", pad::LeftShoulder, vk::S},
                      ButtonCase{"RightShoulderSpeedsUp", pad::RightShoulder, vk::S},
                      ButtonCase{"StartPauses", pad::Start, vk::F7},
                      ButtonCase{"BackIsTheRankingKey", pad::Back, vk::F3},
                      ButtonCase{"GuideDoesNothing", pad::Guide, 0},
                      ButtonCase{"DpadUpDoesNothing", pad::DpadUp, 0},
                      ButtonCase{"NegativeIsNoButton", -1, 0},
                      ButtonCase{"PastTheTableIsNoButton", pad::ButtonCount, 0}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.name); });

TEST(Pad, StickEntersASideOnceAndLeavesItOnlyNearTheCentre) {
    // A push to the right, resting near the dead zone's edge, back, then across to the left.
    const int32_t values[] = {0,
                              5000,
                              pad::kStickEnter,
                              30000,
                              pad::kStickEnter - 1,
                              pad::kStickLeave,
                              pad::kStickLeave - 1,
                              0,
                              -32768,
                              -9000,
                              -7000};
    const int8_t want[] = {0, 0, 1, 1, 1, 1, 0, 0, -1, -1, 0};
    int8_t side = 0;
    int32_t presses = 0;
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i) {
        const int8_t next = pad::stickSide(values[i], side);
        EXPECT_EQ(next, want[i]) << "at value " << values[i];
        if (next != 0 && next != side) ++presses;
        side = next;
    }
    EXPECT_EQ(presses, 2) << "one press for each side entered";
    EXPECT_EQ(pad::stickKey(-1), vk::Left);
    EXPECT_EQ(pad::stickKey(1), vk::Right);
    EXPECT_EQ(pad::stickKey(0), 0);
    EXPECT_EQ(pad::stickSide(32767, -1), 1) << "straight across to the other side";
}

TEST(Pad, TriggerHeldPastHalfWayUntilNearlyLetGo) {
    EXPECT_FALSE(pad::triggerHeld(pad::kTriggerEnter - 1, false));
    EXPECT_TRUE(pad::triggerHeld(pad::kTriggerEnter, false));
    EXPECT_TRUE(pad::triggerHeld(pad::kTriggerLeave, true));
    EXPECT_FALSE(pad::triggerHeld(pad::kTriggerLeave - 1, true));
    EXPECT_EQ(pad::triggerKey(), vk::S);
}

} // namespace
