#include <gtest/gtest.h>

#include "support.h"
#include "textures/textures.h"

namespace {

Bytes pcxFile(const Bytes& encoded, const uint8_t (*palette)[3], int colours) {
    Bytes b(128, 0);
    b.insert(b.end(), encoded.begin(), encoded.end());
    b.push_back(12);  // palette marker
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) b.push_back(i < colours ? palette[i][c] : 0);
    return b;
}

const uint8_t kPalette[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

}  // namespace

TEST(TgaDecode, TwentyFourBitSwapsToRgbAndKeepsFileRowOrder) {
    Bytes file = tgaHeader(2, 2, 24);
    // Bottom row first in the file: blue, green; then the top row: red, white.
    for (uint8_t v : {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}) file.push_back(v);
    Image image;
    ASSERT_TRUE(decodeTga(file.data(), file.size(), image));
    EXPECT_EQ(2u, image.width);
    EXPECT_EQ(2u, image.height);
    EXPECT_EQ(static_cast<GLenum>(GL_RGB), image.format);
    const Bytes expected = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    EXPECT_EQ(expected, image.pixels);
}

TEST(TgaDecode, ThirtyTwoBitKeepsAlphaPastAnIdFieldAndColourMapInEitherRowOrder) {
    // Two rows of one pixel, with a 3-byte image ID and a 2-entry, 24-bit
    // colour map before them; the origin bit says which row comes first.
    for (uint8_t descriptor : {0x08, 0x28}) {
        Bytes file = tgaHeader(1, 2, 32);
        file[0] = 3;
        file[1] = 1;
        file[5] = 2;
        file[7] = 24;
        file[17] = descriptor;
        file.insert(file.end(), 3 + 6, 0xEE);
        for (uint8_t v : {10, 20, 30, 40, 50, 60, 70, 80}) file.push_back(v);
        Image image;
        ASSERT_TRUE(decodeTga(file.data(), file.size(), image));
        EXPECT_EQ(static_cast<GLenum>(GL_RGBA), image.format);
        const Bytes bottomUp = {30, 20, 10, 40, 70, 60, 50, 80}, topDown = {70, 60, 50, 80, 30, 20, 10, 40};
        EXPECT_EQ(descriptor & 0x20 ? topDown : bottomUp, image.pixels);
    }
}

TEST(TgaDecode, ShortOrLyingFilesNeverReadPastTheirBytes) {
    // Pixels the file lacks are black.
    Bytes file = tgaHeader(4, 4, 24);
    file.push_back(9);
    Image image;
    ASSERT_TRUE(decodeTga(file.data(), file.size(), image));
    ASSERT_EQ(48u, image.pixels.size());
    EXPECT_EQ(9, image.pixels[2]);
    for (size_t i = 3; i < image.pixels.size(); ++i) EXPECT_EQ(0, image.pixels[i]);
    // A header cut short, depths without a true-colour layout, no size.
    EXPECT_FALSE(decodeTga(file.data(), 17, image));
    for (int depth : {0, 8, 15, 16, 31, 255}) {
        const Bytes odd = tgaHeader(4, 4, depth);
        EXPECT_FALSE(decodeTga(odd.data(), odd.size(), image)) << depth;
    }
    const Bytes empty = tgaHeader(0, 4, 24);
    EXPECT_FALSE(decodeTga(empty.data(), empty.size(), image));
}

TEST(PcxDecode, RunsExpandThroughThePaletteWithTheFirstRowOnTop) {
    // 2x2: first file row (top) is a run of two index 1, then 2 and 3.
    const Bytes encoded = {0xC2, 1, 2, 3};
    const Bytes file = pcxFile(encoded, kPalette, 4);
    Image image;
    ASSERT_TRUE(decodePcx(file.data(), file.size(), 2, image));
    EXPECT_EQ(static_cast<GLenum>(GL_RGB), image.format);
    // Buffer rows are bottom first: green, blue; then red, red.
    const Bytes expected = {0, 255, 0, 0, 0, 255, 255, 0, 0, 255, 0, 0};
    EXPECT_EQ(expected, image.pixels);
}

TEST(PcxDecode, ZeroRunsWriteNothingAndOverrunsStopAtTheBuffer) {
    // A zero-length run, then a run of 63 into a 2x2 picture.
    const Bytes encoded = {0xC0, 3, 0xFF, 2, 1, 1, 1};
    const Bytes file = pcxFile(encoded, kPalette, 4);
    Image image;
    ASSERT_TRUE(decodePcx(file.data(), file.size(), 2, image));
    for (size_t i = 0; i < image.pixels.size(); i += 3) {
        EXPECT_EQ(0, image.pixels[i]);
        EXPECT_EQ(255, image.pixels[i + 1]);
    }
}

TEST(PcxDecode, TruncatedFilesAndRunsWithoutValueAreSafe) {
    Bytes file(130, 0);
    file[128] = 0xC5;  // a run whose value byte is missing
    file.resize(129);
    Image image;
    ASSERT_TRUE(decodePcx(file.data(), file.size(), 8, image));
    EXPECT_EQ(8u * 8 * 3, image.pixels.size());
    EXPECT_TRUE(decodePcx(file.data(), 0, 4, image));
    EXPECT_FALSE(decodePcx(file.data(), file.size(), 0, image));
    EXPECT_FALSE(decodePcx(file.data(), file.size(), 1u << 20, image));
}

TEST(RawDecode, RowsAreFlippedAndShortFilesFillBlack) {
    const Bytes file = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99, 99};
    Image image;
    ASSERT_TRUE(decodeRaw(file.data(), file.size(), 2, image));
    const Bytes expected = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(expected, image.pixels);
    ASSERT_TRUE(decodeRaw(file.data(), 4, 2, image));
    EXPECT_EQ(Bytes({0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 0, 0}), image.pixels);
}

TEST(TgaDecode, SidesBeyondAnyTextureAreRefused) {
    // 65535 x 65535 x 32 bits would ask for sixteen gigabytes.
    const Bytes huge = tgaHeader(65535, 65535, 32);
    Image image;
    EXPECT_FALSE(decodeTga(huge.data(), huge.size(), image));
    const Bytes wide = tgaHeader(8193, 1, 24);
    EXPECT_FALSE(decodeTga(wide.data(), wide.size(), image));
    const Bytes largest = tgaHeader(8192, 2, 24);
    EXPECT_TRUE(decodeTga(largest.data(), largest.size(), image));
}
