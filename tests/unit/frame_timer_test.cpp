#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/frame_timer.h"
#include "platform/testing/test_platform.h"

namespace {

// Runs n updates at a steady rate (counter ticks of a 1 MHz clock).
void runAt(FrameTimer& t, unsigned rate, int frames) {
    for (int i = 0; i < frames; ++i) {
        testplatform::counter += 1000000 / rate;
        t.update();
    }
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class FrameTimerTest : public testing::Test {
protected:
    void SetUp() override {
        testplatform::reset();
        testplatform::frequency = 1000000;
        testplatform::counter = 5000;
    }
};

}  // namespace

TEST_F(FrameTimerTest, RateIsOneForTheFirstTwoFramesThenMeasured) {
    FrameTimer t;
    t.start();
    t.update();  // queries the frequency only
    EXPECT_EQ(1u, t.framesPerSecond);
    testplatform::counter += 20000;
    t.update();  // no previous counter yet
    EXPECT_EQ(1u, t.framesPerSecond);
    testplatform::counter += 20000;
    t.update();
    EXPECT_EQ(50u, t.framesPerSecond);
    t.update();  // same counter value: the rate stays
    EXPECT_EQ(50u, t.framesPerSecond);
    testplatform::counter += 3000000;  // a three-second frame: 0 becomes 1
    t.update();
    EXPECT_EQ(1u, t.framesPerSecond);
    EXPECT_EQ(5u, t.frameCount);
}

TEST_F(FrameTimerTest, SmoothingSettlesAndTracksTheBarScale) {
    FrameTimer t;
    t.start();
    t.update();
    runAt(t, 60, 60);
    EXPECT_NEAR(60.0, t.smoothedFps, 0.01);
    EXPECT_EQ(99u, t.barScale);
    runAt(t, 250, 800);
    EXPECT_NEAR(250.0, t.smoothedFps, 0.01);
    EXPECT_GE(t.barScale, 249u);
    EXPECT_LE(t.barScale, 250u);
    runAt(t, 100, 200);
    EXPECT_GE(t.barScale, 249u);  // never decreases
}

TEST_F(FrameTimerTest, BelowTenFramesASecondTheSmoothingOvershoots) {
    FrameTimer t;
    t.start();
    t.update();
    runAt(t, 5, 41);
    // smoothed alternates between 1 (clamped) and 9.
    const float a = t.smoothedFps;
    runAt(t, 5, 1);
    const float b = t.smoothedFps;
    EXPECT_FLOAT_EQ(std::min(a, b), 1.0f);
    EXPECT_FLOAT_EQ(std::max(a, b), 9.0f);
}

TEST_F(FrameTimerTest, NoCounterLeavesTheRateAtOne) {
    testplatform::frequency = 0;
    FrameTimer t;
    t.start();
    for (int i = 0; i < 5; ++i) {
        testplatform::counter += 1000;
        t.update();
        EXPECT_EQ(1u, t.framesPerSecond);
        EXPECT_EQ(0, t.frequency);
    }
}

TEST_F(FrameTimerTest, PeaksAreTrackedOnlyAfterTheTwoSecondWarmUp) {
    FrameTimer t;
    testplatform::clockMs = 1000;
    t.start();
    t.update();
    runAt(t, 300, 1000);
    testplatform::clockMs = 2999;  // one whole second: still warming up
    runAt(t, 300, 10);
    EXPECT_FLOAT_EQ(99999.0f, t.lowPeak);
    EXPECT_FLOAT_EQ(1.0f, t.highPeak);
    testplatform::clockMs = 3000;
    runAt(t, 300, 10);
    runAt(t, 40, 200);
    EXPECT_NEAR(300.0, t.highPeak, 0.5);
    EXPECT_NEAR(40.0, t.lowPeak, 0.5);
}

class PerformanceLogTest : public FrameTimerTest {
protected:
    char dir[64] = "/tmp/vale-log-XXXXXX";
    void SetUp() override {
        FrameTimerTest::SetUp();
        ASSERT_NE(nullptr, mkdtemp(dir));
        ASSERT_EQ(0, chdir(dir));
        mkdir("data", 0755);
    }
    void TearDown() override {
        std::remove("data/fps.txt");
        rmdir("data");
        ASSERT_EQ(0, chdir("/"));
        rmdir(dir);
    }
};

TEST_F(PerformanceLogTest, LogHasThreeLinesInTheExactFormat) {
    FrameTimer t;
    t.start();
    t.lowPeak = 57.0f;
    t.highPeak = 123.25f;
    t.frameCount = 1000;
    testplatform::clockMs = 8999;  // eight whole seconds
    t.saveResults("fps.txt");
    EXPECT_EQ(" low peak: 57.000000\n  average: 125.000000\nhigh peak: 123.250000", readFile("data/fps.txt"));
    EXPECT_TRUE(testplatform::boxes.empty());
}

TEST_F(PerformanceLogTest, ShortRunLeavesAnEarlierLogAlone) {
    {
        std::ofstream("data/fps.txt") << "earlier";
    }
    FrameTimer t;
    t.start();
    testplatform::clockMs = 1999;
    t.saveResults("fps.txt");
    EXPECT_EQ("earlier", readFile("data/fps.txt"));
}

TEST_F(PerformanceLogTest, RunWithoutFramesLogsTheInitialPeaks) {
    FrameTimer t;
    testplatform::clockMs = 500;
    t.start();
    testplatform::clockMs = 4500;
    t.saveResults("fps.txt");
    EXPECT_EQ(" low peak: 99999.000000\n  average: 0.000000\nhigh peak: 1.000000", readFile("data/fps.txt"));
}

TEST_F(PerformanceLogTest, UnwritableLogShowsErrorMinus35) {
    rmdir("data");
    FrameTimer t;
    t.start();
    testplatform::clockMs = 5000;
    t.saveResults("fps.txt");
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error -35", testplatform::boxes[0].caption);
    EXPECT_EQ("Unable to save performance results!", testplatform::boxes[0].text);
    EXPECT_EQ(0x30u, testplatform::boxes[0].style);
}
