#include <gtest/gtest.h>

#include "app/config.h"
#include "app/input.h"
#include "platform/testing/test_platform.h"

class MouseTest : public testing::Test {
protected:
    void SetUp() override {
        testplatform::reset();
        config = Config{};
    }
};

TEST_F(MouseTest, ConstructionCentresOnTheDefaultResolution) {
    Mouse m;
    EXPECT_FALSE(m.leftButton);
    EXPECT_FALSE(m.rightButton);
    EXPECT_EQ(512, m.x);
    EXPECT_EQ(384, m.y);
    EXPECT_EQ(512, m.lastX);
    EXPECT_EQ(384, m.lastY);
    EXPECT_EQ(0, m.deltaX);
    EXPECT_EQ(0, m.deltaY);
    EXPECT_EQ(512, testplatform::cursorX);
    EXPECT_EQ(384, testplatform::cursorY);
}

TEST_F(MouseTest, MotionlessMouseGivesZeroDeltasEveryFrame) {
    Mouse m;
    for (int frame = 0; frame < 3; ++frame) {
        m.update(true);
        EXPECT_EQ(0, m.deltaX);
        EXPECT_EQ(0, m.deltaY);
    }
}

TEST_F(MouseTest, DeltasAreTheDistanceFromTheCentreToTheLastMove) {
    Mouse m;
    m.x = 530;  // two moves between frames collapse into the last
    m.y = 380;
    m.x = 540;
    m.y = 370;
    m.update(true);
    EXPECT_EQ(28, m.deltaX);
    EXPECT_EQ(-14, m.deltaY);
    EXPECT_EQ(512, m.x);
    EXPECT_EQ(384, m.y);
    EXPECT_EQ(512, testplatform::cursorX);
    // A move that reports the centre gives no motion.
    m.x = 512;
    m.y = 384;
    m.update(true);
    EXPECT_EQ(0, m.deltaX);
    EXPECT_EQ(0, m.deltaY);
}

TEST_F(MouseTest, CentreFollowsTheConfiguredResolutionFromTheFirstFrame) {
    Mouse m;
    config.resolution_width = 800;
    config.resolution_height = 600;
    m.update(true);
    // The first frame measures from the constructor's centre.
    EXPECT_EQ(0, m.deltaX);
    EXPECT_EQ(400, m.x);
    EXPECT_EQ(300, m.y);
    EXPECT_EQ(400, testplatform::cursorX);
    EXPECT_EQ(300, testplatform::cursorY);
    m.x = 410;
    m.update(true);
    EXPECT_EQ(10, m.deltaX);
    config.resolution_width = 1023;
    m.update(true);
    EXPECT_EQ(511, m.x);
}

TEST_F(MouseTest, WithoutRecentringThePointerIsLeftAlone) {
    Mouse m;
    const int moves = testplatform::cursorMoves;
    m.x = 600;
    m.update(false);
    EXPECT_EQ(88, m.deltaX);
    EXPECT_EQ(600, m.x);
    EXPECT_EQ(600, m.lastX);
    m.update(false);
    EXPECT_EQ(0, m.deltaX);
    EXPECT_EQ(moves, testplatform::cursorMoves);
}
