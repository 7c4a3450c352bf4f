#include "gl_env.h"
#include "textures/textures.h"

namespace {

// A 4x4 24-bit TGA, all grey.
Bytes greyTga() {
    Bytes file = tgaHeader(4, 4, 24);
    file.resize(file.size() + 48, 128);
    return file;
}

// The bound texture's filters and the widths of its first two levels.
std::vector<double> filtersAndWidths() {
    GLint v[4] = {-1, -1, -1, -1};
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &v[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v[1]);
    for (int mip = 0; mip < 2; ++mip) glGetTexLevelParameteriv(GL_TEXTURE_2D, mip, GL_TEXTURE_WIDTH, &v[2 + mip]);
    return values(v[0], v[1], v[2], v[3]);
}

}  // namespace

using TextureTest = GlTest;

TEST_F(TextureTest, FilterSettingChoosesFiltersAndMipmaps) {
    TempFile tga(greyTga(), "bands.tga");
    const std::pair<int, std::vector<double>> cases[] = {
        {0, values(GL_NEAREST, GL_NEAREST, 4, 0)},
        {1, values(GL_LINEAR, GL_LINEAR, 4, 0)},
        {2, values(GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 4, 2)},
        {7,
         values(GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR, 0, 0)}};  // out of range: a name with OpenGL's defaults, no image
    for (const auto& [setting, expected] : cases) {
        config.texturefilter = setting;
        uint32_t name = 0;
        ASSERT_TRUE(loadTexture(tga.path(), name, 999) && name != 0);
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(expected, filtersAndWidths()) << setting;
    }
    EXPECT_EQ("", shownBoxes());
}

TEST_F(TextureTest, RowsThatAreNoMultipleOfFourBytesUploadWhole) {
    // A 2x2 RAW picture, rows of 6 bytes, first row on top: read tightly
    // packed, then the default alignment is back.
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
    TempFile capitals(greyTga(), "BANDS.TGA");  // as 3DS materials often name their maps
    uint32_t loaded = 0;
    EXPECT_TRUE(loadTexture(capitals.path(), loaded, 64) && loaded != 0);
    TempFile mixed(greyTga(), "bands.Tga");
    TempFile mapped(tgaHeader(4, 4, 8, 1), "mapped.tga");  // colour-mapped: refused rather than misread
    const struct {
        const char *path, *caption;
    } cases[] = {{"/nonexistent/a.pcx", "Error -16"}, {"/nonexistent/a.RAW", "Error -18"},
                 {"/nonexistent/a.tga", "Error -20"}, {mapped.path(), "Error -21"},
                 {mixed.path(), ""}, {"ab", ""}, {"", ""}};  // the extension in one case only
    for (const auto& c : cases) {
        testplatform::reset();
        uint32_t name = 777;
        EXPECT_TRUE(!loadTexture(c.path, name, 64) && name == 777u) << c.path;
        EXPECT_EQ(*c.caption ? std::string(c.caption) + ": Texture initialization failed!" : "", shownBoxes());
        EXPECT_TRUE(testplatform::boxes.empty() || testplatform::boxes[0].style == 0x30u);
    }
}
