#include "app/gl_window.h"
#include "app/projection.h"
#include "gl_env.h"
#include "support.h"
#include "textures/textures.h"

namespace {

// A 4x4 24-bit TGA, stored bottom-up: the lower half red, the upper half blue.
Bytes twoBandTga() {
    Bytes file = tgaHeader(4, 4, 24);
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 4; ++x) file.insert(file.end(), {uint8_t(row >= 2 ? 255 : 0), 0, uint8_t(row >= 2 ? 0 : 255)});
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

// The top and bottom colours of the texture drawn over the whole window,
// t = 0 at the bottom edge.
std::pair<Rgb, Rgb> shown(uint32_t name) {
    glBindTexture(GL_TEXTURE_2D, name);
    orthoMode();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    for (auto [s, t] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        glTexCoord2f(s, t);
        glVertex2f(s * kWidth, (1 - t) * kHeight);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    capture();
    return {pixel(512, 100), pixel(512, 700)};
}

}  // namespace

using TextureTest = GlTest;

TEST_F(TextureTest, FilterSettingChoosesFiltersAndMipmaps) {
    TempFile tga(twoBandTga(), "bands.tga");
    const std::pair<int, std::vector<double>> cases[] = {
        {0, values(GL_NEAREST, GL_NEAREST, 4, 0)},
        {1, values(GL_LINEAR, GL_LINEAR, 4, 0)},
        {2, values(GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 4, 2)},
        {7, values(GL_LINEAR, GL_NEAREST_MIPMAP_LINEAR, 0, 0)}};  // out of range: a name with OpenGL's defaults, no image
    for (const auto& [setting, expected] : cases) {
        config.texturefilter = setting;
        uint32_t name = 0;
        ASSERT_TRUE(loadTexture(tga.path(), name, 999));
        ASSERT_NE(0u, name);
        glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(expected, filtersAndWidths()) << setting;
    }
    EXPECT_EQ("", shownBoxes());
}

TEST_F(TextureTest, BottomUpTgaAndTopDownRawBothShowUpright) {
    config.texturefilter = 0;
    TempFile tga(twoBandTga(), "bands.TGA");
    uint32_t name = 0;
    ASSERT_TRUE(loadTexture(tga.path(), name, 0));
    const auto [top, bottom] = shown(name);
    EXPECT_EQ(values(0, 255, 255, 0), values(top.r, top.b, bottom.r, bottom.b));
    // A RAW picture's first row is its top; rows of 6 bytes are read tightly
    // packed, then the default alignment is back.
    const Bytes raw = {0, 255, 0, 0, 255, 0, 255, 255, 0, 255, 255, 0};
    TempFile file(raw, "picture.raw");
    ASSERT_TRUE(loadTexture(file.path(), name, 2));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(4, alignment);
    const auto [rawTop, rawBottom] = shown(name);
    EXPECT_EQ(values(0, 255, 255, 255), values(rawTop.r, rawTop.g, rawBottom.r, rawBottom.g));
}

TEST_F(TextureTest, FilesThatCannotBeReadShowTheirCaption) {
    TempFile mixed(twoBandTga(), "bands.Tga");
    TempFile mapped(tgaHeader(4, 4, 8, 1), "mapped.tga");  // colour-mapped: refused rather than misread
    const struct {
        const char *path, *caption;
    } cases[] = {{"/nonexistent/a.pcx", "Error -16"}, {"/nonexistent/a.RAW", "Error -18"},
                 {"/nonexistent/a.tga", "Error -20"}, {mapped.path(), "Error -21"},
                 {mixed.path(), ""}, {"ab", ""}, {"", ""}};  // the extension in one case only
    for (const auto& c : cases) {
        testplatform::reset();
        uint32_t name = 777;
        EXPECT_FALSE(loadTexture(c.path, name, 64));
        EXPECT_EQ(777u, name);
        EXPECT_EQ(*c.caption ? std::string(c.caption) + ": Texture initialization failed!" : "", shownBoxes());
        EXPECT_TRUE(testplatform::boxes.empty() || testplatform::boxes[0].style == 0x30u);
    }
}
