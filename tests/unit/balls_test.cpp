#include <algorithm>

#include "app/frame_timer.h"
#include "balls/balls.h"
#include "player/player.h"
#include "support.h"

namespace {

// Balls parked far apart at rest on flat ground at 1.0, 100 frames a second.
struct BallTest : testing::Test {
    void SetUp() override {
        testplatform::reset();
        ground([](int, int) { return 100; });
        frameTimer.framesPerSecond = 100;
        fire().reset(false);
        fire().recoilState = 0;
        for (int i = 0; i < BallSet::kBalls; ++i) ballSet.balls[i] = Ball{true, -20.0f + 4 * i, 1.0f, 20, 0, 0, 0, 0};
    }
    void TearDown() override { clearTerrain(terrain); }
    template <typename F>
    void ground(F height) { loadHeightMap(terrain, heightMapFile(128, height)); }
    Ball& ball(int i) { return ballSet.balls[i]; }
    WeaponFire& fire() { return player.weaponFire; }
    long flying() { return std::count_if(fire().bullets, fire().bullets + WeaponFire::kBullets, [](auto& b) { return b.life > 0; }); }
    // Fires one shot from (x, y, z) and lets it fly until it hits or expires.
    void shoot(float x, float y, float z, float pitch) {
        fire().triggerDown = fire().triggerArmed = true;
        fire().step(x, y, z, pitch, 0);
        fire().triggerDown = false;
        for (int i = 0; i < 1100 && flying(); ++i) fire().step(0, 5, 0, 0, 0);
    }
};

}  // namespace

TEST_F(BallTest, BallsBounceBackWithThreeQuartersAndRollDownhillGainingTwiceTheSlope) {
    ball(0).y = 2.0f;
    ball(1).y = -3;  // below the surface: put on it
    float impact = 0;
    for (int frame = 0; frame < 1000 && impact == 0; ++frame) {
        const float before = ball(0).vy;
        ballSet.update();
        EXPECT_FLOAT_EQ(1.0f, ball(1).y);
        if (ball(0).vy > 0) {
            impact = before;
            EXPECT_EQ(values(-0.75f * before, 1), values(ball(0).vy, ball(0).y));
        }
    }
    EXPECT_LT(impact, -1.5f);  // about sqrt(2 * 1.5 * 1)
    for (int i = 0; i < 2000; ++i) ballSet.update();
    EXPECT_THAT(values(ball(0).y, ball(0).vy), within(0.05, values(1, 0)));

    ground([](int i, int) { return i; });  // rising by one sample per column towards +x
    const float slope = 0.01f / terrain.cellSize;
    Ball& b = ball(0);
    b.x = b.z = 0.1f;
    b.y = terrain.heightAt(b.x, b.z);
    ballSet.update();
    EXPECT_NEAR(-2 * slope / 100, b.vx, 1e-6);
    for (int i = 0; i < 50; ++i) ballSet.update();
    EXPECT_LT(b.x, 0.1f);  // travelling towards -x, heading atan(vx / 0)
    EXPECT_THAT(values(b.vx, b.heading), within(0.05, values(-2 * slope * 0.51f, -90)));
}

TEST_F(BallTest, ContactsSwapDampedVelocitiesAndAShotBallStopsTheOtherDead) {
    ball(0) = Ball{true, 0, 1, 0, 0, 1, 0, 0};
    ball(1) = Ball{true, 0.15f, 1, 0, 0, -2, 0, 0.5f};
    ballSet.update();  // ball 0 moved first; ball 1 then met it
    EXPECT_EQ(values(0.75f * -2, 0.75f * 0.5f, 0.75f, 0), values(ball(0).vx, ball(0).vz, ball(1).vx, ball(1).vz));
    // A shot ball reaches 0.1 + 0.05: at 0.17 after the move, no contact.
    ball(0) = Ball{false, 0, 1, 0, 33, 0, 0, 0};
    for (const float x : {0.19f, 0.12f}) {
        ball(1) = Ball{true, x, 1, 0, 0, -1, 0, 0};
        ballSet.update();
        EXPECT_EQ(x < 0.15f ? 0.0f : -1.0f, ball(1).vx) << x;
    }
    ballSet.update();  // the shot ball takes the damped velocity but never moves with it
    EXPECT_EQ(values(0, 33), values(ball(0).x, ball(0).heading));
}

