#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/frame_timer.h"
#include "platform/testing/test_platform.h"

namespace {

class FrameTimerTest : public testing::Test {
protected:
    FrameTimer t;
    void SetUp() override {
        testplatform::reset();
        testplatform::frequency = 1000000;
        testplatform::counter = 5000;
        t.start();
    }
    // Updates at a steady rate of a 1 MHz counter.
    void runAt(unsigned rate, int frames) {
        for (int i = 0; i < frames; ++i) {
            testplatform::counter += 1000000 / rate;
            t.update();
        }
    }
};

std::string log() {
    std::ifstream in("data/fps.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST_F(FrameTimerTest, RateIsOneUntilMeasuredThenSmoothedAndPeakedAfterTheWarmUp) {
    t.update();  // the frequency only
    runAt(50, 1);  // no previous counter yet
    EXPECT_EQ(1u, t.framesPerSecond);
    runAt(50, 1);
    EXPECT_EQ(50u, t.framesPerSecond);
    runAt(60, 60);
    EXPECT_NEAR(60.0, t.smoothedFps, 0.01);
    EXPECT_EQ(99u, t.barScale);  // never below the largest smoothed rate
    testplatform::clockMs = 1999;  // one whole second: still warming up
    runAt(300, 800);
    EXPECT_FLOAT_EQ(99999.0f, t.lowPeak);
    testplatform::clockMs = 2000;
    runAt(300, 10);
    runAt(40, 200);
    EXPECT_NEAR(300.0, t.highPeak, 0.5);
    EXPECT_NEAR(40.0, t.lowPeak, 0.5);
    EXPECT_GE(t.barScale, 299u);
    testplatform::counter += 3000000;  // a three-second frame measures 0: taken as 1
    t.update();
    EXPECT_EQ(1u, t.framesPerSecond);
    EXPECT_EQ(1074u, t.frameCount);
}

TEST_F(FrameTimerTest, LogIsWrittenInItsFormatOnlyAfterTwoSeconds) {
    char dir[] = "/tmp/vale-log-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    ASSERT_EQ(0, chdir(dir));
    mkdir("data", 0755);
    std::ofstream("data/fps.txt") << "earlier";
    t.lowPeak = 57.0f;
    t.highPeak = 123.25f;
    t.frameCount = 1000;
    testplatform::clockMs = 1999;
    t.saveResults("fps.txt");
    EXPECT_EQ("earlier", log());
    testplatform::clockMs = 8999;  // eight whole seconds
    t.saveResults("fps.txt");
    EXPECT_EQ(" low peak: 57.000000\n  average: 125.000000\nhigh peak: 123.250000", log());
    EXPECT_TRUE(testplatform::boxes.empty());
    // Nowhere to write it: "Error -35".
    std::remove("data/fps.txt");
    rmdir("data");
    t.saveResults("fps.txt");
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error -35", testplatform::boxes[0].caption);
    EXPECT_EQ("Unable to save performance results!", testplatform::boxes[0].text);
    ASSERT_EQ(0, chdir("/"));
    rmdir(dir);
}
