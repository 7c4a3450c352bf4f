#include "gl_env.h"
#include "textures/textures.h"

namespace {

struct TextureTest : GlTest {
    // A load that fails leaves the name as it was and shows the caption given, as a warning, or no box.
    void expectRefused(const char* path, const char* caption) {
        testplatform::reset();
        uint32_t name = 777;
        EXPECT_TRUE(!loadTexture(path, name, 64) && name == 777u) << path;
        EXPECT_EQ(*caption ? std::string(caption) + ": Texture initialization failed!" : "", shownBoxes());
        EXPECT_TRUE(testplatform::boxes.empty() || testplatform::boxes[0].style == 0x30u);
    }
};

}  // namespace

TEST_F(TextureTest, RowsThatAreNoMultipleOfFourBytesUploadWhole) {
    // A 2x2 RAW picture, rows of 6 bytes, first row on top: read tightly packed, then the default alignment is back.
    TempFile file({0, 255, 0, 0, 255, 0, 255, 255, 0, 255, 255, 0}, "picture.raw");
    uint32_t name = 0;
    ASSERT_TRUE(loadTexture(file.path(), name, 2));
    glBindTexture(GL_TEXTURE_2D, name);
    Bytes texels(12);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(Bytes({255, 255, 0, 255, 255, 0, 0, 255, 0, 0, 255, 0}), texels);  // bottom row first
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(4, alignment);
}

TEST_F(TextureTest, ATgaNamedInCapitalsLoads) {
    TempFile capitals(greyTga(4), "BANDS.TGA");  // as 3DS materials often name maps
    uint32_t loaded = 0;
    EXPECT_TRUE(loadTexture(capitals.path(), loaded, 64) && loaded != 0);
}

TEST_F(TextureTest, EachReadersFailureShowsItsNumberedBox) {
    TempFile mapped(tgaHeader(4, 4, 8, 1), "mapped.tga");  // colour-mapped: refused, not misread
    for (auto [path, caption] : {std::pair{"/nonexistent/a.pcx", "Error -16"}, {"/nonexistent/a.RAW", "Error -18"},
                                 {"/nonexistent/a.tga", "Error -20"}, {mapped.path(), "Error -21"}})
        expectRefused(path, caption);
}

TEST_F(TextureTest, ANameWithoutAKnownExtensionLoadsNothingSilently) {
    TempFile mixed(greyTga(4), "bands.Tga");  // an extension in mixed case is none
    for (const char* path : {mixed.path(), "ab", ""}) expectRefused(path, "");
}
