#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/config.h"
#include "app/gl_window.h"
#include "app/input.h"
#include "app/opengl.h"
#include "app/frame_timer.h"
#include "app/vale.h"
#include "balls/balls.h"
#include "gl_env.h"
#include "player/player.h"
#include "terrain/camera.h"
#include "terrain/scene.h"
#include "terrain/terrain.h"

namespace {

bool near(const Rgb& p, int r, int g, int b, int tolerance = 3) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}

// The scene loaded from the generated data/, once for all tests here.
class SceneTest : public GlTest {
protected:
    static bool loaded;
    void SetUp() override {
        GlTest::SetUp();
        if (!loaded) {
            ASSERT_EQ(0, chdir(VALE_DATA_PARENT));
            initGl();
            loaded = true;
            ASSERT_TRUE(testplatform::boxes.empty())
                << testplatform::boxes[0].caption << ": " << testplatform::boxes[0].text;
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
bool SceneTest::loaded = false;

}  // namespace

TEST_F(SceneTest, LoadsEveryPieceOfTheGeneratedData) {
    EXPECT_EQ(128u, terrain.mapSize);
    EXPECT_NE(0u, landscapeTexture);
    EXPECT_NE(0u, landmapTexture);
    EXPECT_NE(0u, crosshairTexture);
    EXPECT_NE(0u, ballTexture);
    EXPECT_NE(0u, player.weaponTexture);
    EXPECT_EQ(198, player.weaponModel.model.objectCount);
    EXPECT_GT(ballSet.ballModel.model.objectCount, 0);
    EXPECT_GT(ballSet.shotModel.model.objectCount, 0);
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(0.5f, clear[0]);
    EXPECT_FLOAT_EQ(0.525f, clear[2]);
}

TEST_F(SceneTest, FrameShowsFogSkyLitGroundAndTheCrosshair) {
    frames(4);
    EXPECT_NEAR(0.0f, Camera.pitch, 3.0f);  // the start-up recoil tilts it a little
    context->capture();
    // The sky is the fog colour, (0.5, 0.5, 0.525).
    EXPECT_TRUE(near(context->pixel(20, 20), 128, 128, 134)) << context->pixel(20, 20).r;
    EXPECT_TRUE(near(context->pixel(1000, 100), 128, 128, 134));
    // Near ground at the bottom left: lit and textured, not fog.
    const Rgb ground = context->pixel(60, 740);
    EXPECT_FALSE(near(ground, 128, 128, 134, 12));
    EXPECT_GT(ground.g, ground.b);
    // The crosshair's vertical bar above the centre is added onto the frame.
    const Rgb bar = context->pixel(512, 384 - 10);
    EXPECT_GT(bar.r + bar.g + bar.b, 3 * 200);
    // Its transparent texels keep the frame behind.
    EXPECT_TRUE(near(context->pixel(512 - 25, 384 - 25), 128, 128, 134, 4));
}

TEST_F(SceneTest, FrameLeavesTheStateOfTheFixedOrder) {
    frames(2);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    GLint unit = 0;
    glGetIntegerv(0x84E0 /* GL_ACTIVE_TEXTURE */, &unit);
    EXPECT_EQ(static_cast<GLint>(kGlTexture0Arb), unit);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glWindow.glActiveTextureARB(kGlTexture1Arb);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));  // switched on by the crosshair step
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(0, bound);
    glWindow.glActiveTextureARB(kGlTexture0Arb);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(1.0f, m[0]);
    EXPECT_EQ(0.0f, m[12]);
}

TEST_F(SceneTest, BallsFallOntoTheGroundAndRollDownIntoTheHollows) {
    // On the generated landscape: the balls land, never sink into the
    // ground, and after a while lie lower than where they landed.
    auto groundUnderBalls = [] {
        float sum = 0;
        for (const Ball& ball : ballSet.balls) sum += terrain.heightAt(ball.x, ball.z);
        return sum / BallSet::kBalls;
    };
    frames(300);  // three seconds at 100 per second
    const float landed = groundUnderBalls();
    for (int second = 0; second < 20; ++second) {
        for (int i = 0; i < 100; ++i) ballSet.update();  // the frame rate stays at 100
        for (const Ball& ball : ballSet.balls) {
            EXPECT_GE(ball.y, terrain.heightAt(ball.x, ball.z) - 0.01f);
            EXPECT_TRUE(ball.intact);
        }
    }
    EXPECT_LT(groundUnderBalls(), landed - 0.1f);
}

TEST_F(SceneTest, WithoutMultitextureTheSceneLoadsAndTheRunEndsBeforeAFrame) {
    const auto realLookup = testplatform::procAddress;
    const ActiveTextureArbFn active = glWindow.glActiveTextureARB;
    const MultiTexCoord2fArbFn multi = glWindow.glMultiTexCoord2fARB;
    testplatform::procAddress = [realLookup](const char* name) -> void* {
        return std::string(name) == "glMultiTexCoord2fARB" ? nullptr : realLookup(name);
    };
    std::remove("data/fps.txt");
    testplatform::clockMs = 0;
    // The test platform's queue holds only the quit request.
    EXPECT_EQ(0, valeMain());
    ASSERT_FALSE(testplatform::boxes.empty());
    EXPECT_EQ("Error -34", testplatform::boxes[0].caption);
    EXPECT_EQ("Current version of OpenGL does not support multitexturing!", testplatform::boxes[0].text);
    EXPECT_EQ(0u, testplatform::boxes[0].style);
    EXPECT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ(1, testplatform::quitPosted);
    EXPECT_EQ(198, player.weaponModel.model.objectCount);  // the scene was still loaded
    EXPECT_EQ(0u, frameTimer.frameCount);                   // restarted, and no frame drawn
    EXPECT_EQ(nullptr, std::fopen("data/fps.txt", "r"));
    testplatform::procAddress = realLookup;
    glWindow.glActiveTextureARB = active;
    glWindow.glMultiTexCoord2fARB = multi;
}
