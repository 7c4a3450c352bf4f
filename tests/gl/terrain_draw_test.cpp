#include "gl_env.h"

namespace {

// A terrain of the test's own, freed with it.
struct TestTerrain {
    Terrain t{};
    template <typename F>
    explicit TestTerrain(F height, int side = 128) { loadHeightMap(t, heightMapFile(side, height)); }
    ~TestTerrain() { clearTerrain(t); }
};

}  // namespace

using TerrainDrawTest = GlTest;

TEST_F(TerrainDrawTest, AMapOfHalfTheSamplesLooksAsItsSamplesDoubled) {
    // 64 samples over 128 cells: half a sample a cell, each map position a fraction.
    const auto ridges = [](int i, int j) { return (i * 37 + j * 11 + i * j) % 200; };
    const TestTerrain half(ridges, 64), doubled([&](int i, int j) { return ridges(i / 2, j / 2); });
    std::array<float, 4> normals[2] = {};
    std::vector<Polygon> drawn[2];
    for (int k = 0; k < 2; ++k) {
        drawn[k] = feedback([&] { (k ? doubled : half).t.draw(3.3f, -7.9f, 4.0f); });
        glGetFloatv(GL_CURRENT_NORMAL, normals[k].data());
    }
    ASSERT_EQ(2u * 20 * 20, drawn[0].size());
    EXPECT_EQ(drawn[1], drawn[0]);
    EXPECT_EQ(normals[1], normals[0]);
}