TEST_F(BallTest, BulletsShootBallsAndShotBallsStayWhereTheyWere) {
    Bullet& b = fire().bullets[3];
    b = Bullet{ball(2).x + 0.1f, ball(2).y + 0.05f, ball(2).z, 0, 0, 0, 5};
    ballSet.update();
    EXPECT_EQ(values(false, 0, true), values(ball(2).intact, b.life, ball(1).intact));  // the bullet used up
    ball(0) = Ball{false, 0, 1.5f, 0, 10, 3, 3, 3};  // shot in mid-air
    ballSet.update();
    EXPECT_EQ(values(1.5f, 0), values(ball(0).y, ball(0).vy));
    // It catches bullets within 0.15 vertically, 0.15 / sqrt(2) horizontally.
    for (auto [x, y, caught] : {std::tuple{0.11f, 1.5f, false}, {0.10f, 1.5f, true}, {0.0f, 1.64f, true}}) {
        b = Bullet{x, y, 0, 0, 0, 0, 1};
        ballSet.update();
        EXPECT_EQ(caught, b.life == 0.0f) << x << " " << y;
    }
}

TEST_F(BallTest, TriggerFiresOncePerPressAlongTheViewAndRearmsOnlyAtRest) {
    fire().triggerDown = true;
    fire().step(1, 2, 3, 0, 0);
    const Bullet& a = fire().bullets[0];
    EXPECT_THAT(values(a.x, a.z, a.vz, a.life), within(1e-4, values(1, 2.9, -10, 9.99)));  // one step flown
    for (int i = 0; i < 100; ++i) fire().step(0, 2, 0, 0, 0);
    EXPECT_EQ(1, flying());
    EXPECT_EQ(std::vector<std::string>{"data/sounds/bullet_fire_1.wav"}, testplatform::sounds);
    fire().triggerDown = false;  // released while the recoil still runs
    fire().recoilState = 1;
    fire().recoil = 0;
    fire().step(0, 2, 0, 0, 0);
    EXPECT_FALSE(fire().triggerArmed);
    for (int i = 0; i < 100 && fire().recoilState != 0; ++i) fire().step(0, 2, 0, 0, 0);
    fire().step(0, 2, 0, 0, 0);
    EXPECT_TRUE(fire().triggerArmed);
    fire().triggerDown = true;
    fire().step(0, 2, 0, 30, 90);  // up 30 degrees, heading 90: towards -x
    const Bullet& b = fire().bullets[1];
    EXPECT_THAT(values(b.vx, b.vy, b.vz), within(1e-3, values(-10 * std::cos(M_PI / 6), 5, 0)));
    EXPECT_EQ(2u, testplatform::sounds.size());
}

TEST_F(BallTest, RecoilCycleKicksTheViewByItsStepsAndNeverJumpsAtStartUp) {
    // Steps of 20 / F up past 0.5, one frame to turn, down past -0.5, then 0; the pitch kick is their sum.
    // At a rate of 1 (the first frames of a run) a step would be 20: it stops at the limit.
    for (auto [fps, peak, kick, frames] :
         {std::tuple{60u, 2 / 3.0f, 1.0f, 8}, {100u, 0.6f, 1.2f, 11}, {1u, 0.5f, 0.5f, 4}}) {
        frameTimer.framesPerSecond = fps;
        fire().reset(false);  // the start-up cycle: state 1 without a shot
        float high = 0, sum = 0;
        int n = 0;
        do {
            fire().step(0, 2, 0, 0, 0);
            high = std::fmax(high, fire().recoil);
            sum += fire().recoil;
        } while (++n < 100 && fire().recoilState != 0);
        EXPECT_THAT(values(high, sum, n, fire().recoil), within(1e-5, values(peak, kick, frames, 0))) << fps;
    }
    fire().reset(false);  // a press during the start-up cycle fires
    fire().step(0, 2, 0, 0, 0);
    fire().triggerDown = true;
    EXPECT_TRUE(fire().step(0, 2, 0, 0, 0));
}

TEST_F(BallTest, GroundHitsLeaveARingOfTwentyMarksLyingOnTheSlope) {
    for (int shot = 0; shot < 21; ++shot) shoot(0.5f * shot - 5, 1.05f, 2, -60);  // at the ground just ahead
    EXPECT_EQ(1u, fire().nextMark);
    const ImpactMark* m = fire().marks;  // the 21st took the first's place; on flat ground lifted 0.001
    EXPECT_THAT(values((m[0].cornerX[0] + m[0].cornerX[1]) / 2, (m[1].cornerX[0] + m[1].cornerX[1]) / 2,
                       m[0].cornerX[1] - m[0].cornerX[0], m[0].cornerY[0]),
                within(1e-5, values(5, -4.5, 0.005, 1.001)));
    shoot(0, 2, 0, 45);  // upwards: expires without a mark
    EXPECT_EQ(1u, fire().nextMark);
    ground([](int i, int j) { return i + j; });
    shoot(0.2f, 3, 0.2f, -90);
    const float s = 0.01f / terrain.cellSize * 0.005f;
    EXPECT_THAT(values(m[1].cornerY[1] - m[1].cornerY[0], m[1].cornerY[3] - m[1].cornerY[0]),
                within(1e-7, values(s, s)));
}
