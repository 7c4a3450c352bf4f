// One real context for the whole OpenGL test program.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/opengl.h"

#include "app/config.h"
#include "gl_context.h"
#include "platform/testing/test_platform.h"

extern GlContext* context;

class GlTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, context);
        ASSERT_TRUE(context->ok());
        testplatform::reset();
        config = Config{};
    }
};

// Polygons that OpenGL's feedback mode reports for what draw() sends, with
// a projection so wide that nothing is clipped.
template <typename Draw>
int feedbackPolygons(Draw draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1e6, 1e6, -1e6, 1e6, -1e6, 1e6);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    draw();
    const GLint size = glRenderMode(GL_RENDER);
    int polygons = 0;
    for (GLint i = 0; i < size;) {
        if (static_cast<int>(buffer[i++]) != GL_POLYGON_TOKEN) break;
        const int vertices = static_cast<int>(buffer[i++]);
        i += 3 * vertices;
        ++polygons;
    }
    return polygons;
}
