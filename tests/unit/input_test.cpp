#include "app/config.h"
#include "app/input.h"
#include "support.h"

TEST(Mouse, DeltasRunFromTheCentreToTheLastMoveAndThePointerGoesBack) {
    testplatform::reset();
    config = Config{};
    Mouse m;
    m.update(true);
    EXPECT_EQ(values(512, 384, 0), values(testplatform::cursorX, testplatform::cursorY, m.deltaX));
    m.x = 530;  // two moves between frames: the last counts
    m.x = 540;
    m.y = 370;
    m.update(true);
    EXPECT_EQ(values(28, -14, 512), values(m.deltaX, m.deltaY, m.x));
    // The centre follows the configured size; without re-centring the
    // pointer is left where it is.
    config.resolution_width = 800, config.resolution_height = 600;
    m.update(true);
    EXPECT_EQ(values(400, 300), values(testplatform::cursorX, testplatform::cursorY));
    const int moves = testplatform::cursorMoves;
    m.x = 488;
    m.update(false);
    EXPECT_EQ(values(88, 488, moves), values(m.deltaX, m.x, testplatform::cursorMoves));
}
