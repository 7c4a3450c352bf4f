// One real OpenGL context for the drawing tests: a GLX window of the
// configured 1024 x 768, read back after drawing.
#pragma once

#include <array>

#include "app/config.h"
#include "platform/platform.h"
#include "support.h"

constexpr int kWidth = 1024, kHeight = 768;

using Frame = std::vector<uint8_t>;  // RGB, rows from the top

// The back buffer's lower left width x height pixels, once drawing is done.
Frame capture(int width = kWidth, int height = kHeight);

// A grey square TGA picture, 24-bit.
inline Bytes greyTga(int side) {
    Bytes file = tgaHeader(side, side, 24);
    file.resize(file.size() + static_cast<size_t>(side) * side * 3, 128);
    return file;
}

// Each test starts from the default configuration on texture unit 0 with
// an identity model-view matrix.
struct GlTest : testing::Test {
    void SetUp() override {
        testplatform::reset();
        config = Config{};
        glWindow.glActiveTextureARB(kGlTexture0Arb);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

// The polygons that draw() sends, in window coordinates, under an orthographic projection
// so wide that nothing is clipped, from feedback mode.
using Polygon = std::vector<std::array<float, 3>>;
template <typename Draw>
std::vector<Polygon> feedback(Draw draw) {
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
    std::vector<Polygon> polygons;  // each: its token, its vertex count, then x, y, z a vertex
    for (GLint i = 0; i < size && static_cast<int>(buffer[i]) == GL_POLYGON_TOKEN; i += 2)
        for (int k = 0, n = static_cast<int>(buffer[i + 1]); k < n; ++k, i += 3)
            (k ? polygons.back() : polygons.emplace_back()).push_back({buffer[i + 2], buffer[i + 3], buffer[i + 4]});
    return polygons;
}
