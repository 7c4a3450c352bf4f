#include "app/config.h"
#include "support.h"

namespace {

Config parse(const std::string& text) {
    Config c;
    c.parse(text.data(), text.size());
    return c;
}

std::vector<double> fields(const Config& c) {
    return values(c.fullscreen, c.frameratecounter, c.resolution_width, c.resolution_height, c.resolution_depth,
                  c.zbuffer_depth, c.texturefilter, c.sound);
}

}  // namespace

TEST(Config, EveryKeyIsStoredInAnyOrderAndLayoutTheLastOneWinning) {
    const Config c = parse(
        "sound 0 texturefilter 1\tzbuffer_depth 16\r\nresolution_depth 15\nunknown 3 Sound 7\n"
        "resolution_height 600 resolution_width 640\nframeratecounter 2 fullscreen 1 fullscreen 0\n"
        "resolution_width 800");
    EXPECT_EQ(values(false, 2, 800, 600, 15, 16, 1, 0), fields(c));
    EXPECT_TRUE(parse("fullscreen -1").fullscreen);
    EXPECT_TRUE(parse("fullscreenX 0 Fullscreen 0 fullscreen_ 0").fullscreen) << "keys are whole and in lower case";
    EXPECT_EQ(values(true, 1, 1024, 768, 32, 24, 2, 1), fields(parse("")));
}

TEST(Config, BadValuesLongKeysAndHugeNumbersNeverDerailTheRest) {
    // A value that is no number becomes the next key; digits count up to the
    // first letter; signs are taken; numbers saturate.
    Config c = parse("resolution_width abc resolution_height 600px zbuffer_depth - 16 texturefilter -7 " +
                     std::string(100000, 'k') + " 5 sound +4");
    EXPECT_EQ(values(true, 1, 1024, 600, 32, 24, -7, 4), fields(c));
    c = parse("resolution_width 9999999999999999999 resolution_height -9999999999999999999");
    EXPECT_EQ(values(2147483647, -2147483648.0), values(c.resolution_width, c.resolution_height));
}

TEST(Config, ASignWithoutDigitsStartsTheNextKeyWhereverTheFileBuffersEnd) {
    // A C library reads files in blocks (4096 bytes for msvcrt); a sign on
    // the last byte of a block must not be lost, or "-sound" reads as sound.
    for (size_t at : {4095u, 8191u})
        for (const char* sign : {"-", "+"}) {
            const std::string text = std::string(at - 11, ' ') + "fullscreen " + sign + "sound 0 zbuffer_depth 16";
            ASSERT_EQ(*sign, text[at]);
            TempFile file(Bytes(text.begin(), text.end()), "Config.cfg");
            Config c;
            ASSERT_TRUE(c.readFile(file.path()));
            EXPECT_EQ(values(true, 1, 1024, 768, 32, 16, 2, 1), fields(c)) << sign << " at byte " << at;
        }
}
