#include "gl_env.h"
#include "textures/textures.h"

namespace {

Bytes greyTga() {  // 4x4, 24-bit
    Bytes file = tgaHeader(4, 4, 24);
    file.resize(file.size() + 48, 128);
    return file;
}

}  // namespace

using TextureTest = GlTest;

TEST_F(TextureTest, FilterSettingChoosesFiltersAndMipmaps) {
    TempFile tga(greyTga(), "bands.tga");
    // magnification, minification, the widths of the first two levels; out of range: OpenGL's defaults, no image
    for (auto [setting, mag, min, width0, width1] :
         {std::tuple{0, GL_NEAREST, GL_NEAREST, 4, 0}, {1, GL_LINEAR, GL_LINEAR, 4, 0},
          {2, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 4, 2}, {7, GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR, 0, 0}}) {
        config.texturefilter = setting;
        uint32_t name = 0;
        ASSERT_TRUE(loadTexture(tga.path(), name, 999) && name != 0);
        glBindTexture(GL_TEXTURE_2D, name);
        GLint v[4] = {-1, -1, -1, -1};
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &v[0]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v[1]);
        for (int mip = 0; mip < 2; ++mip) glGetTexLevelParameteriv(GL_TEXTURE_2D, mip, GL_TEXTURE_WIDTH, &v[2 + mip]);
        EXPECT_EQ(std::tuple(mag, min, width0, width1), std::tuple(v[0], v[1], v[2], v[3])) << setting;
    }
    EXPECT_EQ("", shownBoxes());
}

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
    TempFile capitals(greyTga(), "BANDS.TGA"), mixed(greyTga(), "bands.Tga");  // as 3DS materials often name maps
    TempFile mapped(tgaHeader(4, 4, 8, 1), "mapped.tga");                          // colour-mapped: refused, not misread
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
