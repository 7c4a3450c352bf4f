#include "app/projection.h"
#include "gl_env.h"
#include "terrain/camera.h"

namespace {

bool identity(GLenum which) {
    std::array<float, 16> m;
    glGetFloatv(which, m.data());
    return m == std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

}  // namespace

using ProjectionTest = GlTest;

TEST_F(ProjectionTest, OverlaysArePixelsFromTheTopLeftAndPerspectiveFollowsTheCamera) {
    // A white rectangle on black, the translation before orthoMode() undone: lit just where it lies, of the pixels
    // from 0 to 100 across and down.
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glTranslatef(100, 100, 0);
    glColor3f(1, 1, 1);
    orthoMode();
    glRectf(10, 20, 30, 40);
    const Frame frame = capture();
    int wrong = 0;
    for (int y = 0; y <= 100; ++y)
        for (int x = 0; x <= 100; ++x) {
            const uint8_t* p = &frame[(static_cast<size_t>(y) * kWidth + x) * 3];
            wrong += (p[0] + p[1] + p[2] > 200) != (x >= 10 && x < 30 && y >= 20 && y < 40);
        }
    EXPECT_EQ(0, wrong) << "pixels unlike the rectangle from (10, 20) to (30, 40)";
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
