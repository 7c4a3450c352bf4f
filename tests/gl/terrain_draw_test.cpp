#include <gtest/gtest.h>

#include <vector>

#include "app/opengl.h"
#include "app/projection.h"
#include "gl_env.h"
#include "support.h"
#include "terrain/camera.h"
#include "terrain/terrain.h"

namespace {

template <typename F>
Terrain makeTerrain(F height) {
    Bytes file = tgaHeader(128, 128, 8, 3);
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i) file.push_back(static_cast<uint8_t>(height(i, j)));
    TempFile f(file, "map.tga");
    Terrain t{};
    t.load(f.path(), 50, 0.01f, 128, 100, 100);
    return t;
}

// Vertices drawn by one terrain.draw call, as OpenGL's feedback sees them:
// object-space positions come back because the matrices are identity and
// the viewport maps [-1, 1] to pixels; the count of polygons is what matters.
struct Feedback {
    int polygons = 0;
    int vertices = 0;
};

Feedback feedback(const Terrain& t, float x, float z, float radius) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1e6, 1e6, -1e6, 1e6, -1e6, 1e6);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    t.draw(x, z, radius);
    const GLint size = glRenderMode(GL_RENDER);
    Feedback f;
    for (GLint i = 0; i < size;) {
        const int token = static_cast<int>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const int n = static_cast<int>(buffer[i++]);
            ++f.polygons;
            f.vertices += n;
            i += 3 * n;
        } else {
            break;
        }
    }
    return f;
}

}  // namespace

class TerrainDrawTest : public GlTest {};

TEST_F(TerrainDrawTest, WindowHasTwiceTheReachInCellsPerSide) {
    const Terrain t = makeTerrain([](int i, int j) { return (i * 3 + j) & 0xFF; });
    // 7 / 0.390625 = 17.92: 34 x 34 cells, two triangles each.
    EXPECT_EQ(2312, feedback(t, 0, 0, 7.0f).polygons);
    // Anywhere, also far outside the first tile.
    EXPECT_EQ(2312, feedback(t, 1000, -733, 7.0f).polygons);
    EXPECT_EQ(2 * 4 * 4, feedback(t, 3, 3, 2 * t.cellSize + 0.01f).polygons);
    EXPECT_EQ(0, feedback(t, 0, 0, t.cellSize * 0.99f).polygons);
    EXPECT_EQ(0, feedback(t, 0, 0, -5).polygons);
}

TEST_F(TerrainDrawTest, FlatGroundHasUpwardNormalsAndItsHeight) {
    const Terrain t = makeTerrain([](int, int) { return 120; });
    glRenderMode(GL_RENDER);
    t.draw(0, 0, 1.0f);
    float normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(0.0f, normal[0]);
    EXPECT_FLOAT_EQ(1.0f, normal[1]);
    EXPECT_FLOAT_EQ(0.0f, normal[2]);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(1.0f, colour[0]);
}

TEST_F(TerrainDrawTest, NormalLeansAwayFromHigherNeighbours) {
    // Heights rise towards +x: the normal tips towards -x.
    const Terrain t = makeTerrain([](int i, int) { return i < 64 ? i * 2 : 255 - (i - 64) * 2; });
    t.draw(-12, 0, 0.5f);
    float normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_LT(normal[0], 0.0f);
    EXPECT_GT(normal[1], 0.9f);
    EXPECT_NEAR(1.0f, normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2], 1e-5);
}

TEST_F(TerrainDrawTest, EmptyTerrainDrawsNothing) {
    Terrain empty{};
    EXPECT_EQ(0, feedback(empty, 0, 0, 7.0f).polygons);
}
