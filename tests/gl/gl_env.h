// One real OpenGL context for the drawing tests: a GLX window of the
// configured 1024 x 768, read back after drawing.
#pragma once

#include <algorithm>
#include <array>

#include "app/config.h"
#include "platform/platform.h"
#include "support.h"

constexpr int kWidth = 1024, kHeight = 768;

struct Rgb {
    int r, g, b;
};

// Reads the whole back buffer; pixel() then reads from it, y from the top.
void capture();
Rgb pixel(int x, int y);

// The current value of a piece of state (colour, normal, texture coordinates).
std::array<float, 4> current(GLenum what);

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

// The first and last column and row of the pixels in a box, its corners
// included, that pass a test; all -1 if none does.
template <typename Lit>
std::array<int, 4> extent(int left, int top, int right, int bottom, Lit lit) {
    std::array<int, 4> box = {-1, -1, -1, -1};
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (lit(x, y))
                box = {box[0] < 0 ? x : std::min(box[0], x), box[1] < 0 ? y : box[1], std::max(box[2], x), y};
    return box;
}

// The polygons that draw() sends, in window coordinates, under an orthographic projection
// of the given extent (by default so wide that nothing is clipped), from feedback mode.
using Polygon = std::vector<std::array<float, 3>>;
template <typename Draw>
std::vector<Polygon> feedback(Draw draw, double extent = 1e6) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-extent, extent, -extent, extent, -extent, extent);
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
