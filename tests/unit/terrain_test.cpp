#include <gtest/gtest.h>

#include <cmath>

#include "platform/testing/test_platform.h"
#include "support.h"
#include "terrain/terrain.h"

namespace {

Terrain loaded(const Bytes& file, uint32_t cells = 128) {
    Terrain t{};
    loadHeightMap(t, file, cells);
    return t;
}

uint8_t pattern(int i, int j) { return static_cast<uint8_t>((i * 7 + j * 13 + (i * j) % 5) & 0xFF); }

class TerrainTest : public testing::Test {
protected:
    void SetUp() override { testplatform::reset(); }
};

}  // namespace

TEST_F(TerrainTest, LoadStoresParametersAndDerivesSteps) {
    const Terrain t = loaded(heightMapFile(128, pattern));
    EXPECT_EQ(128u, t.mapSize);
    EXPECT_FLOAT_EQ(1.0f, t.sampleStep);
    EXPECT_FLOAT_EQ(0.390625f, t.cellSize);
    EXPECT_FLOAT_EQ(0.78125f, t.detailStepS);
    EXPECT_FLOAT_EQ(0.78125f, t.detailStepT);
    EXPECT_FLOAT_EQ(0.0078125f, t.mapStep);
    EXPECT_EQ(pattern(5, 9), t.sample(5, 9));
    EXPECT_TRUE(testplatform::boxes.empty());
    // An image ID field before the samples is passed over.
    Bytes withId = heightMapFile(128, pattern);
    withId[0] = 5;
    withId.insert(withId.begin() + 18, 5, 0xEE);
    EXPECT_EQ(pattern(0, 0), loaded(withId).sample(0, 0));
}

TEST_F(TerrainTest, HeightIsExactAtVerticesAndLinearAlongEdges) {
    const Terrain t = loaded(heightMapFile(128, pattern));
    for (int c : {0, 3, 64, 100})
        for (int r : {0, 7, 64, 127}) {
            const float x = -25 + c * t.cellSize, z = -25 + r * t.cellSize;
            EXPECT_FLOAT_EQ(pattern(c, r) * 0.01f, t.heightAt(x, z)) << c << "," << r;
        }
    // Halfway along the x edge from vertex (10, 20) to (11, 20).
    const float x = -25 + 10.5f * t.cellSize, z = -25 + 20 * t.cellSize;
    EXPECT_NEAR((pattern(10, 20) + pattern(11, 20)) * 0.005f, t.heightAt(x, z), 1e-5);
}

TEST_F(TerrainTest, BothTrianglesAgreeOnTheDiagonal) {
    const Terrain t = loaded(heightMapFile(128, pattern));
    const float cs = t.cellSize;
    for (float a : {0.25f, 0.5f, 0.75f}) {
        const float x = -25 + (30 + a) * cs, z = -25 + (40 + 1 - a) * cs;
        const float onDiagonal = t.heightAt(x, z);
        const float h10 = pattern(31, 40) * 0.01f, h01 = pattern(30, 41) * 0.01f;
        EXPECT_NEAR(h01 + (h10 - h01) * a, onDiagonal, 1e-4);
        // Just inside the lower triangle the height is continuous.
        EXPECT_NEAR(onDiagonal, t.heightAt(x - 1e-4f, z - 1e-4f), 2e-3);
    }
}

TEST_F(TerrainTest, TileRepeatsEveryWorldSize) {
    const Terrain t = loaded(heightMapFile(128, pattern));
    for (float x : {-24.3f, -3.1f, 0.2f, 11.7f})
        for (float z : {-20.0f, 1.3f, 17.9f}) {
            EXPECT_NEAR(t.heightAt(x, z), t.heightAt(x + 50, z), 1e-4);
            EXPECT_NEAR(t.heightAt(x, z), t.heightAt(x, z + 100), 1e-4);
            EXPECT_NEAR(t.heightAt(x, z), t.heightAt(x + 1000, z), 1e-3);
        }
}

