#include <gtest/gtest.h>

#include "app/config.h"
#include "app/input.h"
#include "platform/testing/test_platform.h"

TEST(Mouse, DeltasRunFromTheCentreToTheLastMoveAndThePointerGoesBack) {
    testplatform::reset();
    config = Config{};
    Mouse m;
    EXPECT_EQ(512, testplatform::cursorX);
    EXPECT_EQ(384, testplatform::cursorY);
    m.update(true);
    EXPECT_EQ(0, m.deltaX);
    m.x = 530;  // two moves between frames: the last counts
    m.x = 540;
    m.y = 370;
    m.update(true);
    EXPECT_EQ(28, m.deltaX);
    EXPECT_EQ(-14, m.deltaY);
    EXPECT_EQ(512, m.x);
    // The centre follows the configured size; without re-centring the
    // pointer is left where it is.
    config.resolution_width = 800;
    config.resolution_height = 600;
    m.update(true);
    EXPECT_EQ(400, testplatform::cursorX);
    EXPECT_EQ(300, testplatform::cursorY);
    const int moves = testplatform::cursorMoves;
    m.x = 488;
    m.update(false);
    EXPECT_EQ(88, m.deltaX);
    EXPECT_EQ(488, m.x);
    EXPECT_EQ(moves, testplatform::cursorMoves);
}
