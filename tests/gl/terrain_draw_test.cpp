#include "gl_env.h"

namespace {

// A terrain of the test's own, its map freed when the test is done with it.
struct TestTerrain {
    Terrain terrain{};
    template <typename F>
    explicit TestTerrain(F height) {
        loadHeightMap(terrain, heightMapFile(128, height));
    }
    ~TestTerrain() { clearTerrain(terrain); }
    TestTerrain(const TestTerrain&) = delete;
    TestTerrain& operator=(const TestTerrain&) = delete;
};

size_t drawn(const Terrain& t, float x, float z, float radius) {
    return feedback([&] { t.draw(x, z, radius); }).size();
}

// A ridge along one axis of the map: rising to the middle, then falling.
int ridge(int i) { return i < 64 ? i * 2 : 255 - (i - 64) * 2; }

}  // namespace

using TerrainDrawTest = GlTest;

TEST_F(TerrainDrawTest, WindowHasTwiceTheReachInCellsPerSide) {
    const TestTerrain owned([](int i, int j) { return (i * 3 + j) & 0xFF; });
    const Terrain& t = owned.terrain;
    // 7 / 0.390625 = 17.92 cells, anywhere; two cells; less than one; none.
    EXPECT_EQ(values(2 * 34 * 34, 2 * 34 * 34, 2 * 4 * 4, 0, 0, 0),
              values(drawn(t, 0, 0, 7.0f), drawn(t, 1000, -733, 7.0f), drawn(t, 3, 3, 2 * t.cellSize + 0.01f),
                     drawn(t, 0, 0, t.cellSize * 0.99f), drawn(t, 0, 0, -5), drawn(Terrain{}, 0, 0, 7.0f)));
    // The last vertex is the window's far corner, 64 + 17 cells over the
    // map from its corner: the land map once per tile, the detail 100 times.
    t.draw(0, 0, 7.0f);
    for (auto [unit, repeat] : {std::pair{kGlTexture0Arb, 100.0f}, std::pair{kGlTexture1Arb, 1.0f}}) {
        glWindow.glActiveTextureARB(unit);
        const auto st = current(GL_CURRENT_TEXTURE_COORDS);
        EXPECT_THAT(values(st[0], st[1]), within(1e-3, values(81.0 / 128 * repeat, 81.0 / 128 * repeat))) << unit;
    }
}

TEST_F(TerrainDrawTest, NormalsLeanAwayFromHigherGround) {
    const TestTerrain ownedFlat([](int, int) { return 120; });
    const Terrain& flat = ownedFlat.terrain;
    flat.draw(0, 0, 1.0f);
    EXPECT_EQ(values(0, 1, 0, 1), values(current(GL_CURRENT_NORMAL)[0], current(GL_CURRENT_NORMAL)[1],
                                         current(GL_CURRENT_NORMAL)[2], current(GL_CURRENT_COLOR)[0]));
    // A ridge along x, then along z, viewed where the ground rises.
    for (const bool alongX : {true, false}) {
        const TestTerrain owned([&](int i, int j) { return ridge(alongX ? i : j); });
        const Terrain& t = owned.terrain;
        const float x = alongX ? -12 : 0, z = alongX ? 0 : -12;
        const float rise = t.heightAt(x + (alongX ? 1 : 0), z + (alongX ? 0 : 1)) - t.heightAt(x, z);
        t.draw(x, z, 0.5f);
        const auto n = current(GL_CURRENT_NORMAL);
        EXPECT_TRUE(rise > 0.02f && (alongX ? n[0] : n[2]) < -0.05f && std::fabs(alongX ? n[2] : n[0]) < 1e-6 &&
                    n[1] > 0.9f && std::fabs(std::hypot(n[0], n[1], n[2]) - 1) < 1e-5)
            << alongX << ": rise " << rise << ", normal " << n[0] << " " << n[1] << " " << n[2];
    }
}
