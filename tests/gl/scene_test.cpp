#include "app/frame_timer.h"
#include "app/input.h"
#include "app/vale.h"
#include "balls/balls.h"
#include "gl_env.h"
#include "pixels/kinds.h"
#include "player/player.h"
#include "terrain/camera.h"
#include "terrain/scene.h"

namespace {

// Over a stretch of the captured frame: the sum of f(pixel).
template <typename F>
double sum(int left, int top, int width, int height, F f) {
    double total = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) total += f(pixel(x, y));
    return total;
}
// How far the stretch is from the fog colour, the mean over its pixels.
double meanOffFog(int left, int top, int width, int height) {
    return sum(left, top, width, height, [](Rgb p) { return offFog(p.r, p.g, p.b); }) / (width * height);
}
long count(const char* name, int left, int top, int width, int height) {
    return static_cast<long>(sum(left, top, width, height, [is = kindNamed(name)](Rgb p) { return is(p.r, p.g, p.b); }));
}

// A square texture's texels, and the zone a land-map texel marks: sand (0)
// pale and warm, meadow (1) green, rock (2) a warm grey.
Bytes texels(uint32_t name, int side, GLenum format, int channels) {
    Bytes b(static_cast<size_t>(side) * side * channels);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, b.data());
    return b;
}
int zone(const uint8_t* p) { return p[1] > p[0] ? 1 : p[0] > p[2] + 50 ? 0 : 2; }

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
    // Frames at a steady rate, 100 a second unless told.
    void frames(int n, int rate = 100) {
        for (int i = 0; i < n; ++i) {
            testplatform::counter += 1000000 / rate;
            testplatform::ticks += 1000 / rate;
            drawFrame();
        }
    }
    // The player stands at (x, z) looking along heading and pitch, still,
    // the balls far behind.
    void standAt(float x, float z, float heading, float pitch) {
        keyboard = Keyboard{};
        player.resetMotion();
        player.weaponFire.recoilState = 0, player.weaponFire.recoil = 0;
        player.x = x, player.z = z, player.y = terrain.heightAt(x, z);
        player.heading = heading, player.pitch = pitch;
        for (Ball& b : ballSet.balls) b = Ball{true, x, 0, z + 40, 0, 0, 0, 0};
    }
};

}  // namespace

TEST_F(SceneTest, FarFromTheStartTheGroundIsUnderfootAndFogHidesItsDistance) {
    loadHeightMap(terrain, heightMapFile(128, [](int, int) { return 100; }));  // flat: distance by row
    standAt(14, 12, 0, 0);
    keyboard.keys[0x57] = true;  // a walk further out, towards -z
    frames(30);
    keyboard.keys[0x57] = false;
    frames(2);
    capture();
    // Eyes 0.25 over flat ground: a row p pixels under the horizon shows the
    // ground 0.25 * 384 / tan(27.5 degrees) / p = 184 / p units ahead.
    const auto ground = [](double distance) { return meanOffFog(0, 384 + static_cast<int>(184 / distance), 500, 3); };
    const double near = ground(1), middle = ground(3.5), far = ground(5.5);
    EXPECT_GT(near, 60) << "no ground under the viewer";
    EXPECT_LT(meanOffFog(0, 0, kWidth, 370), 1) << "the sky is not the fog's colour";
    EXPECT_GT(middle / near, 0.05) << "the ground ends before 3.5 units";
    EXPECT_LT(middle / near, 0.4) << "the fog is too thin at 3.5 units";
    EXPECT_LT(far / near, 0.04) << "the fog does not hide the ground at 5.5 units";

    // The ground takes the land map's colour of where the viewer stands:
    // greener on meadow than on sand. Texel (u, v) of the map lies at
    // ((u + 0.5) / 256 * 50 - 25, (v + 0.5) / 256 * 50 - 25).
    const Bytes landmap = texels(landmapTexture, 256, GL_RGB, 3);
    const auto zoneAround = [&](int wanted, int radius) {  // the first texel with that zone all around
        for (int v = radius; v < 256 - radius; ++v)
            for (int u = radius; u < 256 - radius; ++u) {
                bool all = true;
                for (int j = -radius; all && j <= radius; ++j)
                    for (int i = -radius; all && i <= radius; ++i) all = zone(&landmap[((v + j) * 256 + u + i) * 3]) == wanted;
                if (all) return std::pair{(u + 0.5f) / 256 * 50 - 25, (v + 0.5f) / 256 * 50 - 25};
            }
        return std::pair{0.0f, 0.0f};
    };
    double greener[2];
    for (int wanted : {0, 1}) {
        const auto [x, z] = zoneAround(wanted, 8);
        standAt(x, z, 0, -45);
        frames(2);
        capture();
        greener[wanted] = sum(0, 400, 480, 360, [](Rgb p) { return p.g - p.r; }) / (480 * 360);
    }
    EXPECT_GT(greener[1], greener[0] + 10) << "meadow " << greener[1] << ", sand " << greener[0];
    clearTerrain(terrain);
    terrain.load("data/Heightmaps/Landscape.tga", 50.0f, 0.01f, 128, 100.0f, 100.0f);
}

TEST_F(SceneTest, TheCounterShowsTheRateAndItsBarTheShareOfTheHighest) {
    config.frameratecounter = 2;
    frameTimer = FrameTimer{};
    frameTimer.start();
    standAt(0, 0, 0, 60);
    frames(60);  // a steady 100: the bar the whole width, turned green at its end
    capture();
    const auto bar = [](int x) { return pixel(x, kHeight - 8); };
    EXPECT_TRUE(bar(2).r > 200 && bar(2).g < 40) << "red at the left";
    EXPECT_TRUE(bar(kWidth - 3).g > 200 && bar(kWidth - 3).r < 40) << "green at the right";
    frames(200, 50);  // half the rate: half the width
    capture();
    const auto onBar = [&](int x) { return bar(x).b < 20 && bar(x).r + bar(x).g > 200; };
    EXPECT_TRUE(onBar(kWidth / 2 - 20) && !onBar(kWidth / 2 + 20));
    EXPECT_NEAR(0.5, bar(kWidth / 2 - 20).g / 255.0, 0.05) << "half way from red to green";
    EXPECT_GT(count("crosshair", 0, kHeight - 20, 40, 20), 10) << "no figures";
    config.frameratecounter = 0;
    frames(1);
    capture();
    EXPECT_EQ(0, count("crosshair", 0, kHeight - 20, 40, 20));
}
