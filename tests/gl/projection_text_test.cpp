#include <gtest/gtest.h>

#include <cmath>

#include "app/config.h"
#include "app/font.h"
#include "app/frame_timer.h"
#include "app/opengl.h"
#include "app/projection.h"
#include "gl_context.h"
#include "gl_env.h"
#include "terrain/camera.h"

namespace {

bool isIdentity(GLenum which) {
    float m[16];
    glGetFloatv(which, m);
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    return true;
}

void clearBlack() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Columns in a band of rows where any pixel is lit.
std::pair<int, int> litColumns(GlContext& c, int top, int bottom) {
    int first = -1, last = -1;
    for (int x = 0; x < c.width(); ++x)
        for (int y = top; y <= bottom; ++y) {
            const Rgb p = c.pixel(x, y);
            if (p.r + p.g + p.b > 200) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    return {first, last};
}

}  // namespace

class ProjectionTest : public GlTest {};

TEST_F(ProjectionTest, OrthoModeIsPixelSpaceFromTheTopLeft) {
    clearBlack();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(100, 100, 0);
    orthoMode();
    EXPECT_TRUE(isIdentity(GL_MODELVIEW_MATRIX));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glVertex2f(10, 20);
    glVertex2f(30, 20);
    glVertex2f(30, 40);
    glVertex2f(10, 40);
    glEnd();
    context->capture();
    EXPECT_EQ(255, context->pixel(15, 25).r);
    EXPECT_EQ(255, context->pixel(29, 39).g);
    EXPECT_EQ(0, context->pixel(15, 45).r);
    EXPECT_EQ(0, context->pixel(5, 25).r);
    EXPECT_EQ(0, context->pixel(15, 15).r);
}

TEST_F(ProjectionTest, PerspectiveModeFollowsTheCameraFieldOfView) {
    for (float fov : {55.0f, 20.0f}) {
        Camera.fieldOfView = fov;
        glTranslatef(1, 2, 3);
        perspectiveMode();
        EXPECT_TRUE(isIdentity(GL_MODELVIEW_MATRIX));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        float p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        const double f = 1 / std::tan(fov / 2 * 3.14159265358979 / 180);
        EXPECT_NEAR(f, p[5], 1e-4);
        EXPECT_NEAR(f / (1024.0 / 768.0), p[0], 1e-4);
        EXPECT_NEAR(-(100 + 0.1) / (100 - 0.1), p[10], 1e-5);
        EXPECT_NEAR(-2 * 100 * 0.1 / (100 - 0.1), p[14], 1e-5);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(1024, viewport[2]);
        EXPECT_EQ(768, viewport[3]);
    }
    Camera.fieldOfView = 55;
}

TEST_F(ProjectionTest, CentredTextStartsHalfItsWidthLeftOfX) {
    clearBlack();
    glColor3f(1, 1, 1);
    font.print(100, 50, 1, "%s", "XX");
    EXPECT_TRUE(isIdentity(GL_MODELVIEW_MATRIX));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    context->capture();
    const auto [first, last] = litColumns(*context, 30, 52);
    EXPECT_GE(first, 92);
    EXPECT_LE(first, 94);
    EXPECT_GT(last, 100);
    // Nothing below the baseline.
    EXPECT_EQ(-1, litColumns(*context, 52, 70).first);

    clearBlack();
    font.print(100, 50, 0, "%d", 42);
    context->capture();
    EXPECT_GE(litColumns(*context, 30, 52).first, 100);
}

TEST_F(ProjectionTest, CounterTextSitsInTheBottomLeftCorner) {
    clearBlack();
    config.frameratecounter = 1;
    FrameTimer t;
    t.smoothedFps = 60;
    t.drawCounter();
    context->capture();
    const auto [first, last] = litColumns(*context, 740, 763);
    EXPECT_GE(first, 4);
    EXPECT_LE(first, 6);
    EXPECT_LT(last, 30);
    EXPECT_EQ(-1, litColumns(*context, 764, 767).first);
    EXPECT_EQ(-1, litColumns(*context, 0, 730).first);
}

TEST_F(ProjectionTest, CounterBarCoversTheRateOverTheBarScale) {
    clearBlack();
    config.frameratecounter = 2;
    FrameTimer t;
    t.smoothedFps = 60;  // bar scale still 99
    t.drawCounter();
    context->capture();
    const int end = static_cast<int>(1024.0 / 99 * 60);  // 620
    const Rgb left = context->pixel(1, 760);
    EXPECT_GT(left.r, 245);
    EXPECT_LT(left.g, 10);
    const Rgb right = context->pixel(end - 1, 751);
    EXPECT_NEAR(255.0 * 39 / 99, right.r, 4);
    EXPECT_NEAR(255.0 * 60 / 99, right.g, 4);
    EXPECT_EQ(0, context->pixel(end + 2, 760).r);
    EXPECT_EQ(0, context->pixel(300, 747).r);  // 19 pixels high
    EXPECT_GT(context->pixel(300, 750).r, 0);
    config.frameratecounter = 1;
}
