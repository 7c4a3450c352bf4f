#include "support.h"
#include "textures/textures.h"

namespace {

// PCX, 2x2 after its header: a run of two index 1, then 2 and 3; the palette closes the file.
Bytes pcx2x2() {
    Bytes pcx(128, 0);
    pcx.insert(pcx.end(), {0xC2, 1, 2, 3, 12});
    const uint8_t palette[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int i = 0; i < 256; ++i) pcx.insert(pcx.end(), palette[i % 4], palette[i % 4] + 3);
    return pcx;
}

const Bytes kRaw = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99};

struct TextureDecode : testing::Test {
    Image image;
};

}  // namespace

TEST_F(TextureDecode, TgaSkipsItsIdFieldAndColourMapInEitherRowOrder) {
    // Two rows of one pixel after a 3-byte image ID and a 2-entry colour map, in the origin bit's order.
    for (uint8_t descriptor : {0x08, 0x28}) {
        Bytes file = tgaHeader(1, 2, 32, 2, descriptor);
        file[0] = 3, file[1] = 1, file[5] = 2, file[7] = 24;
        file.insert(file.end(), 3 + 6, 0xEE);
        file.insert(file.end(), {10, 20, 30, 40, 50, 60, 70, 80});
        ASSERT_TRUE(decodeTga(file.data(), file.size(), image));
        EXPECT_EQ(static_cast<GLenum>(GL_RGBA), image.format);
        const Bytes bottomUp = {30, 20, 10, 40, 70, 60, 50, 80}, topDown = {70, 60, 50, 80, 30, 20, 10, 40};
        EXPECT_EQ(descriptor & 0x20 ? topDown : bottomUp, image.pixels);
    }
}

TEST_F(TextureDecode, TgaCutShortFillsBlack) {
    Bytes rgb = tgaHeader(1, 1, 24);
    rgb.push_back(9);  // the rest is missing
    ASSERT_TRUE(decodeTga(rgb.data(), rgb.size(), image));
    EXPECT_EQ(static_cast<GLenum>(GL_RGB), image.format);
    EXPECT_EQ(Bytes({0, 0, 9}), image.pixels);
}

TEST_F(TextureDecode, TgaWithAShortHeaderAnotherDepthOrASideBeyond8192IsRefused) {
    const Bytes good = tgaHeader(8192, 2, 24);
    EXPECT_TRUE(decodeTga(good.data(), good.size(), image));
    EXPECT_FALSE(decodeTga(good.data(), 17, image));
    for (const Bytes& bad : {tgaHeader(4, 4, 8), tgaHeader(4, 4, 16), tgaHeader(0, 4, 24), tgaHeader(8193, 1, 24),
                             tgaHeader(65535, 65535, 32)})
        EXPECT_FALSE(decodeTga(bad.data(), bad.size(), image));
}

TEST_F(TextureDecode, PcxRunsDecodeThroughItsPaletteFirstRowOnTop) {
    const Bytes pcx = pcx2x2();
    ASSERT_TRUE(decodePcx(pcx.data(), pcx.size(), 2, image));
    EXPECT_EQ(Bytes({0, 255, 0, 0, 0, 255, 255, 0, 0, 255, 0, 0}), image.pixels);
}

TEST_F(TextureDecode, PcxRunsStopAtThePictureEnd) {
    Bytes pcx = pcx2x2();
    pcx[128] = 0xC0, pcx[130] = 0xFF;  // a zero run, then a run of 63 into four pixels
    ASSERT_TRUE(decodePcx(pcx.data(), pcx.size(), 2, image));
    EXPECT_EQ(Bytes({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255}), image.pixels);
    pcx[128] = 0xC5;  // a run missing its value
    EXPECT_TRUE(decodePcx(pcx.data(), 129, 8, image));
}

TEST_F(TextureDecode, PcxOfASideTooLargeIsRefused) {
    const Bytes pcx = pcx2x2();
    EXPECT_FALSE(decodePcx(pcx.data(), pcx.size(), 1u << 20, image));
}

TEST_F(TextureDecode, RawHasItsFirstRowOnTop) {
    ASSERT_TRUE(decodeRaw(kRaw.data(), kRaw.size(), 2, image));
    EXPECT_EQ(Bytes({7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}), image.pixels);
}

TEST_F(TextureDecode, RawCutShortFillsBlack) {
    ASSERT_TRUE(decodeRaw(kRaw.data(), 4, 2, image));
    EXPECT_EQ(Bytes({0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 0, 0}), image.pixels);
}
