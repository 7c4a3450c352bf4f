#include "app/input.h"
#include "platform/presses.h"
#include "support.h"

namespace {

constexpr int kW = 0x57;
using platform::Presses;

struct PressesTest : testing::Test {
    void SetUp() override { keyboard = Keyboard{}, mouse = {}; }
    Presses presses;
};

}  // namespace

TEST_F(PressesTest, ATapBetweenTwoFramesIsHeldForTheNextFrameOnly) {
    for (const bool down : {true, false}) presses.set(kKeyEscape, down), presses.set(Presses::kLeftButton, down);
    EXPECT_TRUE(keyboard.keys[kKeyEscape]);
    EXPECT_TRUE(mouse.leftButton);
    presses.frameDrawn();
    EXPECT_FALSE(keyboard.keys[kKeyEscape]);
    EXPECT_FALSE(mouse.leftButton);
}

TEST_F(PressesTest, AKeyAFrameHasSeenIsLetGoAtOnce) {
    presses.set(kW, true);
    presses.frameDrawn();
    presses.set(kW, false);
    EXPECT_FALSE(keyboard.keys[kW]);
}

TEST_F(PressesTest, AKeyTappedAndPressedAgainBeforeTheFrameStaysHeld) {
    for (const bool down : {true, false, true}) presses.set(Presses::kRightButton, down);
    presses.frameDrawn();
    EXPECT_TRUE(mouse.rightButton);
}
