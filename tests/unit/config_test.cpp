#include "app/config.h"
#include "support.h"

namespace {

// A configuration as the file would state it, every key named.
std::string text(const Config& c) {
    char s[200];
    std::snprintf(s, sizeof s, "fullscreen %d frameratecounter %d resolution %dx%dx%d zbuffer_depth %d texturefilter %d sound %d",
                  c.fullscreen, c.frameratecounter, c.resolution_width, c.resolution_height, c.resolution_depth,
                  c.zbuffer_depth, c.texturefilter, c.sound);
    return s;
}

std::string parsed(const std::string& file) {
    Config c;
    c.parse(file.data(), file.size());
    return text(c);
}

const std::string kDefaults = "fullscreen 1 frameratecounter 1 resolution 1024x768x32 zbuffer_depth 24 texturefilter 2 sound 1";

}  // namespace

TEST(Config, AnEmptyFileOrAnOutOfRangeValueKeepsTheDefaults) {
    EXPECT_EQ(kDefaults, parsed(""));
    EXPECT_EQ(kDefaults, parsed("fullscreen -1"));
}

TEST(Config, KeysMatchWholeAndCaseSensitiveInAnyOrderTheLastOneWinning) {
    EXPECT_EQ("fullscreen 0 frameratecounter 2 resolution 800x600x15 zbuffer_depth 16 texturefilter 1 sound 0",
              parsed("sound 0 texturefilter 1\tzbuffer_depth 16\r\nresolution_depth 15\nunknown 3 Sound 7\n"
                     "resolution_height 600 resolution_width 640\nframeratecounter 2 fullscreen 1 fullscreen 0\n"
                     "resolution_width 800 fullscreenX 1 Fullscreen 1 fullscreen_ 1"));
}

TEST(Config, AValueThatIsNoNumberIsReadAsTheNextKey) {
    // Digits count up to the first letter; a sign alone is no number.
    EXPECT_EQ("fullscreen 1 frameratecounter 1 resolution 1024x600x32 zbuffer_depth 24 texturefilter 2 sound 1",
              parsed("resolution_width abc resolution_height 600px zbuffer_depth - 16 " + std::string(100000, 'k') +
                     " 5"));
}

TEST(Config, ValuesTakeTheirSignAndSaturate) {
    EXPECT_EQ("fullscreen 1 frameratecounter 1 resolution 2147483647x-2147483648x32 zbuffer_depth 24 texturefilter -7 sound 4",
              parsed("resolution_width 9999999999999999999 resolution_height -9999999999999999999 texturefilter -7 "
                     "sound +4"));
}

TEST(Config, TheFileIsReadFromDataUnderTheWorkingFolder) {
    TempWorkingDir run;
    std::ofstream("Config.cfg") << "resolution_width 320";  // beside data/, not its own
    std::ofstream("data/Config.cfg") << "resolution_width 640";
    testplatform::reset();
    Config c;
    c.load("Config.cfg");
    EXPECT_EQ(640, c.resolution_width);
    EXPECT_EQ("", shownBoxes());
}

TEST(Config, ASignOnTheLastByteOfAReadBlockStillStartsTheNextKey) {
    TempWorkingDir run;
    // A C library reads files in blocks (4096 bytes for msvcrt); a sign on
    // the last byte of a block must not be lost, or "-sound" reads as sound.
    for (size_t at : {4095u, 8191u})
        for (const char* sign : {"-", "+"}) {
            const std::string file = std::string(at - 11, ' ') + "fullscreen " + sign + "sound 0 zbuffer_depth 16";
            ASSERT_EQ(*sign, file[at]);
            std::ofstream("data/Config.cfg") << file;
            testplatform::reset();
            Config c;
            c.load("Config.cfg");
            EXPECT_EQ("fullscreen 1 frameratecounter 1 resolution 1024x768x32 zbuffer_depth 16 texturefilter 2 sound 1",
                      text(c)) << sign << " at byte " << at;
            EXPECT_EQ("", shownBoxes());
        }
}
