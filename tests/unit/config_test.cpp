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

}  // namespace

TEST(Config, EveryKeyIsStoredInAnyOrderAndLayoutTheLastOneWinning) {
    const Config c = parse(
        "sound 0 texturefilter 1\tzbuffer_depth 16\r\nresolution_depth 15\nunknown 3 Sound 7\n"
        "resolution_height 600 resolution_width 640\nframeratecounter 2 fullscreen 1 fullscreen 0\n"
        "resolution_width 800");
    EXPECT_FALSE(c.fullscreen);
    EXPECT_EQ(2, c.frameratecounter);
    EXPECT_EQ(800, c.resolution_width);
    EXPECT_EQ(600, c.resolution_height);
    EXPECT_EQ(15, c.resolution_depth);
    EXPECT_EQ(16, c.zbuffer_depth);
    EXPECT_EQ(1, c.texturefilter);
    EXPECT_EQ(0, c.sound);
    EXPECT_TRUE(parse("fullscreen -1").fullscreen);
    const Config defaults = parse("");
    EXPECT_TRUE(defaults.fullscreen);
    EXPECT_EQ(1024, defaults.resolution_width);
    EXPECT_EQ(32, defaults.resolution_depth);
    EXPECT_EQ(24, defaults.zbuffer_depth);
}

TEST(Config, BadValuesLongKeysAndHugeNumbersNeverDerailTheRest) {
    // A value that is no number becomes the next key; digits count up to the
    // first letter; signs are taken; numbers saturate; junk ends.
    Config c = parse("resolution_width abc resolution_height 600px zbuffer_depth - 16 texturefilter -7 " +
                     std::string(100000, 'k') + " 5 sound +4");
    EXPECT_EQ(1024, c.resolution_width);
    EXPECT_EQ(600, c.resolution_height);
    EXPECT_EQ(24, c.zbuffer_depth);
    EXPECT_EQ(-7, c.texturefilter);
    EXPECT_EQ(4, c.sound);
    c = parse("resolution_width 9999999999999999999 resolution_height -9999999999999999999");
    EXPECT_EQ(2147483647, c.resolution_width);
    EXPECT_EQ(-2147483647 - 1, c.resolution_height);
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 37) & 0xFF));
    EXPECT_EQ(3, parse(junk + " sound 3").sound);
}

TEST(ConfigDeathTest, MissingFileShowsErrorMinus31AndExitsWithMinusOne) {
    ASSERT_EQ(0, chdir("/"));  // no data/ folder here
    Config c;
    EXPECT_EXIT(c.load("no-such-Config.cfg"), testing::ExitedWithCode(255),
                "\\[Error -31\\] Configuration initialization failed \\(incorrect paths\\)!");
}
