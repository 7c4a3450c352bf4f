// The generated landscape, read back through the program's own readers.
#include <gtest/gtest.h>

#include <algorithm>

#include "support.h"
#include "textures/textures.h"

namespace {

struct Landscape : testing::Test {
    Terrain t{};
    Image landmap;
    void SetUp() override {
        const std::string data = VALE_DATA_PARENT "/data/";
        t.load((data + "Heightmaps/Landscape.tga").c_str(), 50.0f, 0.01f, 128, 100.0f, 100.0f);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readWholeFile((data + "Textures/Landmap.tga").c_str(), bytes));
        ASSERT_TRUE(decodeTga(bytes.data(), bytes.size(), landmap));
        ASSERT_EQ(128u, t.mapSize);
    }
    void TearDown() override { std::free(t.heights); }
    int h(int i, int j) const { return static_cast<int>(t.sample(static_cast<float>(i), static_cast<float>(j))); }
    float slope(int i, int j) const {
        return std::hypot(h(i + 1, j) - h(i, j), h(i, j + 1) - h(i, j)) * t.heightScale / t.cellSize;
    }
};

}  // namespace

TEST_F(Landscape, UsesTheFullRangeAndTilesWithoutASeam) {
    int lo = 255, hi = 0;
    double inner = 0, seam = 0;  // steps from the last column or row to the first are the seam
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i) {
            lo = std::min(lo, h(i, j)), hi = std::max(hi, h(i, j));
            (i == 127 ? seam : inner) += std::abs(h(i + 1, j) - h(i, j)) + std::abs(h(j, i + 1) - h(j, i));
        }
    EXPECT_EQ(values(0, 255), values(lo, hi));
    EXPECT_LT(seam / 128, 1.5 * inner / (127 * 128));
}

TEST_F(Landscape, HasRealSlopesAndZonesThatFollowTheGround) {
    // Land-map texels, two a cell: sand (0) pale and warm, meadow (1) green,
    // rock (2) a warm grey.
    double height[3] = {}, steep[3] = {}, count[3] = {};
    std::vector<float> slopes;
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i) {
            const uint8_t* p = &landmap.pixels[(static_cast<size_t>(2 * j) * 256 + 2 * i) * 3];
            const int zone = p[1] > p[0] ? 1 : p[0] > p[2] + 50 ? 0 : 2;
            height[zone] += h(i, j), steep[zone] += slope(i, j), count[zone] += 1;
            slopes.push_back(slope(i, j));
        }
    std::sort(slopes.begin(), slopes.end());
    EXPECT_GT(slopes[slopes.size() / 2], 0.1f);
    EXPECT_GT(slopes[slopes.size() * 9 / 10], 0.4f);  // a real share of steep ground
    EXPECT_GT(*std::min_element(count, count + 3), 0.05 * 128 * 128);
    for (int z = 0; z < 3; ++z) height[z] /= count[z], steep[z] /= count[z];
    EXPECT_TRUE(height[0] < height[1] && steep[1] < steep[2] && steep[0] < steep[2])  // sand low, rock steep
        << "heights " << height[0] << " " << height[1] << " slopes " << steep[0] << " " << steep[1] << " " << steep[2];
}
