#include <fstream>

#include "app/files.h"
#include "app/frame_timer.h"
#include "support.h"

namespace {

struct FrameTimerTest : testing::Test {
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
    std::vector<uint8_t> bytes;
    return readWholeFile("data/fps.txt", bytes) ? std::string(bytes.begin(), bytes.end()) : "";
}

}  // namespace

TEST_F(FrameTimerTest, RateIsOneUntilMeasuredThenSmoothedAndPeakedAfterTheWarmUp) {
    t.update();    // the frequency only
    runAt(50, 1);  // no previous counter yet
    EXPECT_EQ(1u, t.framesPerSecond);
    runAt(50, 1);
    EXPECT_EQ(50u, t.framesPerSecond);
    runAt(60, 60);
    EXPECT_THAT(values(t.smoothedFps, t.barScale), within(0.01, values(60, 99)));  // the scale at least 99
    testplatform::clockMs = 1999;  // one whole second: still warming up
    runAt(300, 800);
    EXPECT_FLOAT_EQ(99999.0f, t.lowPeak);
    testplatform::clockMs = 2000;
    runAt(300, 10);
    runAt(40, 200);
    EXPECT_THAT(values(t.highPeak, t.lowPeak, t.barScale), within(1, values(300, 40, 299)));
    testplatform::counter += 3000000;  // a three-second frame measures 0: taken as 1
    t.update();
    EXPECT_EQ(values(1, 1074), values(t.framesPerSecond, t.frameCount));
}

TEST_F(FrameTimerTest, LogIsWrittenInItsFormatOnlyAfterTwoSeconds) {
    TempDir dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    std::filesystem::create_directory("data");
    std::ofstream("data/fps.txt") << "earlier";
    t.lowPeak = 57.0f, t.highPeak = 123.25f, t.frameCount = 1000;
    testplatform::clockMs = 1999;
    t.saveResults("fps.txt");
    EXPECT_EQ("earlier", log());
    testplatform::clockMs = 8999;  // eight whole seconds
    t.saveResults("fps.txt");
    // Written in text mode: Windows ends its lines with CR LF, other systems with LF.
    const std::string eol = kWindows ? "\r\n" : "\n";
    EXPECT_EQ(" low peak: 57.000000" + eol + "  average: 125.000000" + eol + "high peak: 123.250000", log());
    EXPECT_EQ("", shownBoxes());
    std::filesystem::remove_all("data");  // nowhere to write it
    t.saveResults("fps.txt");
    EXPECT_EQ("Error -35: Unable to save performance results!", shownBoxes());
    std::filesystem::current_path(before);
}
