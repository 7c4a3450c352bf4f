// Display lists as the game uses them: a bitmap font's glyphs, one list
// each, called at the raster position. A glyph is drawn as glBitmap draws
// it: its lower left corner at the raster position less its origin,
// rounded down, in the raster colour, where its bitmap is set; the raster
// position then moves by its advance. glPushAttrib keeps GL_LIST_BIT's
// list base (the only group the game pushes).
#include <cmath>
#include <vector>

#include "platform/gl11/gl11.h"
#include "platform/gl11/state.h"

namespace gl11 {

namespace {

constexpr int kMaxGlyphs = 256;

struct Font {
    GLuint first = 0;
    int count = 0;
    Glyph glyphs[kMaxGlyphs];
    GLuint texture = 0;
    float width = 1, height = 1;
} font;

// The glyphs' quads in window coordinates, drawn with the state a bitmap
// is drawn with; the game's state is put back after.
void drawGlyphs(const uint8_t* names, GLsizei n) {
    flushIfGathered();
    const Unit units[2] = {gl.units[0], gl.units[1]};
    const bool fog = gl.fog, lighting = gl.lighting, alphaTest = gl.alphaTest;
    const GLenum alphaFunc = gl.alphaFunc;
    const float alphaRef = gl.alphaRef;
    const Matrix modelView = gl.stacks[0].current(), projection = gl.stacks[1].current();
    float color[4], tex[2];
    for (int c = 0; c < 4; ++c) color[c] = gl.color[c];
    tex[0] = gl.tex[0][0], tex[1] = gl.tex[0][1];

    gl.units[0] = Unit{true, font.texture, {false, false}, {false, false}};
    gl.units[1].enabled = false;
    gl.fog = gl.lighting = false;
    gl.alphaTest = true, gl.alphaFunc = GL_GREATER, gl.alphaRef = 0;
    gl.stacks[0].current() = identity();
    Matrix& p = gl.stacks[1].current();
    p = identity();
    const float* v = nullptr;
    const float left = static_cast<float>(gl.viewport[0]), bottom = static_cast<float>(gl.viewport[1]);
    const float w = static_cast<float>(gl.viewport[2]), h = static_cast<float>(gl.viewport[3]);
    p.m[0] = 2 / w, p.m[5] = 2 / h, p.m[12] = -1 - 2 * left / w, p.m[13] = -1 - 2 * bottom / h;
    matrixChanged(0), matrixChanged(1);
    selectUnit(0);
    es.BindTexture(GL_TEXTURE_2D, font.texture);
    glColor4f(gl.rasterColor[0], gl.rasterColor[1], gl.rasterColor[2], gl.rasterColor[3]);

    glBegin(GL_QUADS);
    for (GLsizei i = 0; i < n; ++i) {
        const GLuint list = gl.listBase + names[i];
        if (list < font.first || list >= font.first + static_cast<GLuint>(font.count)) continue;
        const Glyph& g = font.glyphs[list - font.first];
        // A raster position a float's rounding short of a whole pixel (as an
        // orthographic projection of whole coordinates gives) counts as on it.
        constexpr float kNudge = 1e-4f;
        const float x0 = std::floor(gl.raster[0] + kNudge - g.xorig), y0 = std::floor(gl.raster[1] + kNudge - g.yorig);
        const float x1 = x0 + static_cast<float>(g.width), y1 = y0 + static_cast<float>(g.height);
        const float s0 = static_cast<float>(g.x) / font.width, s1 = static_cast<float>(g.x + g.width) / font.width;
        const float top = static_cast<float>(g.y) / font.height;
        const float base = static_cast<float>(g.y + g.height) / font.height;
        const float corners[4][4] = {{x0, y0, s0, base}, {x1, y0, s1, base}, {x1, y1, s1, top}, {x0, y1, s0, top}};
        for (v = corners[0]; v != corners[0] + 16; v += 4) {
            glTexCoord2f(v[2], v[3]);
            glVertex2f(v[0], v[1]);
        }
        gl.raster[0] += g.advance;
    }
    glEnd();
    flushBatch();

    gl.units[0] = units[0], gl.units[1] = units[1];
    gl.fog = fog, gl.lighting = lighting, gl.alphaTest = alphaTest;
    gl.alphaFunc = alphaFunc, gl.alphaRef = alphaRef;
    gl.stacks[0].current() = modelView, gl.stacks[1].current() = projection;
    matrixChanged(0), matrixChanged(1);
    glColor4f(color[0], color[1], color[2], color[3]);
    gl.tex[0][0] = tex[0], gl.tex[0][1] = tex[1];
    es.BindTexture(GL_TEXTURE_2D, gl.units[0].bound);
}

}  // namespace

void defineGlyphs(unsigned first, int count, const Glyph* glyphs, const uint8_t* atlas, int width, int height) {
    if (count > kMaxGlyphs || !es.live) return;
    font.first = first;
    font.count = count;
    for (int i = 0; i < count; ++i) font.glyphs[i] = glyphs[i];
    font.width = static_cast<float>(width), font.height = static_cast<float>(height);
    // White, its alpha the bitmap: modulated by the raster colour, cut by the alpha test.
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 2, 255);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) pixels[2 * i + 1] = atlas[i] >= 128 ? 255 : 0;
    if (!font.texture) es.GenTextures(1, &font.texture);
    if (font.texture < kMaxTextures) gl.hasImage[font.texture] = true;
    selectUnit(gl.unit);
    es.BindTexture(GL_TEXTURE_2D, font.texture);
    es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, 0x812F);  // GL_CLAMP_TO_EDGE
    es.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, 0x812F);
    es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    es.TexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, width, height, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE,
                  pixels.data());
    es.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    es.BindTexture(GL_TEXTURE_2D, gl.units[gl.unit].bound);
}

}  // namespace gl11

using namespace gl11;

extern "C" {

GLuint glGenLists(GLsizei range) {
    const GLuint first = gl.nextList;
    gl.nextList += static_cast<GLuint>(range);
    return first;
}

void glDeleteLists(GLuint list, GLsizei) {
    if (list == font.first) font.count = 0;
}

void glListBase(GLuint base) { gl.listBase = base; }

void glPushAttrib(GLbitfield) {
    if (gl.listStackTop < kStackDepth) gl.listStack[gl.listStackTop++] = gl.listBase;
}

void glPopAttrib() {
    if (gl.listStackTop > 0) gl.listBase = gl.listStack[--gl.listStackTop];
}

void glRasterPos2i(GLint x, GLint y) {
    const float object[4] = {static_cast<float>(x), static_cast<float>(y), 0, 1};
    float eye[4], clip[4];
    transform(gl.stacks[0].current(), object, eye);
    transform(gl.stacks[1].current(), eye, clip);
    const float w = clip[3];
    gl.rasterValid = w > 0 && std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
    if (!gl.rasterValid) return;
    // The viewport's scale and offset, as window coordinates are made of a vertex's.
    for (int i = 0; i < 2; ++i) {
        const float half = static_cast<float>(gl.viewport[2 + i]) / 2;
        gl.raster[i] = clip[i] / w * half + (static_cast<float>(gl.viewport[i]) + half);
    }
    for (int c = 0; c < 4; ++c) gl.rasterColor[c] = gl.color[c];
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    if (type != GL_UNSIGNED_BYTE || !gl.rasterValid || !font.count || !es.live) return;
    drawGlyphs(static_cast<const uint8_t*>(lists), n);
}

}  // extern "C"
