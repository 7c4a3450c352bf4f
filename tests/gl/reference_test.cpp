// What a player sees, against reviewed pictures: a scripted run from the
// real start (the scene loaded as the program loads it, the clocks at 1/60 s
// a frame, set inputs) stops at a handful of states, and each frame must
// match its reference in tests/gl/references/ (PNG, read as the PPM the
// build makes of it) but for a few pixels. Each frame and its difference
// from the reference are left in build/gl-frames/; scripts/references.sh
// records the references anew from them.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/frame_timer.h"
#include "app/input.h"
#include "app/vale.h"
#include "balls/balls.h"
#include "gl_env.h"
#include "player/player.h"
#include "terrain/scene.h"
#include "terrain/terrain.h"

namespace {

// Small frames: big enough to show the weapon's skin, the marks (through
// the zoom) and the balls' stripes, small enough that the seven references
// stay a few hundred kB.
constexpr int kW = 200, kH = 150;
// A pixel differs where a channel differs by more than kChannel; a frame
// may have kPixels such (a few edge pixels of another rasteriser's
// rounding). Good runs, the sanitized build's too, differ by none; broken
// parts by more: the balls scattered 5 units off, seen through the fog,
// by 32 and 59 pixels in two frames; a ball's turn by 414.
constexpr int kChannel = 8, kPixels = 25;
// The frame-rate counter's corner (bottom left): its glyphs are bitmaps,
// with no edge for a rasteriser to round, so there no pixel may differ.
constexpr int kCounterW = 48, kCounterH = 20;

// Binary PPM, as ImageMagick and any viewer read it.
void writePpm(const std::string& path, const Frame& rgb) {
    std::ofstream(path, std::ios::binary) << "P6\n" << kW << ' ' << kH << "\n255\n"
                                          << std::string(rgb.begin(), rgb.end());
}

Frame readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, depth = 0;
    in >> magic >> w >> h >> depth;
    in.get();
    if (magic != "P6" || w != kW || h != kH || depth != 255) return {};
    return Frame((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());  // check() checks its size
}

struct ReferenceTest : GlTest {
    // Frames at 60 a second.
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            testplatform::counter += testplatform::frequency / 60;
            testplatform::ticks = static_cast<uint32_t>(testplatform::counter / 1000);
            drawFrame();
        }
    }
    // A shot: the button held for two frames (the frame reads it once).
    void fire() {
        mouse.leftButton = true;
        frames(2);
        mouse.leftButton = false;
    }
    // Frames each after mouse motion, as the window's messages give it.
    void move(int dx, int dy, int n = 1) {
        for (int i = 0; i < n; ++i) {
            mouse.x = kW / 2 + dx;
            mouse.y = kH / 2 + dy;
            frames(1);
        }
    }
    // The frame against its reference.
    void check(const std::string& name) {
        const Frame seen = capture(kW, kH);
        const std::string reference = std::string(VALE_REFERENCES) + "/" + name + ".ppm";
        std::filesystem::create_directories(VALE_FRAMES);
        writePpm(std::string(VALE_FRAMES) + "/" + name + ".ppm", seen);
        const Frame expected = readPpm(reference);
        ASSERT_EQ(seen.size(), expected.size()) << "no reference " << reference;
        Frame difference(seen.size());
        int differ = 0, counterDiffers = 0;
        for (size_t i = 0; i < seen.size(); i += 3) {
            int most = 0;
            for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(seen[i + c] - expected[i + c]));
            differ += most > kChannel;
            const size_t pixel = i / 3;
            counterDiffers += most > kChannel && pixel % kW < kCounterW && pixel / kW >= kH - kCounterH;
            std::fill_n(&difference[i], 3, static_cast<uint8_t>(std::min(255, most * 4)));
        }
        writePpm(std::string(VALE_FRAMES) + "/" + name + "-difference.ppm", difference);
        EXPECT_LE(differ, kPixels) << name << ": " << differ << " pixels unlike the reference, see " << VALE_FRAMES;
        EXPECT_EQ(counterDiffers, 0) << name << ": the frame-rate counter's digits unlike the reference";
    }
};

}  // namespace

TEST_F(ReferenceTest, TheScriptedRunLooksAsReviewed) {
    // The start as the program makes it: the balls scattered by the C
    // library's first numbers, the player at the origin, a new frame timer.
    std::filesystem::current_path(VALE_DATA_PARENT);
    releaseScene();
    clearTerrain(terrain);
    std::srand(1);
    config.resolution_width = kW;
    config.resolution_height = kH;
    keyboard = Keyboard{};
    mouse = Mouse{};
    frameTimer = FrameTimer{};
    testplatform::frequency = 1000000;
    testplatform::counter = 1000;
    initGl();
    ASSERT_EQ("", shownBoxes());
    frameTimer.start();
    frames(100);  // the balls have fallen where they were scattered
    check("start");

    // Walking forward and turning right, the weapon swaying.
    keyboard.keys['W'] = true;
    move(6, 0, 45);
    keyboard.keys['W'] = false;
    frames(2);
    check("walked");

    // Looking down and firing: the weapon mid-recoil.
    move(0, 400);
    fire();
    frames(3);
    check("recoil");

    // Straight down through the zoom, firing twice with a turn between: the
    // marks on the ground, the first beside the crosshair.
    mouse.rightButton = true;
    move(0, 1000);
    frames(29);
    for (int shot = 0; shot < 2; ++shot) {
        fire();
        frames(30);
        move(150, 0);
    }
    check("marks");
    mouse.rightButton = false;

    // A ball up close under the crosshair, heading 60 degrees, shot: popped and turned.
    frames(60);
    player.heading = 0;
    player.pitch = -10;
    for (Ball& b : ballSet.balls) b.x = player.x, b.z = player.z + 40;
    Ball& ball = ballSet.balls[0];
    ball = Ball{true, player.x, terrain.heightAt(player.x, player.z - 1.2f) + 0.2f, player.z - 1.2f, 60, 0, 0, 0};
    frames(2);
    fire();
    frames(20);
    check("ball");

    // Looking up past the light and turning round: the lit weapon against the sky.
    move(20, -60, 30);
    check("up");

    // Far from the start, the counter with its bar: the ground underfoot, and
    // the bar the width of the rate's share of the highest.
    config.frameratecounter = 2;
    player.x = 40, player.z = -40, player.y = terrain.heightAt(40, -40);
    player.heading = 45, player.pitch = -20;
    frames(3);
    check("far");
    releaseScene();  // as the program ends; a later test loads its own
    clearTerrain(terrain);
}
