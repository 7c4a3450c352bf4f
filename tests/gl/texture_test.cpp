#include "gl_env.h"
#include "textures/textures.h"

using TextureTest = GlTest;

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

TEST_F(TextureTest, TheExtensionInEitherCaseChoosesTheReaderAndFailuresShowTheirCaption) {
    TempFile capitals(greyTga(4), "BANDS.TGA"), mixed(greyTga(4), "bands.Tga");  // as 3DS materials often name maps
    TempFile mapped(tgaHeader(4, 4, 8, 1), "mapped.tga");  // colour-mapped: refused, not misread
    uint32_t loaded = 0;
    EXPECT_TRUE(loadTexture(capitals.path(), loaded, 64) && loaded != 0);
    for (auto [path, caption] : {std::pair{"/nonexistent/a.pcx", "Error -16"}, {"/nonexistent/a.RAW", "Error -18"},
                                 {"/nonexistent/a.tga", "Error -20"}, {mapped.path(), "Error -21"},
                                 {mixed.path(), ""}, {"ab", ""}, {"", ""}}) {  // an extension in mixed case is none
        testplatform::reset();
        uint32_t name = 777;
        EXPECT_TRUE(!loadTexture(path, name, 64) && name == 777u) << path;
        EXPECT_EQ(*caption ? std::string(caption) + ": Texture initialization failed!" : "", shownBoxes());
        EXPECT_TRUE(testplatform::boxes.empty() || testplatform::boxes[0].style == 0x30u);
    }
}
