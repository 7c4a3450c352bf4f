// Texture objects, passed on to ES 2 under the same names, and the two
// units. gluBuild2DMipmaps makes its levels here, each a 2 x 2 box filter
// of the one before, as GLU's does (for sides that are powers of two).
#include <cstddef>
#include <vector>

#include "platform/gl11/state.h"

namespace gl11 {

namespace {

int components(GLenum format) {
    switch (format) {
        case GL_RGBA: return 4;
        case GL_RGB: return 3;
        case GL_LUMINANCE_ALPHA: return 2;
        default: return 1;
    }
}

// The name bound to the active unit has an image now.
void imageGiven() {
    const GLuint name = gl.units[gl.unit].bound;
    if (name && name < kMaxTextures) gl.hasImage[name] = true;
}

// ES 2 takes no internal format but the format itself.
void upload(GLint level, GLsizei width, GLsizei height, GLenum format, const void* pixels) {
    selectUnit(gl.unit);
    es.TexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                  pixels);
}

}  // namespace

}  // namespace gl11

using namespace gl11;

extern "C" {

void glActiveTextureARB(GLenum texture) {
    const unsigned unit = texture - kTexture0;
    if (unit < kUnits) gl.unit = static_cast<int>(unit);
}

void glGenTextures(GLsizei n, GLuint* textures) {
    if (es.live) es.GenTextures(n, textures);
    else
        for (GLsizei i = 0; i < n; ++i) textures[i] = 0;
}

void glDeleteTextures(GLsizei n, const GLuint* textures) {
    flushIfGathered();
    for (GLsizei i = 0; i < n; ++i) {
        if (textures[i] < kMaxTextures) gl.hasImage[textures[i]] = false;
        for (Unit& u : gl.units)
            if (u.bound == textures[i]) u.bound = 0;
    }
    if (es.live) es.DeleteTextures(n, textures);
}

void glBindTexture(GLenum target, GLuint texture) {
    Unit& unit = gl.units[gl.unit];
    if (target != GL_TEXTURE_2D || unit.bound == texture) return;
    flushIfGathered();
    unit.bound = texture;
    if (!es.live) return;
    selectUnit(gl.unit);
    es.BindTexture(GL_TEXTURE_2D, texture);
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    if (!es.live) return;
    selectUnit(gl.unit);
    es.TexParameteri(target, pname, param);
}

void glPixelStorei(GLenum pname, GLint param) {
    if (es.live) es.PixelStorei(pname, param);
}

void glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint, GLenum format, GLenum type,
                  const GLvoid* pixels) {
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE) return;
    flushIfGathered();
    if (level == 0) imageGiven();
    if (es.live) upload(level, width, height, format, pixels);
}

GLint gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data) {
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE || width < 1 || height < 1) return GLU_INVALID_VALUE;
    flushIfGathered();
    imageGiven();
    if (!es.live) return 0;
    // The rows as the unpack alignment the game sets (1) gives them.
    const int k = components(format);
    std::vector<uint8_t> level(static_cast<const uint8_t*>(data),
                               static_cast<const uint8_t*>(data) + static_cast<size_t>(width) * height * k);
    std::vector<uint8_t> next;
    GLint at = 0;
    GLsizei w = width, h = height;
    es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (;;) {
        upload(at, w, h, format, level.data());
        if (w == 1 && h == 1) break;
        const GLsizei nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
        const int dx = w > 1 ? k : 0, dy = h > 1 ? w * k : 0;  // a side of 1 is averaged with itself
        next.assign(static_cast<size_t>(nw) * nh * k, 0);
        for (GLsizei y = 0; y < nh; ++y)
            for (GLsizei x = 0; x < nw; ++x)
                for (int c = 0; c < k; ++c) {
                    const uint8_t* p = &level[(static_cast<size_t>(y) * (h > 1 ? 2 : 1) * w + x * (w > 1 ? 2 : 1)) * k + c];
                    next[(static_cast<size_t>(y) * nw + x) * k + c] =
                        static_cast<uint8_t>((p[0] + p[dx] + p[dy] + p[dx + dy] + 2) / 4);
                }
        level.swap(next);
        w = nw, h = nh, ++at;
    }
    return 0;
}

}  // extern "C"
