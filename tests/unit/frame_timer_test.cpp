#include "app/files.h"
#include "app/frame_timer.h"
#include "support.h"

namespace {

// A timer started on a 1 MHz counter, its first update taking the frequency only.
struct FrameTimerTest : testing::Test {
    FrameTimer t;
    void SetUp() override {
        testplatform::reset();
        testplatform::frequency = 1000000;
        testplatform::counter = 5000;
        t.start();
        t.update();
    }
    void runAt(unsigned rate, int frames) {  // a steady rate
        for (int i = 0; i < frames; ++i) testplatform::counter += 1000000 / rate, t.update();
    }
    std::string log() {
        std::vector<uint8_t> bytes;
        return readWholeFile("data/fps.txt", bytes) ? std::string(bytes.begin(), bytes.end()) : "";
    }
};

}  // namespace

TEST_F(FrameTimerTest, TheRateIsOneUntilAFrameIsMeasured) {
    runAt(50, 1);  // no previous counter yet
    EXPECT_EQ(1u, t.framesPerSecond);
    runAt(50, 1);
    EXPECT_EQ(50u, t.framesPerSecond);
    testplatform::counter += 3000000;  // a three-second frame measures 0: taken as 1
    t.update();
    EXPECT_EQ(1u, t.framesPerSecond);
}

TEST_F(FrameTimerTest, TheSmoothedRateFollowsASteadyRate) {
    runAt(50, 2);
    runAt(60, 60);
    EXPECT_NEAR(60, t.smoothedFps, 0.01);
}

TEST_F(FrameTimerTest, PeaksAreTakenFromTheSecondSecondOn) {
    runAt(50, 2);
    testplatform::clockMs = 1999;  // one whole second: still warming up, no peak taken
    runAt(300, 800);
    EXPECT_EQ(99999.0f, t.lowPeak);
    testplatform::clockMs = 2000;
    runAt(300, 10);
    runAt(40, 200);
    EXPECT_NEAR(300, t.highPeak, 1);
    EXPECT_NEAR(40, t.lowPeak, 1);
    EXPECT_EQ(1013u, t.frameCount);
}

TEST_F(FrameTimerTest, ARunOfMoreThanTwoSecondsLogsItsLowAverageAndHighRates) {
    TempWorkingDir dir;  // the log, in data/ under the working folder
    std::ofstream("data/fps.txt") << "earlier";
    t.lowPeak = 57.0f, t.highPeak = 123.25f, t.frameCount = 1000;
    testplatform::clockMs = 1999;
    t.saveResults("fps.txt");
    EXPECT_EQ("earlier", log());
    testplatform::clockMs = 8999;  // eight whole seconds
    t.saveResults("fps.txt");
    const std::string eol = kWindows ? "\r\n" : "\n";  // text mode
    EXPECT_EQ(" low peak: 57.000000" + eol + "  average: 125.000000" + eol + "high peak: 123.250000", log());
    EXPECT_EQ("", shownBoxes());
}

TEST_F(FrameTimerTest, ALogThatCannotBeWrittenShowsError35) {
    TempWorkingDir dir;
    std::filesystem::remove_all("data");  // nowhere to write it
    testplatform::clockMs = 8999;
    t.saveResults("fps.txt");
    EXPECT_EQ("Error -35: Unable to save performance results!", shownBoxes());
}
