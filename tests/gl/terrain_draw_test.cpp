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
    Terrain t{};
    loadHeightMap(t, heightMapFile(128, height));
    return t;
}

int drawn(const Terrain& t, float x, float z, float radius) {
    return feedbackPolygons([&] { t.draw(x, z, radius); });
}

}  // namespace

class TerrainDrawTest : public GlTest {};

TEST_F(TerrainDrawTest, WindowHasTwiceTheReachInCellsPerSide) {
    const Terrain t = makeTerrain([](int i, int j) { return (i * 3 + j) & 0xFF; });
    // 7 / 0.390625 = 17.92: 34 x 34 cells, two triangles each.
    EXPECT_EQ(2312, drawn(t, 0, 0, 7.0f));
    // Anywhere, also far outside the first tile.
    EXPECT_EQ(2312, drawn(t, 1000, -733, 7.0f));
    EXPECT_EQ(2 * 4 * 4, drawn(t, 3, 3, 2 * t.cellSize + 0.01f));
    EXPECT_EQ(0, drawn(t, 0, 0, t.cellSize * 0.99f));
    EXPECT_EQ(0, drawn(t, 0, 0, -5));
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
    EXPECT_EQ(0, drawn(empty, 0, 0, 7.0f));
}
