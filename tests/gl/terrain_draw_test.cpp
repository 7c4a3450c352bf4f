#include "gl_env.h"

namespace {

// A terrain of the test's own, freed with it.
struct TestTerrain {
    Terrain t{};
    template <typename F>
    explicit TestTerrain(F height, int side = 128) { loadHeightMap(t, heightMapFile(side, height)); }
    ~TestTerrain() { clearTerrain(t); }
};

size_t drawn(const Terrain& t, float x, float z, float radius) { return feedback([&] { t.draw(x, z, radius); }).size(); }

}  // namespace

using TerrainDrawTest = GlTest;

TEST_F(TerrainDrawTest, WindowHasTwiceTheReachInCellsPerSide) {
    const TestTerrain owned([](int i, int j) { return (i * 3 + j) & 0xFF; });
    const Terrain& t = owned.t;
    // 7 / 0.390625 = 17.92 cells, anywhere; two cells; less than one; none.
    EXPECT_EQ(2u * 34 * 34, drawn(t, 0, 0, 7.0f));
    EXPECT_EQ(2u * 34 * 34, drawn(t, 1000, -733, 7.0f));
    EXPECT_EQ(2u * 4 * 4, drawn(t, 3, 3, 2 * t.cellSize + 0.01f));
    EXPECT_EQ(0u, drawn(t, 0, 0, t.cellSize * 0.99f) + drawn(t, 0, 0, -5) + drawn(Terrain{}, 0, 0, 7.0f));
    // The last vertex is the window's far corner, 64 + 17 cells over the
    // map from its corner: the land map once per tile, the detail 100 times.
    t.draw(0, 0, 7.0f);
    for (auto [unit, repeat] : {std::pair{kGlTexture0Arb, 100.0f}, std::pair{kGlTexture1Arb, 1.0f}}) {
        glWindow.glActiveTextureARB(unit);
        EXPECT_NEAR(81.0 / 128 * repeat, current(GL_CURRENT_TEXTURE_COORDS)[0], 1e-3) << unit;
        EXPECT_NEAR(81.0 / 128 * repeat, current(GL_CURRENT_TEXTURE_COORDS)[1], 1e-3) << unit;
    }
}

TEST_F(TerrainDrawTest, NormalsLeanAwayFromHigherGround) {
    const TestTerrain flat([](int, int) { return 120; });
    flat.t.draw(0, 0, 1.0f);
    EXPECT_EQ((std::array<float, 4>{0, 1, 0, 0}), current(GL_CURRENT_NORMAL)) << "straight up, on white";
    EXPECT_EQ(1, current(GL_CURRENT_COLOR)[0]);
    for (const bool alongX : {true, false}) {  // a ridge along x, then along z, viewed where the ground rises
        const TestTerrain owned([&](int i, int j) { const int k = alongX ? i : j; return k < 64 ? k * 2 : 255 - (k - 64) * 2; });
        const float x = alongX ? -12 : 0, z = alongX ? 0 : -12;
        const float rise = owned.t.heightAt(x + alongX, z + !alongX) - owned.t.heightAt(x, z);
        owned.t.draw(x, z, 0.5f);
        const auto n = current(GL_CURRENT_NORMAL);
        EXPECT_TRUE(rise > 0.02f && (alongX ? n[0] : n[2]) < -0.05f && std::fabs(alongX ? n[2] : n[0]) < 1e-6 &&
                    n[1] > 0.9f && std::fabs(std::hypot(n[0], n[1], n[2]) - 1) < 1e-5)
            << alongX << ": rise " << rise << ", normal " << n[0] << " " << n[1] << " " << n[2];
    }
}

TEST_F(TerrainDrawTest, AMapOfHalfTheSamplesLooksAsItsSamplesDoubled) {
    // 64 samples over 128 cells: half a sample a cell, each map position a fraction.
    const auto ridges = [](int i, int j) { return (i * 37 + j * 11 + i * j) % 200; };
    const TestTerrain half(ridges, 64), doubled([&](int i, int j) { return ridges(i / 2, j / 2); });
    std::array<float, 4> normals[2];
    std::vector<Polygon> drawn[2];
    for (int k = 0; k < 2; ++k) {
        drawn[k] = feedback([&] { (k ? doubled : half).t.draw(3.3f, -7.9f, 4.0f); });
        normals[k] = current(GL_CURRENT_NORMAL);
    }
    ASSERT_EQ(2u * 20 * 20, drawn[0].size());
    EXPECT_EQ(drawn[1], drawn[0]);
    EXPECT_EQ(normals[1], normals[0]);
}
