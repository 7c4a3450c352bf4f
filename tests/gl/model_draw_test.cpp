#include "gl_env.h"
#include "md2/md2.h"
#include "models3ds/static_model.h"

namespace {

// A triangle standing up along file z, textured by a map or coloured by a material.
Object3ds triangle(int material) {
    Object3ds o;
    o.vertexCount = 3, o.faceCount = 1, o.materialIndex = material, o.hasTexture = material == 0;
    o.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    o.normals.assign(3, Vec3{0, -1, 0});
    o.faces = {Face3ds{{0, 1, 2}, {0, 1, 2}}};
    if (o.hasTexture) o.texCoords = {{0, 0}, {1, 0}, {0.25f, 0.75f}}, o.texCoordCount = 3;
    return o;
}

}  // namespace

using ModelDrawTest = GlTest;

TEST_F(ModelDrawTest, ModelsStandUpAndTheOptionsChooseWhoseTextureAndColourApply) {
    StaticModel s;
    s.model.materials.resize(s.model.materialCount = 2);
    s.model.materials[1].color[0] = 200, s.model.materials[1].color[2] = 20;
    s.model.objects = {triangle(0), triangle(1)}, s.model.objectCount = 2;
    s.textures[0] = 42;
    const auto polygons = feedback([&] { s.draw(false, false); }, 2);  // file z is the scene's y: the apex on top
    ASSERT_EQ(2u, polygons.size());
    EXPECT_NEAR(kHeight * 0.5, polygons[0][0][1], 0.5);
    EXPECT_NEAR(kHeight * 0.75, polygons[0][2][1], 0.5);
    // Without the options the caller's texture and colour stay; texture coordinates still go to unit 0.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 7);
    glColor3f(0.1f, 0.2f, 0.3f);
    s.draw(false, false);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && bound == 7 && current(GL_CURRENT_COLOR)[0] == 0.1f);
    EXPECT_EQ(0.75f, current(GL_CURRENT_TEXTURE_COORDS)[1]);
    s.draw(true, true);  // with them the materials apply, texturing ends off, the matrix as it was
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_TRUE(!glIsEnabled(GL_TEXTURE_2D) && m[5] == 1);
    EXPECT_NEAR(200 / 255.0, current(GL_CURRENT_COLOR)[0], 1e-3);
    EXPECT_NEAR(20 / 255.0, current(GL_CURRENT_COLOR)[2], 1e-3);
}

TEST_F(ModelDrawTest, MaterialTexturesLoadFromTheTextureFolder) {
    Bytes tga = tgaHeader(2, 2, 24);
    tga.resize(tga.size() + 12, 128);
    TempFile skin(tga, "skin.tga");
    const Chunk colour{0x0011, {1, 2, 3}, {}};
    TempFile model(Chunk{0x4D4D, {}, {{0x3D3D, {}, {material3ds("plain", colour), material3ds("painted", colour, "skin.tga")}}}}
                       .bytes(), "model.3ds");
    StaticModel s, t;
    s.load(model.path(), skin.folder().c_str());
    EXPECT_EQ("", shownBoxes());
    EXPECT_TRUE(s.model.materialCount == 2 && s.textures[0] == 0 && s.textures[1] != 0);
    t.load(model.path(), "/nonexistent/");  // a folder without the map reports it and leaves the slot
    EXPECT_EQ(0u, t.textures[1]);
    EXPECT_EQ("Error -20: Texture initialization failed!", shownBoxes());
}

TEST_F(ModelDrawTest, Md2DrawBlendsBetweenKeyFrames) {
    Md2Model m;
    Object3ds a = triangle(0), b = triangle(1);
    a.vertices = {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}};
    b.vertices = {{40, 40, 40}, {60, 40, 40}, {40, 60, 40}};
    m.model.objects = {a, b}, m.model.objectCount = 2;
    m.model.animations = {Animation{"all", 0, 2}};
    testplatform::ticks = 1000;
    m.draw(Md2Model::kContinue);  // starts the clock
    testplatform::ticks = 1050;
    // Halfway from (0, 0, 0) to (40, 40, 40), scaled by 0.05: (1, 1, 1), on every axis an eighth of the view past its centre.
    const auto polygons = feedback([&] { m.draw(Md2Model::kContinue); }, 4);
    ASSERT_EQ(1u, polygons.size());
    EXPECT_NEAR(kWidth * 5 / 8.0, polygons[0][0][0], 0.01);
    EXPECT_NEAR(kHeight * 5 / 8.0, polygons[0][0][1], 0.01);
    EXPECT_NEAR(3 / 8.0, polygons[0][0][2], 1e-4);
    EXPECT_EQ(0.75f, current(GL_CURRENT_TEXTURE_COORDS)[1]);
}
