#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/config.h"
#include "platform/testing/test_platform.h"

namespace {

Config parse(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    Config c;
    c.read(file);
    std::fclose(file);
    return c;
}

void expectDefaults(const Config& c) {
    EXPECT_TRUE(c.fullscreen);
    EXPECT_EQ(1, c.frameratecounter);
    EXPECT_EQ(1024, c.resolution_width);
    EXPECT_EQ(768, c.resolution_height);
    EXPECT_EQ(32, c.resolution_depth);
    EXPECT_EQ(24, c.zbuffer_depth);
    EXPECT_EQ(2, c.texturefilter);
    EXPECT_EQ(1, c.sound);
}

}  // namespace

TEST(Config, EmptyOrUnknownKeysGiveTheDefaults) {
    expectDefaults(parse(""));
    expectDefaults(parse("   \n\t\r\n"));
    expectDefaults(parse("colour 3\nFullscreen 0\nRESOLUTION_WIDTH 5\nfullscreenx 0\n"));
}

TEST(Config, EveryKeyIsStoredInAnyOrderAndLayout) {
    const Config c = parse(
        "sound 0 texturefilter 1\tzbuffer_depth 16\r\nresolution_depth 16\n"
        "resolution_height 600 resolution_width 800\nframeratecounter 2 fullscreen 0");
    EXPECT_FALSE(c.fullscreen);
    EXPECT_EQ(2, c.frameratecounter);
    EXPECT_EQ(800, c.resolution_width);
    EXPECT_EQ(600, c.resolution_height);
    EXPECT_EQ(16, c.resolution_depth);
    EXPECT_EQ(16, c.zbuffer_depth);
    EXPECT_EQ(1, c.texturefilter);
    EXPECT_EQ(0, c.sound);
}

TEST(Config, FullscreenIsAnyNonZeroValue) {
    EXPECT_TRUE(parse("fullscreen 5").fullscreen);
    EXPECT_TRUE(parse("fullscreen -1").fullscreen);
    EXPECT_FALSE(parse("fullscreen 0").fullscreen);
    EXPECT_FALSE(parse("fullscreen 1\nfullscreen 0\n").fullscreen);
}

TEST(Config, LaterDuplicateWinsAndTrailingWhitespaceIsIrrelevant) {
    EXPECT_EQ(640, parse("resolution_width 800\nresolution_width 640").resolution_width);
    EXPECT_EQ(640, parse("resolution_width 800\nresolution_width 640\n\n  ").resolution_width);
    EXPECT_EQ(-7, parse("texturefilter +3 texturefilter -7").texturefilter);
    // Values are not validated here.
    EXPECT_EQ(9, parse("texturefilter 9").texturefilter);
}

TEST(Config, StrayWordsConsumeTheNumberAfterThem) {
    const Config c = parse("hello 12 resolution_height 480 world 3 sound 0");
    EXPECT_EQ(480, c.resolution_height);
    EXPECT_EQ(0, c.sound);
}

TEST(Config, NonIntegerValueIsSkippedAndReadingGoesOn) {
    // The bad value becomes the next key; the keys after it still count.
    Config c = parse("resolution_width abc resolution_height 600");
    EXPECT_EQ(1024, c.resolution_width);
    EXPECT_EQ(600, c.resolution_height);
    c = parse("zbuffer_depth - 16 sound x frameratecounter 0 resolution_depth");
    EXPECT_EQ(24, c.zbuffer_depth);
    EXPECT_EQ(0, c.frameratecounter);
    EXPECT_EQ(32, c.resolution_depth);
    // Digits followed by letters: the number counts, the rest is a key.
    c = parse("resolution_width 800px resolution_height 600");
    EXPECT_EQ(800, c.resolution_width);
    EXPECT_EQ(600, c.resolution_height);
}

TEST(Config, OverlongKeysAndHugeNumbersNeverOverflow) {
    const std::string longKey(100000, 'k');
    Config c = parse(longKey + " 5 resolution_width 1280");
    EXPECT_EQ(1280, c.resolution_width);
    // A key that only starts like a real one is another key.
    c = parse("resolution_width" + std::string(40, '_') + " 3");
    EXPECT_EQ(1024, c.resolution_width);
    c = parse("resolution_width 99999999999999999999 resolution_height -99999999999999999999");
    EXPECT_EQ(2147483647, c.resolution_width);
    EXPECT_EQ(-2147483647 - 1, c.resolution_height);
    c = parse(std::string(50000, '7'));  // one long number read as a key, no value
    expectDefaults(c);
}

TEST(Config, BinaryJunkEnds) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 37) & 0xFF));
    const Config c = parse(junk + " sound 4");
    EXPECT_EQ(4, c.sound);
}

TEST(Config, ReadFileReportsAMissingFile) {
    Config c;
    EXPECT_FALSE(c.readFile("/nonexistent/dir/Config.cfg"));
    expectDefaults(c);
}

TEST(ConfigDeathTest, MissingFileShowsErrorMinus31AndExitsWithMinusOne) {
    // The working directory of the test has no data/ folder.
    ASSERT_EQ(0, chdir("/"));
    Config c;
    EXPECT_EXIT(c.load("no-such-Config.cfg"), testing::ExitedWithCode(255),
                "\\[Error -31\\] Configuration initialization failed \\(incorrect paths\\)!");
}
