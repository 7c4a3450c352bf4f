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
    float speed() const { return std::hypot(player.vx, player.vz); }
    // The speed per unit of steering and of eye height.
    float pace() const { return speed() / (player.eyeHeight * std::fabs(player.forward)); }
};

}  // namespace

TEST_F(PlayerTest, SteeringRisesOneStepAFrameToThePaceOfWalkingRunningOrCrouching) {
    frames(1);
    player.publishCamera();
    EXPECT_EQ(values(1.25f, 55), values(Camera.y, Camera.fieldOfView));  // feet on the ground, eyes 0.25 above
    keyboard.keys[kW] = true;
    frames(1);
    EXPECT_FLOAT_EQ(0.125f, player.forward);
    frames(7);
    EXPECT_NEAR(-0.5f, player.vz, 1e-5);  // heading 0 walks towards -z
    keyboard.keys[kA] = true;  // strafing left, towards -x; a diagonal is not normalised
    frames(8);
    EXPECT_THAT(values(player.vx, speed()), within(1e-5, values(-0.5, 0.5 * std::sqrt(2.0))));
    keyboard.keys[kA] = false;
    frames(20);
    EXPECT_THAT(values(player.forward, pace()), within(0.125, values(1, 2)));  // within a step of the limit
    keyboard.keys[kKeyEnd] = true;
    frames(3);  // held: one switch only
    keyboard.keys[kKeyEnd] = false;
    EXPECT_NEAR(3.5f, pace(), 1e-4);
    keyboard.keys[kKeyControl] = true;  // crouching down to 0.175, slowing with the eye height
    frames(20);
    EXPECT_TRUE(player.eyeHeight > 0.175f - 0.5f / 60 && player.eyeHeight < 0.175f + 0.5f / 60);
    EXPECT_NEAR(3.5f, pace(), 1e-4);
    keyboard.keys[kKeyControl] = keyboard.keys[kW] = false;
    frames(40);
    EXPECT_NEAR(0.25f, player.eyeHeight, 0.5f / 60);
    EXPECT_LE(speed(), 0.07f);
}

TEST_F(PlayerTest, JumpKeepsTheSpeedButItsDirectionTurnsWithTheView) {
    frames(1);
    keyboard.keys[kW] = true;
    frames(8);
    keyboard.keys[kKeyShift] = true;
    frames(1);
    keyboard.keys[kKeyShift] = keyboard.keys[kW] = false;
    EXPECT_FLOAT_EQ(0.75f, player.vy);
    const int jumped = updates;
    // Steering still acts within 0.05 of the ground; above it, nothing.
    while (player.y + player.vy / 60 <= 1.05f) frames(1);
    const float forward = player.forward;
    mouse.deltaX = 900;  // turns heading by -90: forward is then +x
    frames(1);
    mouse.deltaX = 0;
    frames(1);  // the new heading steers from the next update on
    EXPECT_THAT(values(player.heading, player.forward, player.vx, player.vz),
                within(1e-4, values(-90, forward, 0.5 * forward, 0)));
    float top = 0;
    while (updates < 200 && player.y > 1.0f) {
        top = std::fmax(top, player.y - 1.0f);
        frames(1);
    }
    EXPECT_THAT(values((updates - jumped) / 60.0, top, player.y),
                within(0.02, values(0.6, 0.11, 1)));  // seconds, height
}

TEST_F(PlayerTest, PitchWithTheRecoilStaysInItsLimitsZoomNarrowsAndTheButtonFires) {
    // Pitch after a mouse move and a recoil, the recoil added before the limits.
    const float moves[][3] = {
        {-10000, 0, 67.5f}, {0, 0.5f, 67.5f}, {10000, 0, -90}, {0, -0.5f, -90}, {0, 0.25f, -89.75f}};
    for (const auto& m : moves) {
        mouse.deltaY = static_cast<int>(m[0]);
        player.weaponFire.recoil = m[1];
        frames(1);
        EXPECT_FLOAT_EQ(m[2], player.pitch) << m[0] << " " << m[1];
    }
    mouse.rightButton = mouse.leftButton = true;  // 180 degrees a second, down to 20
    frames(1);
    EXPECT_EQ(values(52, true), values(player.fieldOfView, player.weaponFire.triggerDown));
    frames(16);
    EXPECT_NEAR(18.5f, player.fieldOfView, 1.5f);
    mouse.rightButton = mouse.leftButton = false;
    frames(12);
    EXPECT_THAT(values(player.fieldOfView, player.weaponFire.triggerDown), within(1.5, values(56.5, false)));
}

TEST_F(PlayerTest, EdgeOfTheTileStopsOnlyThatAxis) {
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
