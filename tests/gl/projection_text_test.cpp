#include "app/font.h"
#include "app/projection.h"
#include "gl_env.h"
#include "terrain/camera.h"

namespace {

bool identity(GLenum which) {
    float m[16];
    glGetFloatv(which, m);
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    return true;
}

// The first lit column and row, then the last, in a box of a frame drawn on black.
template <typename Draw>
std::array<int, 4> litBox(Draw draw, int left, int top, int right, int bottom) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    draw();
    capture();
    return extent(left, top, right, bottom, [](int x, int y) { return pixel(x, y).r + pixel(x, y).g + pixel(x, y).b > 200; });
}

}  // namespace

struct ProjectionTest : GlTest {
    static void SetUpTestSuite() { font.build("Courier", 8); }
};

TEST_F(ProjectionTest, OverlaysArePixelsFromTheTopLeftAndPerspectiveFollowsTheCamera) {
    glTranslatef(100, 100, 0);
    const auto box = litBox([] { orthoMode(), glRectf(10, 20, 30, 40); }, 0, 0, 100, 100);
    EXPECT_EQ((std::array<int, 4>{10, 20, 29, 39}), box);
    EXPECT_TRUE(identity(GL_MODELVIEW_MATRIX) && !glIsEnabled(GL_DEPTH_TEST));
    for (float fov : {55.0f, 20.0f}) {  // a point at the field's top edge, 99 units away, at the screen's top
        Camera.fieldOfView = fov;
        perspectiveMode();
        EXPECT_TRUE(identity(GL_MODELVIEW_MATRIX) && glIsEnabled(GL_DEPTH_TEST));
        double x, y, z, m[16], p[16];
        const GLint view[4] = {0, 0, kWidth, kHeight};
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        glGetDoublev(GL_PROJECTION_MATRIX, p);
        const double up = 99.9 * std::tan(fov / 2 * M_PI / 180);
        gluProject(up * kWidth / kHeight, up, -99.9, m, p, view, &x, &y, &z);
        EXPECT_NEAR(kWidth, x, 0.01) << fov;
        EXPECT_NEAR(kHeight, y, 0.01) << fov;
        EXPECT_NEAR(1, z, 1e-4) << fov << ": the far plane at 100";
    }
    Camera.fieldOfView = 55;
}
