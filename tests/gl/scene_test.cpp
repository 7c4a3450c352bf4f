#include <algorithm>
#include <numeric>

#include "app/vale.h"
#include "balls/balls.h"
#include "gl_env.h"
#include "player/player.h"
#include "terrain/camera.h"
#include "terrain/scene.h"

namespace {

bool near(const Rgb& p, int r, int g, int b, int tolerance = 3) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}

// The scene loaded from the generated data/, once for all tests here.
struct SceneTest : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        static bool loaded = false;
        if (!loaded) {
            std::filesystem::current_path(VALE_DATA_PARENT);
            initGl();
            loaded = true;
            ASSERT_EQ("", shownBoxes());
        }
        testplatform::frequency = 1000000;
        testplatform::counter = 1000;
    }
    // Frames at a steady 100 per second.
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            testplatform::counter += 10000;
            testplatform::ticks += 10;
            drawFrame();
        }
    }
};

}  // namespace

TEST_F(SceneTest, FrameShowsFogSkyLitGroundAndTheCrosshairAndEndsInTheFixedState) {
    frames(4);
    capture();
    // The sky is the fog colour, (0.5, 0.5, 0.525), also through the
    // crosshair's transparent texels; the near ground is lit and textured.
    EXPECT_TRUE(near(pixel(20, 20), 128, 128, 134) && near(pixel(1000, 100), 128, 128, 134));
    EXPECT_TRUE(near(pixel(512 - 25, 384 - 25), 128, 128, 134, 4));
    const Rgb ground = pixel(60, 740), bar = pixel(512, 384 - 10);
    EXPECT_TRUE(!near(ground, 128, 128, 134, 12) && ground.g > ground.b);
    EXPECT_GT(bar.r + bar.g + bar.b, 3 * 200);  // the crosshair added onto the frame

    GLint unit = 0, bound = -1;
    glGetIntegerv(0x84E0 /* GL_ACTIVE_TEXTURE */, &unit);
    EXPECT_EQ(values(false, false, false, true, kGlTexture0Arb, false),
              values(glIsEnabled(GL_LIGHTING), glIsEnabled(GL_FOG), glIsEnabled(GL_BLEND), glIsEnabled(GL_DEPTH_TEST),
                     unit, glIsEnabled(GL_TEXTURE_2D)));
    glWindow.glActiveTextureARB(kGlTexture1Arb);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(values(true, 0), values(glIsEnabled(GL_TEXTURE_2D), bound));  // switched on by the crosshair step
    // The ground's last vertex, on the land map's unit, is the far corner of
    // a window reaching 7 units (17 cells) past the viewer's cell.
    const auto st = current(GL_CURRENT_TEXTURE_COORDS);
    EXPECT_EQ(values((64 + static_cast<int>(Camera.x / terrain.cellSize) + 17) / 128.0f,
                     (64 + static_cast<int>(Camera.z / terrain.cellSize) + 17) / 128.0f),
              values(st[0], st[1]));
}

TEST_F(SceneTest, BallsFallOntoTheGroundAndRollDownIntoTheHollows) {
    const auto groundUnderBalls = [] {  // the sum over the balls
        return std::accumulate(ballSet.balls, ballSet.balls + BallSet::kBalls, 0.0f,
                               [](float sum, const Ball& b) { return sum + terrain.heightAt(b.x, b.z); });
    };
    frames(300);  // three seconds at 100 per second
    const float landed = groundUnderBalls();
    for (int step = 0; step < 2000; ++step) {
        ballSet.update();  // the frame rate stays at 100
        for (const Ball& ball : ballSet.balls) ASSERT_GE(ball.y, terrain.heightAt(ball.x, ball.z) - 0.01f);
    }
    EXPECT_LT(groundUnderBalls(), landed - 0.1f * BallSet::kBalls);
}

TEST_F(SceneTest, GeneratedLandscapeSpansTheRangeTilesSeamlesslyAndItsZonesFollowTheGround) {
    const auto h = [](int i, int j) {
        return static_cast<int>(terrain.sample(static_cast<float>(i), static_cast<float>(j)));
    };
    const auto slope = [&](int i, int j) {
        return std::hypot(h(i + 1, j) - h(i, j), h(i, j + 1) - h(i, j)) * terrain.heightScale / terrain.cellSize;
    };
    // Land-map texels, two a cell: sand (0) pale and warm, meadow (1) green, rock (2) a warm grey.
    Bytes landmap(256 * 256 * 3);
    glBindTexture(GL_TEXTURE_2D, landmapTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, landmap.data());
    int lo = 255, hi = 0;
    double inner = 0, seam = 0, height[3] = {}, steep[3] = {}, count[3] = {};
    std::vector<double> slopes;
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i) {
            lo = std::min(lo, h(i, j)), hi = std::max(hi, h(i, j));
            // Steps from the last column or row to the first are the seam.
            (i == 127 ? seam : inner) += std::abs(h(i + 1, j) - h(i, j)) + std::abs(h(j, i + 1) - h(j, i));
            const uint8_t* p = &landmap[(static_cast<size_t>(2 * j) * 256 + 2 * i) * 3];
            const int zone = p[1] > p[0] ? 1 : p[0] > p[2] + 50 ? 0 : 2;
            height[zone] += h(i, j), steep[zone] += slope(i, j), count[zone] += 1;
            slopes.push_back(slope(i, j));
        }
    EXPECT_EQ(values(0, 255), values(lo, hi));
    EXPECT_LT(seam / 128, 1.5 * inner / (127 * 128));
    std::sort(slopes.begin(), slopes.end());
    EXPECT_GT(slopes[slopes.size() / 2], 0.1);
    EXPECT_GT(slopes[slopes.size() * 9 / 10], 0.4);  // a real share of steep ground
    EXPECT_GT(*std::min_element(count, count + 3), 0.05 * 128 * 128);
    for (int z = 0; z < 3; ++z) height[z] /= count[z], steep[z] /= count[z];
    EXPECT_TRUE(height[0] < height[1] && steep[1] < steep[2] && steep[0] < steep[2])  // sand low, rock steep
        << "heights " << height[0] << " " << height[1] << " slopes " << steep[0] << " " << steep[1] << " " << steep[2];
}
