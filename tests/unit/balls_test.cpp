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
    // Ball 1 runs at 2 units a second towards ball 0, 0.02 a frame, from
    // start; ball 0 is intact and moving, or popped and hanging where it was.
    void runInto(bool intact, float start) {
        ball(0) = Ball{intact, 0, 1.5f, 0, 33, 0, 0, 0.5f * intact};
        ball(1) = Ball{true, start, 1.5f, 0, 0, -2, 0, 0};
        ballSet.update();
    }
    // Presses the trigger at (x, y, z) and lets the shot fly until it hits or expires.
    void shoot(float x, float y, float z, float pitch) {
        fire().triggerDown = fire().triggerArmed = true;
        fire().step(x, y, z, pitch, 0);
        fire().triggerDown = false;
        for (int i = 0; i < 1100 && std::any_of(fire().bullets, fire().bullets + WeaponFire::kBullets,
                                                [](const Bullet& b) { return b.life > 0; }); ++i)
            fire().step(0, 5, 0, 0, 0);
    }
};

}  // namespace

TEST_F(BallTest, BallsRollDownhillFacingTheWayTheyGo) {
    // The slope pulls with twice its gradient: from rest 0.0256 units in the first second.
    for (auto [dx, dz, heading] : {std::tuple{-1, 0, -90}, {0, -1, 180}, {0, 1, 0}}) {
        ground([dx = dx, dz = dz](int i, int j) { return dx ? i : dz < 0 ? j : 127 - j; });  // rising away
        Ball& b = ball(0) = Ball{true, 0.1f, 0, 0.1f, 0, 0, 0, 0};
        b.y = terrain.heightAt(b.x, b.z);
        for (int i = 0; i < 100; ++i) ballSet.update();
        EXPECT_NEAR(dx * 0.0256f, b.x - 0.1f, 0.003f) << heading;
        EXPECT_NEAR(dz * 0.0256f, b.z - 0.1f, 0.003f) << heading;
        EXPECT_NEAR(heading, b.heading, 0.1f);
    }
}

TEST_F(BallTest, ABulletPopsTheBallItReaches) {
    Bullet& b = fire().bullets[3];
    b = Bullet{ball(2).x + 0.1f, ball(2).y + 0.05f, ball(2).z, 0, 0, 0, 5};
    ballSet.update();
    EXPECT_TRUE(!ball(2).intact && ball(1).intact && b.life == 0);
}

TEST_F(BallTest, APoppedBallStillStopsBulletsCloseToIt) {
    // Within 0.15 vertically, 0.15 / sqrt(2) horizontally.
    Bullet& b = fire().bullets[3];
    ball(0) = Ball{false, 0, 1.5f, 0, 10, 0, 0, 0};
    for (auto [x, y, caught] : {std::tuple{0.11f, 1.5f, false}, {0.10f, 1.5f, true}, {0.0f, 1.64f, true}}) {
        b = Bullet{x, y, 0, 0, 0, 0, 1};
        ballSet.update();
        EXPECT_EQ(caught, b.life == 0.0f) << x << " " << y;
    }
}

TEST_F(BallTest, BallsAboutToTouchTradeTheirVelocitiesDamped) {
    // They meet where both will be next, 0.2 apart (0.15 with a popped ball).
    for (auto [intact, start, meets] : {std::tuple{true, 0.23f, true}, {true, 0.25f, false}, {false, 0.18f, true},
                                        {false, 0.20f, false}}) {
        runInto(intact, start);
        EXPECT_EQ(meets ? 0 : -2, ball(1).vx) << intact << " " << start;
        EXPECT_EQ(meets && intact ? 0.375f : 0, ball(1).vz) << intact << " " << start;
        EXPECT_EQ(meets ? -1.5f : 0, ball(0).vx) << intact << " " << start;
    }
}

TEST_F(BallTest, APoppedBallStaysPutWhenABallRunsIntoIt) {
    runInto(false, 0.18f);
    ballSet.update();
    EXPECT_EQ(0, ball(0).x);
    EXPECT_EQ(1.5f, ball(0).y);
}

TEST_F(BallTest, EachPressFiresOneShotAlongTheViewWithItsSoundOnceTheRecoilRests) {
    fire().triggerDown = true;
    for (int i = 0; i < 100; ++i) fire().step(1, 2, 3, 30, 90);  // held: one shot, up 30 degrees towards -x
    EXPECT_EQ(std::vector<std::string>{"data/sounds/bullet_fire_1.wav"}, testplatform::sounds);
    const Bullet& a = fire().bullets[0];
    EXPECT_NEAR(0, a.z - 3, 1e-4);
    EXPECT_NEAR(std::tan(M_PI / 6), (a.y - 2) / (1 - a.x), 1e-3) << "climbing at 30 degrees";
    EXPECT_NEAR(10, std::hypot(1 - a.x, a.y - 2), 1e-2) << "ten units a second";
    fire().triggerDown = false;  // released while the recoil still runs: no shot until it rests
    fire().recoilState = 1, fire().recoil = 0;
    int frames = 0;
    for (bool fired = false; !fired && frames < 100; ++frames) {
        fire().triggerDown = frames % 2;  // pressed every other frame
        fired = fire().step(0, 2, 0, 0, 0);
    }
    EXPECT_GT(frames, 10) << "fired before the recoil rested";
    EXPECT_EQ(2u, testplatform::sounds.size());
}

TEST_F(BallTest, ShotsAtTheGroundLeaveTheLastTwentyMarksLyingOnTheSlope) {
    for (int shot = 0; shot < 21; ++shot) shoot(0.5f * shot - 5, 1.05f, 2, -60);  // at the ground just ahead
    shoot(0, 2, 0, 45);  // upwards: no mark
    const auto marksAt = [&](float x) {
        return std::count_if(fire().marks, fire().marks + WeaponFire::kMarks, [x](const ImpactMark& m) {
            return std::fabs((m.cornerX[0] + m.cornerX[1]) / 2 - x) < 0.01f && std::fabs(m.cornerY[0] - 1.001f) < 1e-5f;
        });
    };
    EXPECT_EQ(0, marksAt(-5)) << "the first mark made way for the 21st";
    for (int shot = 1; shot < 21; ++shot) EXPECT_EQ(1, marksAt(0.5f * shot - 5)) << shot;
    ground([](int i, int j) { return i + j; });
    shoot(0.2f, 3, 0.2f, -90);
    const ImpactMark& m = fire().marks[1];
    const float rise = 0.0256f * (m.cornerX[1] - m.cornerX[0]);  // along x and along z
    EXPECT_NEAR(rise, m.cornerY[1] - m.cornerY[0], 1e-7);
    EXPECT_NEAR(rise, m.cornerY[3] - m.cornerY[0], 1e-7);
}

TEST_F(BallTest, AShotLeavesItsMarkWhereTheCrosshairMetTheGroundAtAnyFrameRate) {
    for (int rate : {20, 60, 200}) {  // from 1 above flat ground, 30 degrees down: it meets it 1 / tan 30 ahead
        frameTimer.framesPerSecond = rate;
        shoot(0, 2, 0.4f, -30);
        const ImpactMark& m = fire().marks[(fire().nextMark + WeaponFire::kMarks - 1) % WeaponFire::kMarks];
        EXPECT_NEAR(0.4f - std::sqrt(3.0f), (m.cornerZ[0] + m.cornerZ[2]) / 2, 1e-3) << rate;
    }
}
