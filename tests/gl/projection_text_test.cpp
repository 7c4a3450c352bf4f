
#include "app/font.h"
#include "app/projection.h"
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

// The first and last lit column and row in a box of the captured frame.
std::array<int, 4> litBox(int left, int top, int right, int bottom) {
    std::array<int, 4> box = {-1, -1, -1, -1};
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const Rgb p = pixel(x, y);
            if (p.r + p.g + p.b <= 200) continue;
            if (box[0] < 0 || x < box[0]) box[0] = x;
            if (box[1] < 0) box[1] = y;
            box[2] = std::max(box[2], x);
            box[3] = y;
        }
    return box;
}

}  // namespace

struct ProjectionTest : GlTest {
    static void SetUpTestSuite() { font.build("Courier", 8); }
};

TEST_F(ProjectionTest, OrthoIsPixelsFromTheTopLeftAndPerspectiveFollowsTheCamera) {
    clearBlack();
    glTranslatef(100, 100, 0);
    orthoMode();
    EXPECT_EQ(values(true, false), values(isIdentity(GL_MODELVIEW_MATRIX), glIsEnabled(GL_DEPTH_TEST)));
    glColor3f(1, 1, 1);
    glRectf(10, 20, 30, 40);
    capture();
    EXPECT_EQ((std::array<int, 4>{10, 20, 29, 39}), litBox(0, 0, 100, 100));
    for (float fov : {55.0f, 20.0f}) {
        Camera.fieldOfView = fov;
        glTranslatef(1, 2, 3);
        perspectiveMode();
        EXPECT_EQ(values(true, true), values(isIdentity(GL_MODELVIEW_MATRIX), glIsEnabled(GL_DEPTH_TEST)));
        float p[16];
        glGetFloatv(GL_PROJECTION_MATRIX, p);
        const double f = 1 / std::tan(fov / 2 * M_PI / 180);  // near 0.1, far 100
        EXPECT_THAT(values(p[5], p[0], p[10], p[14]),
                    within(1e-4, values(f, f * kHeight / kWidth, -100.1 / 99.9, -20 / 99.9)));
    }
    Camera.fieldOfView = 55;
}

TEST_F(ProjectionTest, TextStandsOnItsBaselineCentredOrFromX) {
    const struct {
        int centred;
        const char* text;
        int left, right;  // bounds of the first lit column
        bool flat;        // a bar: within three rows, at least four columns wide
    } cases[] = {
        {1, "XX", 92, 94, false}, {0, "XX", 100, 101, false}, {0, "-", 100, 102, true}, {0, "  ", -1, -1, false}};
    for (const auto& c : cases) {
        clearBlack();
        glColor3f(1, 1, 1);
        font.print(100, 50, c.centred, "%s", c.text);
        EXPECT_EQ(values(true, true), values(isIdentity(GL_MODELVIEW_MATRIX), glIsEnabled(GL_DEPTH_TEST)));
        capture();
        const auto box = litBox(60, 20, 160, 80);
        EXPECT_TRUE(box[0] >= c.left && box[0] <= c.right && box[3] <= 51) << c.text;  // nothing below the baseline
        EXPECT_TRUE(!c.flat || (box[3] - box[1] <= 2 && box[2] - box[0] >= 3)) << c.text;
    }
}
