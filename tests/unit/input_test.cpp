#include "app/config.h"
#include "app/input.h"
#include "support.h"

TEST(Mouse, DeltasRunFromTheCentreToTheLastMoveAndThePointerGoesBack) {
    testplatform::reset();
    config = Config{};
    Mouse m;
    m.update(true);
    EXPECT_EQ(std::pair(512, 384), std::pair(testplatform::cursorX, testplatform::cursorY));
    m.x = 530, m.x = 540, m.y = 370;  // two moves between frames: the last counts
    m.update(true);
    EXPECT_EQ(std::pair(28, -14), std::pair(m.deltaX, m.deltaY));
    config.resolution_width = 800, config.resolution_height = 600;  // the centre follows the configured size
    m.update(true);
    EXPECT_EQ(std::pair(400, 300), std::pair(testplatform::cursorX, testplatform::cursorY));
    const int moves = testplatform::cursorMoves;
    m.x = 488;
    m.update(false);  // without re-centring the pointer stays where it is
    EXPECT_EQ(std::tuple(88, 488, moves), std::tuple(m.deltaX, m.x, testplatform::cursorMoves));
}
