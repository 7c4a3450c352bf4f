// glBegin/glEnd: each vertex takes the current colour, normal and texture
// coordinates into the batch, and the primitive's triangles are indexed as
// its vertices come (strips, fans, quads and polygons become triangles
// here), so a batch of any number of primitives is one indexed draw. Points
// and lines are not drawn: nothing in the game draws them.
#include <algorithm>
#include <cstring>

#include "platform/gl11/state.h"

namespace gl11 {

Vertex batchVertices[kMaxVertices];
uint16_t batchIndices[kMaxIndices];

namespace {

uint8_t toByte(float c) {
    c = std::min(1.0f, std::max(0.0f, c));
    return static_cast<uint8_t>(c * 255 + 0.5f);
}

void index(int a, int b, int c) {
    uint16_t* i = &batchIndices[gl.indexCount];
    i[0] = static_cast<uint16_t>(a);
    i[1] = static_cast<uint16_t>(b);
    i[2] = static_cast<uint16_t>(c);
    gl.indexCount += 3;
}

// The triangles the primitive's newest vertex v (its n-th, from 0) closes.
void indexNewest(int v, int n) {
    const int first = gl.primitiveStart;
    switch (gl.mode) {
        case GL_TRIANGLES:
            if (n % 3 == 2) index(v - 2, v - 1, v);
            break;
        case GL_TRIANGLE_STRIP:  // every other triangle turned, to keep its winding
            if (n >= 2) (n % 2) ? index(v - 1, v - 2, v) : index(v - 2, v - 1, v);
            break;
        case GL_TRIANGLE_FAN:
        case GL_POLYGON:
            if (n >= 2) index(first, v - 1, v);
            break;
        case GL_QUADS:
            if (n % 4 == 3) index(v - 3, v - 2, v - 1), index(v - 3, v - 1, v);
            break;
        case GL_QUAD_STRIP:
            if (n >= 3 && n % 2) index(v - 3, v - 2, v), index(v - 3, v, v - 1);
            break;
        default: break;
    }
}

// The vertex carried into eye space by the model-view, its normal by the
// model-view's normal matrix (worked out once for each model-view). A
// model-view that is not affine (none the game makes) has its w divided out.
void toEye(float x, float y, float z, Vertex& v) {
    const Matrix& mv = gl.stacks[0].current();
    const float* m = mv.m;
    if (gl.normalStale) {
        normalMatrix(mv, gl.normalMatrix);
        gl.affine = m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1;
        gl.normalStale = false;
    }
    float k = 1;
    if (!gl.affine) {
        const float w = m[3] * x + m[7] * y + m[11] * z + m[15];
        k = w != 0 ? 1 / w : 1;
    }
    for (int r = 0; r < 3; ++r) v.position[r] = (m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r]) * k;
    const float* n = gl.normalMatrix;
    for (int r = 0; r < 3; ++r) v.normal[r] = n[r] * gl.normal[0] + n[3 + r] * gl.normal[1] + n[6 + r] * gl.normal[2];
}

void addVertex(float x, float y, float z) {
    if (!gl.inBegin) return;
    if (gl.vertexCount == kMaxVertices || gl.indexCount + 6 > kMaxIndices) {
        flushBatch();
        if (gl.vertexCount == kMaxVertices) return;  // one primitive larger than a batch: the rest is dropped
    }
    Vertex& v = batchVertices[gl.vertexCount];
    toEye(x, y, z, v);
    std::memcpy(v.color, gl.colorBytes, sizeof v.color);
    std::memcpy(v.tex, gl.tex, sizeof v.tex);
    indexNewest(gl.vertexCount, gl.primitiveCount);
    ++gl.vertexCount;
    ++gl.primitiveCount;
}

}  // namespace

void flushBatch() {
    if (gl.indexCount) drawBatch();
    // An open primitive's vertices so far begin the next batch.
    const int open = gl.inBegin ? gl.vertexCount - gl.primitiveStart : 0;
    if (open && gl.primitiveStart) std::memmove(batchVertices, batchVertices + gl.primitiveStart, open * sizeof(Vertex));
    gl.vertexCount = open;
    gl.primitiveStart = 0;
    gl.indexCount = 0;
}

}  // namespace gl11

using namespace gl11;

extern "C" {

void glBegin(GLenum mode) {
    if (gl.inBegin) return;
    gl.inBegin = true;
    gl.mode = mode;
    gl.primitiveStart = gl.vertexCount;
    gl.primitiveCount = 0;
}

void glEnd() {
    if (!gl.inBegin) return;
    gl.inBegin = false;
    // Vertices that closed no triangle are dropped; the batch stays open
    // for the next primitive drawn with the same state.
    if (!gl.indexCount) gl.vertexCount = 0;
}

void glVertex2f(GLfloat x, GLfloat y) { addVertex(x, y, 0); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { addVertex(x, y, z); }
void glVertex3fv(const GLfloat* v) { addVertex(v[0], v[1], v[2]); }

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    gl.color[0] = r, gl.color[1] = g, gl.color[2] = b, gl.color[3] = a;
    for (int c = 0; c < 4; ++c) gl.colorBytes[c] = toByte(gl.color[c]);
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) { glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, 1); }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gl.normal[0] = x, gl.normal[1] = y, gl.normal[2] = z; }
void glNormal3fv(const GLfloat* n) { glNormal3f(n[0], n[1], n[2]); }

void glTexCoord2f(GLfloat s, GLfloat t) { gl.tex[0][0] = s, gl.tex[0][1] = t; }

void glMultiTexCoord2fARB(GLenum target, GLfloat s, GLfloat t) {
    const unsigned unit = target - kTexture0;
    if (unit < kUnits) gl.tex[unit][0] = s, gl.tex[unit][1] = t;
}

}  // extern "C"
