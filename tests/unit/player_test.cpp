#include "app/frame_timer.h"
#include "app/input.h"
#include "player/player.h"
#include "support.h"
#include "terrain/camera.h"

namespace {

constexpr int kW = 0x57, kA = 0x41;

// The player on flat ground at 1.0, at 60 frames a second.
struct PlayerTest : testing::Test {
    void SetUp() override {
        testplatform::reset();
        loadHeightMap(terrain, heightMapFile(128, [](int, int) { return 100; }));
        keyboard = Keyboard{};
        mouse = {};
        frameTimer.framesPerSecond = 60;
        player.resetMotion();
        player.weaponFire.reset(false);
        player.weaponFire.recoilState = 0;  // no start-up recoil in these tests
    }
    void TearDown() override { clearTerrain(terrain); }
    int updates = 0;
    void frames(int n) {
        for (int i = 0; i < n; ++i, ++updates) player.update();
    }
    // How far the player goes in the next second, held keys as they are.
    float second() {
        const float x = player.x, z = player.z;
        frames(60);
        return std::hypot(player.x - x, player.z - z);
    }
    void press(int key, int held) { keyboard.keys[key] = true, frames(held), keyboard.keys[key] = false; }
    void walk() { frames(1), keyboard.keys[kW] = true, frames(8); }  // up to speed in an eighth of a second
    void run() { walk(), press(kKeyEnd, 4); }                       // held for four frames: one switch
    // A jump from a walk, the jump key held through it (one jump, as from a
    // tap), the walk key let go: the update it left the ground on.
    int jump() {
        walk();
        keyboard.keys[kKeyShift] = true;
        frames(1);
        keyboard.keys[kW] = false;
        return updates;
    }
};

}  // namespace

TEST_F(PlayerTest, WalkingCoversNearlyHalfAUnitASecondAndADiagonalMore) {
    walk();
    EXPECT_NEAR(0.5f, -player.vz, 1e-5) << "heading 0 walks towards -z";
    EXPECT_NEAR(0.47f, second(), 0.01f);
    keyboard.keys[kA] = true;  // strafing left, towards -x
    frames(8);
    EXPECT_NEAR(-0.5f, player.vx, 1e-5);
    EXPECT_NEAR(0.47f * std::sqrt(2.0f), second(), 0.01f);
}

TEST_F(PlayerTest, EachPressOfEndSwitchesBetweenWalkingAndRunning) {
    run();
    EXPECT_NEAR(0.82f, second(), 0.01f) << "running";
    press(kKeyEnd, 1);
    frames(8);
    EXPECT_NEAR(0.47f, second(), 0.01f) << "walking again";
}

TEST_F(PlayerTest, CrouchingLowersTheEyesFromAQuarterUnitAndShortensTheStride) {
    frames(1);
    player.publishCamera();
    EXPECT_EQ(1.25f, Camera.y) << "standing";
    run();
    keyboard.keys[kKeyControl] = true;
    frames(10);
    EXPECT_NEAR(0.57f, second(), 0.01f) << "running crouched";
    player.publishCamera();
    EXPECT_NEAR(1.175f, Camera.y, 0.5f / 60);
}

TEST_F(PlayerTest, StandingUpFromACrouchTakesAMoment) {
    keyboard.keys[kKeyControl] = true;
    frames(70);
    keyboard.keys[kKeyControl] = false;
    frames(3);
    EXPECT_NEAR(0.2f, player.eyeHeight, 0.01f);
    frames(40);
    EXPECT_NEAR(0.25f, player.eyeHeight, 0.5f / 60);
}

TEST_F(PlayerTest, LettingGoOfTheKeysComesToRestWithNoDrift) {
    walk();
    keyboard.keys[kW] = false;
    frames(43);
    EXPECT_LT(second(), 0.01f);
    walk();
    frameTimer.framesPerSecond = 70;  // a rate whose steps do not add up to a whole speed
    keyboard.keys[kW] = false;
    frames(20);
    EXPECT_EQ(0.0f, second());
}

TEST_F(PlayerTest, AJumpPeaksATenthOfAUnitUpAndLandsSixTenthsOfASecondLater) {
    const int jumped = jump();
    float top = 0;
    do {
        frames(1);
        top = std::fmax(top, player.y - 1.0f);
    } while (updates < 200 && player.y > 1.0f);
    EXPECT_NEAR(0.11, top, 0.01) << "the apex";
    EXPECT_NEAR(0.6, (updates - jumped) / 60.0, 0.02) << "seconds in the air";
    EXPECT_EQ(1.0f, player.y) << "the held key lifts off no second time";
}

TEST_F(PlayerTest, InTheAirTheSpeedIsKeptAndTurnsWithTheView) {
    jump();
    // Steering still acts within 0.05 of the ground; above it, nothing.
    for (int i = 0; i < 60 && player.y + player.vy / 60 <= 1.05f; ++i) frames(1);
    const float speed = std::hypot(player.vx, player.vz);
    mouse.deltaX = 900;  // a quarter turn to the right: forward is then +x
    frames(1);
    mouse.deltaX = 0;
    frames(1);  // the new heading steers from the next update on
    EXPECT_NEAR(speed, player.vx, 1e-4);
    EXPECT_NEAR(0, player.vz, 1e-4);
}

TEST_F(PlayerTest, LookingUpOrDownStopsAtItsLimitsTheRecoilIncluded) {
    // Pitch after a mouse move and a recoil, the recoil added before the limits.
    const float moves[][3] = {
        {-10000, 0, 67.5f}, {0, 0.5f, 67.5f}, {10000, 0, -90}, {0, -0.5f, -90}, {0, 0.25f, -89.75f}};
    for (const auto& m : moves) {
        mouse.deltaY = static_cast<int>(m[0]);
        player.weaponFire.recoil = m[1];
        frames(1);
        EXPECT_FLOAT_EQ(m[2], player.pitch) << m[0] << " " << m[1];
    }
}

TEST_F(PlayerTest, ZoomNarrowsTheViewWhileTheRightButtonIsHeld) {
    for (bool held : {true, false}) {  // at 180 degrees a second, down to 20 and back to 55
        mouse.rightButton = held;
        frames(held ? 17 : 12);
        EXPECT_NEAR(held ? 18.5f : 56.5f, player.fieldOfView, 1.5f);
    }
}

TEST_F(PlayerTest, TheLeftButtonHoldsTheTrigger) {
    for (bool held : {true, false}) {
        mouse.leftButton = held;
        frames(1);
        EXPECT_EQ(held, player.weaponFire.triggerDown);
    }
}

TEST_F(PlayerTest, TheTilesEdgeStopsOnlyTheAxisThatCrossesIt) {
    player.x = 24.99f;
    player.heading = -45;  // forward is towards +x and -z
    keyboard.keys[kW] = true;
    frames(30);
    const float stopped = player.x, z = player.z;
    EXPECT_LT(stopped, 25.0f);
    frames(30);
    EXPECT_FLOAT_EQ(stopped, player.x);
    EXPECT_LT(player.z, z - 0.1f);  // still sliding along the edge
    EXPECT_GT(player.vx, 0);        // the velocity is kept
}