TEST_F(TerrainTest, WestOfTheTileTheNeighbouringPlaneIsExtrapolated) {
    const Terrain t = loaded(heightMapFile(128, pattern));
    // fx = -3.5: cell index -3 with tx = -0.5 (truncation toward zero).
    const float x = -25 - 3.5f * t.cellSize, z = -25 + 10 * t.cellSize;
    const float h00 = pattern(125, 10) * 0.01f, h10 = pattern(126, 10) * 0.01f;
    EXPECT_NEAR(h00 + (h10 - h00) * -0.5f, t.heightAt(x, z), 1e-4);
}

TEST_F(TerrainTest, SamplesWrapAtAnyDistance) {
    const Terrain t = loaded(heightMapFile(128, pattern));
    EXPECT_EQ(pattern(1000000 % 128, 5), t.sample(1000000, 5));
    EXPECT_EQ(pattern(121, 5), t.sample(-7, 5));
    EXPECT_EQ(pattern(3, 127), t.sample(3.9f, -1));
    // A side that is not a power of two wraps negatives with an offset.
    const Terrain odd = loaded(heightMapFile(100, pattern), 100);
    EXPECT_EQ(pattern((4294967296ULL - 7) % 100, 0), odd.sample(-7, 0));
}

TEST_F(TerrainTest, TwentyFourBitMapsTakeEveryByteAsASample) {
    const Terrain t = loaded(heightMapFile(4, pattern, 24), 12);
    EXPECT_EQ(12u, t.mapSize);
    EXPECT_EQ(pattern(11, 11), t.sample(11, 11));
}

TEST_F(TerrainTest, SlopesFollowTheTriangle) {
    const Terrain flat = loaded(heightMapFile(128, [](int, int) { return 77; }));
    float sx = 1, sz = 1;
    flat.slopeAt(3.3f, -7.1f, sx, sz);
    EXPECT_EQ(0.0f, sx);
    EXPECT_EQ(0.0f, sz);
    // A ramp rising one step per column along x.
    const Terrain ramp = loaded(heightMapFile(128, [](int i, int j) { return (i + 2 * j) & 0xFF; }));
    const float cs = ramp.cellSize;
    ramp.slopeAt(-25 + 10.2f * cs, -25 + 20.2f * cs, sx, sz);
    EXPECT_NEAR(0.01f / cs, sx, 1e-5);
    EXPECT_NEAR(0.02f / cs, sz, 1e-5);
    ramp.slopeAt(-25 + 10.8f * cs, -25 + 20.8f * cs, sx, sz);
    EXPECT_NEAR(0.01f / cs, sx, 1e-5);
    EXPECT_NEAR(0.02f / cs, sz, 1e-5);
}

TEST_F(TerrainTest, MissingFileShowsErrorMinus32AndQueriesStaySafe) {
    Terrain t{};
    t.load("/nonexistent/Landscape.tga", 50, 0.01f, 128, 100, 100);
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error -32", testplatform::boxes[0].caption);
    EXPECT_EQ("Unable to load heightmap data!", testplatform::boxes[0].text);
    EXPECT_EQ(50.0f, t.worldSize);
    EXPECT_EQ(128u, t.cellCount);
    EXPECT_EQ(0u, t.mapSize);
    EXPECT_EQ(0u, t.sample(3, 4));
    EXPECT_EQ(0.0f, t.heightAt(1, 2));
    float sx = 5, sz = 5;
    t.slopeAt(1, 2, sx, sz);
    EXPECT_EQ(0.0f, sx);
    EXPECT_EQ(0.0f, sz);
}

TEST_F(TerrainTest, UnallocatableMapShowsErrorMinus33) {
    // 65535 pixels of 255 bits: rows of two million bytes, squared.
    const Terrain t = loaded(tgaHeader(65535, 1, 255, 3));
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error -33", testplatform::boxes[0].caption);
    EXPECT_EQ("Unable to allocate memory!", testplatform::boxes[0].text);
    EXPECT_EQ((65535u * 255u) >> 3, t.mapSize);
    EXPECT_EQ(0.0f, t.heightAt(0, 0));
}

TEST_F(TerrainTest, ShortFileGivesFlatGroundWhereBytesAreMissing) {
    Bytes file = tgaHeader(128, 128, 8, 3);
    file.push_back(200);
    const Terrain t = loaded(file);
    EXPECT_EQ(200u, t.sample(0, 0));
    EXPECT_EQ(0u, t.sample(5, 5));
    EXPECT_TRUE(testplatform::boxes.empty());
}
