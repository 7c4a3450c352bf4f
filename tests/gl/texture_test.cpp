#include <gtest/gtest.h>

#include "app/gl_window.h"
#include "app/opengl.h"
#include "app/projection.h"
#include "gl_env.h"
#include "support.h"
#include "textures/textures.h"

namespace {

// A 4x4 24-bit TGA, stored bottom-up: the lower half red, the upper half blue.
Bytes twoBandTga() {
    Bytes file = tgaHeader(4, 4, 24);
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 4; ++x) {
            const bool top = row >= 2;
            file.push_back(top ? 255 : 0);  // blue
            file.push_back(0);
            file.push_back(top ? 0 : 255);  // red
        }
    return file;
}

GLint level(GLenum parameter, int mip = 0) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, mip, parameter, &value);
    return value;
}

GLint filter(GLenum which) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
}

// Draws the bound texture over the whole window, t = 0 at the bottom edge.
void drawFullQuad() {
    orthoMode();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 768);
    glTexCoord2f(1, 0);
    glVertex2f(1024, 768);
    glTexCoord2f(1, 1);
    glVertex2f(1024, 0);
    glTexCoord2f(0, 1);
    glVertex2f(0, 0);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

}  // namespace

class TextureTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glWindow.glActiveTextureARB(kGlTexture0Arb);
    }
};

TEST_F(TextureTest, FilterSettingChoosesFiltersAndMipmaps) {
    const Bytes file = twoBandTga();
    TempFile tga(file, "bands.tga");
    struct Case {
        int setting;
        GLint mag, min, level1;
    } cases[] = {{0, GL_NEAREST, GL_NEAREST, 0}, {1, GL_LINEAR, GL_LINEAR, 0}, {2, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 2}};
    for (const Case& c : cases) {
        config.texturefilter = c.setting;
        uint32_t name = 0;
        ASSERT_TRUE(loadTexture(tga.path(), name, 999));
        ASSERT_NE(0u, name);
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(c.mag, filter(GL_TEXTURE_MAG_FILTER));
        EXPECT_EQ(c.min, filter(GL_TEXTURE_MIN_FILTER));
        EXPECT_EQ(4, level(GL_TEXTURE_WIDTH));
        EXPECT_EQ(c.level1, level(GL_TEXTURE_WIDTH, 1)) << c.setting;
    }
    // Out of range: a name, but no image.
    config.texturefilter = 7;
    uint32_t name = 0;
    ASSERT_TRUE(loadTexture(tga.path(), name, 64));
    EXPECT_NE(0u, name);
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(0, level(GL_TEXTURE_WIDTH));
    EXPECT_TRUE(testplatform::boxes.empty());
}

TEST_F(TextureTest, BottomUpTgaShowsUpright) {
    config.texturefilter = 0;
    TempFile tga(twoBandTga(), "bands.TGA");
    uint32_t name = 0;
    ASSERT_TRUE(loadTexture(tga.path(), name, 0));
    glBindTexture(GL_TEXTURE_2D, name);
    drawFullQuad();
    context->capture();
    const Rgb top = context->pixel(512, 100), bottom = context->pixel(512, 700);
    EXPECT_EQ(255, top.b);
    EXPECT_EQ(0, top.r);
    EXPECT_EQ(255, bottom.r);
    EXPECT_EQ(0, bottom.b);
}

TEST_F(TextureTest, RawFileShowsItsFirstRowAtTheTop) {
    config.texturefilter = 0;
    Bytes raw;
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 2; ++x)
            for (uint8_t v : row == 0 ? Bytes{0, 255, 0} : Bytes{255, 255, 0}) raw.push_back(v);
    TempFile file(raw, "picture.raw");
    uint32_t name = 0;
    ASSERT_TRUE(loadTexture(file.path(), name, 2));
    glBindTexture(GL_TEXTURE_2D, name);
    // Rows of 6 bytes: read tightly packed, then the default alignment is back.
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(4, alignment);
    drawFullQuad();
    context->capture();
    const Rgb top = context->pixel(100, 100), bottom = context->pixel(900, 700);
    EXPECT_EQ(0, top.r);
    EXPECT_EQ(255, top.g);
    EXPECT_EQ(255, bottom.r);
    EXPECT_EQ(255, bottom.g);
}

TEST_F(TextureTest, ExtensionPicksTheReaderInOneCaseOnly) {
    TempFile mixed(twoBandTga(), "bands.Tga");
    uint32_t name = 12345;
    EXPECT_FALSE(loadTexture(mixed.path(), name, 0));
    EXPECT_EQ(12345u, name);
    EXPECT_FALSE(loadTexture("ab", name, 0));
    EXPECT_FALSE(loadTexture("", name, 0));
    EXPECT_TRUE(testplatform::boxes.empty());
}

TEST_F(TextureTest, MissingOrUnreadableFilesShowTheirCaption) {
    struct Case {
        const char* path;
        const char* caption;
    } cases[] = {{"/nonexistent/a.pcx", "Error -16"}, {"/nonexistent/a.RAW", "Error -18"},
                 {"/nonexistent/a.tga", "Error -20"}};
    for (const Case& c : cases) {
        testplatform::reset();
        uint32_t name = 777;
        EXPECT_FALSE(loadTexture(c.path, name, 64));
        EXPECT_EQ(777u, name);
        ASSERT_EQ(1u, testplatform::boxes.size());
        EXPECT_EQ(c.caption, testplatform::boxes[0].caption);
        EXPECT_EQ("Texture initialization failed!", testplatform::boxes[0].text);
        EXPECT_EQ(0x30u, testplatform::boxes[0].style);
    }
    // A colour-mapped picture is refused rather than misread.
    testplatform::reset();
    TempFile mapped(tgaHeader(4, 4, 8, 1), "mapped.tga");
    uint32_t name = 5;
    EXPECT_FALSE(loadTexture(mapped.path(), name, 0));
    EXPECT_EQ(5u, name);
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error -21", testplatform::boxes[0].caption);
}
