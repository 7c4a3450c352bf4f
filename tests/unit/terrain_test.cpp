#include "support.h"

namespace {

uint8_t pattern(int i, int j) { return static_cast<uint8_t>((i * 7 + j * 13 + (i * j) % 5) & 0xFF); }

struct TerrainTest : testing::Test {
    Terrain t{};
    void SetUp() override { testplatform::reset(); }
    void TearDown() override { std::free(t.heights); }
    void load(const Bytes& file, uint32_t cells = 128) { loadHeightMap(t, file, cells); }
    float x(float column) const { return -25 + column * t.cellSize; }  // where a map column lies
    float h(int column, int row) const { return pattern(column, row) * 0.01f; }
    void expectFlatGround() {
        float sx = 5, sz = 5;
        t.slopeAt(1, 2, sx, sz);
        EXPECT_EQ(0.0f, t.heightAt(1, 2) + sx + sz + static_cast<float>(t.sample(3, 4)));
    }
};

}  // namespace

TEST_F(TerrainTest, EachSampleIsAHundredthOfAUnitHighOnAGridOfFiftyUnits) {
    load(heightMapFile(128, pattern));
    EXPECT_EQ(50.0f / 128, t.cellSize);
    for (int c : {0, 3, 64, 127})
        for (int r : {0, 7, 100}) EXPECT_FLOAT_EQ(h(c, r), t.heightAt(x(c), x(r)));
    EXPECT_EQ("", shownBoxes());
}

TEST_F(TerrainTest, HeightIsLinearOnEachTriangleOfACell) {
    load(heightMapFile(128, pattern));
    // In cell (30, 40): the lower triangle from h00, the upper from h11; on the diagonal both agree.
    const float h00 = h(30, 40), h10 = h(31, 40), h01 = h(30, 41), h11 = h(31, 41);
    EXPECT_NEAR(h00 + (h10 - h00) * 0.25f + (h01 - h00) * 0.5f, t.heightAt(x(30.25f), x(40.5f)), 1e-4);
    EXPECT_NEAR(h01 + (h11 - h01) * 0.5f + (h10 - h11) * 0.25f, t.heightAt(x(30.5f), x(40.75f)), 1e-4);
    EXPECT_NEAR(h01 + (h10 - h01) * 0.25f, t.heightAt(x(30.25f), x(40.75f)), 1e-4);
}

TEST_F(TerrainTest, TheLandscapeRepeatsEveryFiftyUnits) {
    load(heightMapFile(128, pattern));
    for (float z : {-20.0f, 1.3f, 17.9f}) EXPECT_NEAR(t.heightAt(3.1f, z), t.heightAt(53.1f, z + 100), 1e-4);
    // West of the tile, truncation toward zero extrapolates the next cell: fx = -3.5 is cell -3, tx = -0.5.
    EXPECT_NEAR(h(125, 10) + (h(126, 10) - h(125, 10)) * -0.5f, t.heightAt(x(-3.5f), x(10)), 1e-4);
    EXPECT_EQ(pattern(1000000 % 128, 5), t.sample(1000000, 5));
    EXPECT_EQ(pattern(121, 5), t.sample(-7, 5));
    load(heightMapFile(100, pattern), 100);  // a side that is not a power of two wraps negatives with an offset
    EXPECT_EQ(pattern((4294967296ULL - 7) % 100, 99), t.sample(-7, 99));
}

TEST_F(TerrainTest, ATrueColourMapGivesThreeSamplesAPixel) {
    load(heightMapFile(4, pattern, 24), 12);
    EXPECT_EQ(pattern(11, 11), t.sample(11, 11));
}

TEST_F(TerrainTest, AMapPastItsIdFieldAndShorterThanItsHeaderSaysIsFlatWhereItEnds) {
    Bytes file = tgaHeader(128, 128, 8, 3);
    file[0] = 5;
    file.insert(file.end(), {9, 9, 9, 9, 9, 200});
    load(file);
    EXPECT_EQ(200, t.sample(0, 0));
    EXPECT_EQ(0, t.sample(5, 5));
    EXPECT_EQ("", shownBoxes());
}

TEST_F(TerrainTest, AMissingMapShowsError32AndLeavesFlatGround) {
    t.load("/nonexistent/Landscape.tga", 50, 0.01f, 128, 100, 100);
    EXPECT_EQ("Error -32: Unable to load heightmap data!", shownBoxes());
    expectFlatGround();
}

TEST_F(TerrainTest, AMapTooLargeToHoldShowsError33AndLeavesFlatGround) {
    load(tgaHeader(65535, 1, 255, 3));  // rows of two million bytes, squared
    EXPECT_EQ("Error -33: Unable to allocate memory!", shownBoxes());
    expectFlatGround();
}
