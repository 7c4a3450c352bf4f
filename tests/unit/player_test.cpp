#include <gtest/gtest.h>

#include <cmath>

#include "app/frame_timer.h"
#include "app/input.h"
#include "player/player.h"
#include "platform/testing/test_platform.h"
#include "support.h"
#include "terrain/camera.h"
#include "terrain/terrain.h"

namespace {

constexpr int kW = 0x57, kS = 0x53, kA = 0x41;

// The global terrain flat at one height (sample 100: 1.0 units).
void flatTerrain() {
    loadHeightMap(terrain, heightMapFile(128, [](int, int) { return 100; }));
}

class PlayerTest : public testing::Test {
protected:
    void SetUp() override {
        testplatform::reset();
        flatTerrain();
        keyboard = Keyboard{};
        mouse.deltaX = mouse.deltaY = 0;
        mouse.leftButton = mouse.rightButton = false;
        frameTimer.framesPerSecond = 60;
        player.resetMotion();
        player.weaponFire.reset(false);
        player.weaponFire.recoilState = 0;  // no start-up recoil in these tests
    }
    void TearDown() override {
        std::free(terrain.heights);
        terrain = Terrain{};
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) player.update();
    }
    float speed() const { return std::sqrt(player.vx * player.vx + player.vz * player.vz); }
};

}  // namespace

TEST_F(PlayerTest, FirstUpdatePutsTheFeetOnTheGround) {
    frames(1);
    EXPECT_FLOAT_EQ(1.0f, player.y);
    player.publishCamera();
    EXPECT_FLOAT_EQ(1.25f, Camera.y);
    EXPECT_FLOAT_EQ(55.0f, Camera.fieldOfView);
}

TEST_F(PlayerTest, SteeringRisesOneStepAFrameToWalkingPace) {
    frames(1);
    keyboard.keys[kW] = true;
    frames(1);
    EXPECT_FLOAT_EQ(0.125f, player.forward);
    frames(7);
    EXPECT_FLOAT_EQ(1.0f, player.forward);
    EXPECT_NEAR(0.5f, speed(), 1e-5);
    EXPECT_NEAR(-0.5f, player.vz, 1e-5);  // heading 0 walks towards -z
    frames(10);  // held at the limit: within one step of it
    EXPECT_GE(player.forward, 1.0f - 0.125f);
    EXPECT_LE(player.forward, 1.0f + 0.125f);
    keyboard.keys[kW] = false;
    frames(30);
    EXPECT_LE(std::fabs(player.forward), 0.125f);
}

TEST_F(PlayerTest, RunningAndCrouchingScaleThePace) {
    frames(1);
    keyboard.keys[kKeyEnd] = true;
    frames(3);  // held: one switch only
    EXPECT_TRUE(player.running);
    keyboard.keys[kKeyEnd] = false;
    keyboard.keys[kW] = true;
    frames(8);
    EXPECT_NEAR(0.875f, speed(), 1e-5);
    keyboard.keys[kKeyControl] = true;
    frames(20);
    EXPECT_NEAR(0.175f, player.eyeHeight, 0.5f / 60);
    EXPECT_NEAR(3.5f * player.eyeHeight, speed(), 1e-5);
    keyboard.keys[kKeyEnd] = true;
    frames(1);
    EXPECT_FALSE(player.running);
    keyboard.keys[kKeyControl] = false;
    frames(20);
    EXPECT_NEAR(0.25f, player.eyeHeight, 0.5f / 60);
}

TEST_F(PlayerTest, DiagonalIsNotNormalised) {
    frames(1);
    keyboard.keys[kW] = keyboard.keys[kA] = true;
    frames(8);
    EXPECT_NEAR(0.5f * std::sqrt(2.0f), speed(), 1e-5);
    EXPECT_LT(player.vx, 0);  // A is towards -x at heading 0
}

