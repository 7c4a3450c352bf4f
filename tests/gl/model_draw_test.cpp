#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/gl_window.h"
#include "app/opengl.h"
#include "gl_env.h"
#include "md2/md2.h"
#include "models3ds/static_model.h"
#include "support.h"
#include "textures/textures.h"

namespace {

// A model record built directly: one textured and one coloured triangle.
StaticModel twoObjects() {
    StaticModel s;
    Model3ds& m = s.model;
    m.materialCount = 2;
    m.materials.resize(2);
    std::strcpy(m.materials[0].mapFile, "skin.tga");
    m.materials[1].color[0] = 200;
    m.materials[1].color[1] = 10;
    m.materials[1].color[2] = 20;
    for (int i = 0; i < 2; ++i) {
        Object3ds o;
        o.vertexCount = 3;
        o.faceCount = 1;
        o.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        o.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
        o.faces = {Face3ds{{0, 1, 2}, {0, 0, 0}}};
        o.materialIndex = i;
        o.hasTexture = i == 0;
        if (i == 0) {
            o.texCoordCount = 3;
            o.texCoords = {{0, 0}, {1, 0}, {0.25f, 0.75f}};
        }
        m.objects.push_back(o);
        ++m.objectCount;
    }
    s.textures[0] = 42;
    return s;
}

std::vector<float> current(GLenum what) {
    std::vector<float> v(4);
    glGetFloatv(what, v.data());
    return v;
}

}  // namespace

class ModelDrawTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glWindow.glActiveTextureARB(kGlTexture0Arb);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

TEST_F(ModelDrawTest, WithoutOptionsTheCallersStateApplies) {
    const StaticModel s = twoObjects();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 7);
    glColor3f(0.1f, 0.2f, 0.3f);
    s.draw(false, false);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(7, bound);
    EXPECT_FLOAT_EQ(0.1f, current(GL_CURRENT_COLOR)[0]);
    // Texture coordinates still go to unit 0 for the textured object.
    EXPECT_FLOAT_EQ(0.75f, current(GL_CURRENT_TEXTURE_COORDS)[1]);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(ModelDrawTest, WithOptionsMaterialsApplyAndTexturingEndsOff) {
    const StaticModel s = twoObjects();
    glEnable(GL_TEXTURE_2D);
    s.draw(true, true);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // The untextured object's colour was set before each of its vertices.
    const std::vector<float> c = current(GL_CURRENT_COLOR);
    EXPECT_NEAR(200 / 255.0, c[0], 1e-3);
    EXPECT_NEAR(20 / 255.0, c[2], 1e-3);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(1.0f, m[5]);  // the matrix is left as it was
    EXPECT_EQ(2, feedbackPolygons([&] { s.draw(false, false); }));
}

TEST_F(ModelDrawTest, EmptyOrReleasedModelsDrawNothing) {
    StaticModel missing;
    missing.load("/nonexistent/ball.3ds", "/nonexistent/");
    EXPECT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ(0, feedbackPolygons([&] { missing.draw(true, true); }));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(1, depth);
    StaticModel s = twoObjects();
    s.release();
    EXPECT_EQ(0, feedbackPolygons([&] { s.draw(false, false); }));
}

TEST_F(ModelDrawTest, MaterialTexturesLoadFromTheTextureFolder) {
    Bytes tga = tgaHeader(2, 2, 24);
    tga.resize(tga.size() + 12, 128);
    TempFile skin(tga, "skin.tga");
    const std::string folder = std::string(skin.path()).substr(0, std::string(skin.path()).rfind('/') + 1);
    const Chunk withMap{0xAFFF, {}, {{0xA000, cString("painted"), {}}, {0xA200, {}, {{0xA300, cString("skin.tga"), {}}}}}};
    const Chunk plain{0xAFFF, {}, {{0xA000, cString("plain"), {}}}};
    const Chunk file{0x4D4D, {}, {{0x3D3D, {}, {{0x3D3E, {3, 0, 0, 0}, {}}, plain, withMap}}}};
    TempFile model(file.bytes(), "model.3ds");
    StaticModel s;
    s.load(model.path(), folder.c_str());
    EXPECT_TRUE(testplatform::boxes.empty());
    ASSERT_EQ(2, s.model.materialCount);
    EXPECT_EQ(0u, s.textures[0]);
    EXPECT_NE(0u, s.textures[1]);
    // A folder without the map reports it and leaves the slot.
    StaticModel t;
    t.load(model.path(), "/nonexistent/");
    EXPECT_EQ(0u, t.textures[1]);
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error -20", testplatform::boxes[0].caption);
}

TEST_F(ModelDrawTest, Md2DrawBlendsBetweenKeyFrames) {
    Md2Model m;
    Object3ds a, b;
    a.vertexCount = b.vertexCount = 3;
    a.faceCount = b.faceCount = 1;
    a.vertices = {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}};
    b.vertices = {{40, 0, 0}, {60, 0, 0}, {40, 20, 0}};
    a.faces = {Face3ds{{0, 1, 2}, {0, 1, 2}}};
    a.texCoordCount = 3;
    a.texCoords = {{0, 0}, {1, 0}, {0.5f, 1}};
    m.model.objects = {a, b};
    m.model.objectCount = 2;
    m.model.animations = {Animation{"all", 0, 2}};
    testplatform::ticks = 1000;
    m.draw(Md2Model::kContinue);  // starts the clock
    testplatform::ticks = 1050;
    std::vector<GLfloat> buffer(256);
    glFeedbackBuffer(256, GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    m.draw(Md2Model::kContinue);
    const GLint size = glRenderMode(GL_RENDER);
    ASSERT_GE(size, 11);
    ASSERT_EQ(GL_POLYGON_TOKEN, static_cast<int>(buffer[0]));
    // Halfway from x = 0 to x = 40, scaled by 0.05: 1.0 in clip space, which
    // the viewport maps to the right edge.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_NEAR(viewport[2] * (1.0 + 1) / 2, buffer[2], 0.01);
    EXPECT_FLOAT_EQ(1.0f, current(GL_CURRENT_TEXTURE_COORDS)[1]);
}