TEST_F(PlayerTest, JumpLastsAboutSixTenthsOfASecond) {
    frames(1);
    keyboard.keys[kKeyShift] = true;
    frames(1);
    keyboard.keys[kKeyShift] = false;
    EXPECT_FLOAT_EQ(0.75f, player.vy);
    float top = 0;
    int airborne = 0;
    for (int i = 0; i < 120 && (airborne == 0 || player.y > 1.0f); ++i) {
        player.update();
        top = std::fmax(top, player.y - 1.0f);
        if (player.y > 1.0f) ++airborne;
    }
    EXPECT_NEAR(0.6, airborne / 60.0, 0.05);
    EXPECT_NEAR(0.11, top, 0.01);
    EXPECT_FLOAT_EQ(1.0f, player.y);
}

TEST_F(PlayerTest, SpeedIsKeptInTheAirButItsDirectionTurns) {
    frames(1);
    keyboard.keys[kW] = true;
    frames(8);
    keyboard.keys[kKeyShift] = true;
    frames(1);
    keyboard.keys[kKeyShift] = keyboard.keys[kW] = false;
    // Steering still acts within 0.05 of the ground; above it, nothing.
    while (player.y + player.vy / 60 <= 1.05f) frames(1);
    const float forward = player.forward;
    EXPECT_GT(forward, 0.2f);
    frames(5);
    EXPECT_FLOAT_EQ(forward, player.forward);
    mouse.deltaX = 900;  // turns heading by -90: forward is then +x
    frames(1);
    mouse.deltaX = 0;
    frames(1);  // the new heading steers from the next update on
    EXPECT_FLOAT_EQ(-90.0f, player.heading);
    EXPECT_NEAR(0.5f * forward, player.vx, 1e-4);
    EXPECT_NEAR(0.0f, player.vz, 1e-4);
}

TEST_F(PlayerTest, PitchStaysWithinItsLimitsWithTheRecoil) {
    frames(1);
    mouse.deltaY = -10000;
    frames(1);
    EXPECT_FLOAT_EQ(67.5f, player.pitch);
    player.weaponFire.recoil = 0.5f;
    mouse.deltaY = 0;
    frames(1);
    EXPECT_FLOAT_EQ(67.5f, player.pitch);
    mouse.deltaY = 10000;
    frames(1);
    EXPECT_FLOAT_EQ(-90.0f, player.pitch);
    // The recoil is added before the limits.
    player.weaponFire.recoil = -0.5f;
    mouse.deltaY = 0;
    frames(1);
    EXPECT_FLOAT_EQ(-90.0f, player.pitch);
    player.weaponFire.recoil = 0.25f;
    frames(1);
    EXPECT_FLOAT_EQ(-89.75f, player.pitch);
}

TEST_F(PlayerTest, ZoomNarrowsAtOneHundredEightyDegreesASecond) {
    mouse.rightButton = true;
    frames(1);
    EXPECT_FLOAT_EQ(52.0f, player.fieldOfView);
    frames(11);
    EXPECT_LE(player.fieldOfView, 20.0f + 1e-4f);
    EXPECT_GT(player.fieldOfView, 17.0f);
    frames(5);
    EXPECT_GT(player.fieldOfView, 17.0f);
    mouse.rightButton = false;
    frames(12);
    EXPECT_GE(player.fieldOfView, 55.0f - 1e-4f);
    EXPECT_LT(player.fieldOfView, 58.0f);
}

TEST_F(PlayerTest, EdgeOfTheTileStopsOnlyThatAxis) {
    player.x = 24.99f;
    player.z = 0;
    player.heading = -45;  // forward is towards +x and -z
    frames(1);
    keyboard.keys[kW] = true;
    frames(30);
    const float stopped = player.x;
    EXPECT_LT(stopped, 25.0f);
    EXPECT_GT(stopped, 24.99f);
    const float z = player.z;
    frames(30);
    EXPECT_FLOAT_EQ(stopped, player.x);
    EXPECT_LT(player.z, z - 0.1f);  // still sliding along the edge
    EXPECT_GT(player.vx, 0);        // the velocity is kept
}

TEST_F(PlayerTest, TriggerFollowsTheLeftButton) {
    mouse.leftButton = true;
    frames(1);
    EXPECT_TRUE(player.weaponFire.triggerDown);
    mouse.leftButton = false;
    frames(1);
    EXPECT_FALSE(player.weaponFire.triggerDown);
}
