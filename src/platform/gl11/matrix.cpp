// The matrix stacks and the entry points that change them, as OpenGL 1.1
// specifies: each operation multiplies the current matrix on the right.
#include <cmath>
#include <cstring>

#include "platform/gl11/state.h"

namespace gl11 {

Matrix identity() {
    Matrix r = {};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
    return r;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[k * 4 + row] * b.m[c * 4 + k];
            r.m[c * 4 + row] = s;
        }
    return r;
}

void transform(const Matrix& m, const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = m.m[row] * in[0] + m.m[4 + row] * in[1] + m.m[8 + row] * in[2] + m.m[12 + row] * in[3];
}

void normalMatrix(const Matrix& mv, float out[9]) {
    const float* m = mv.m;
    const float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
    const float A = e * i - f * h, B = f * g - d * i, C = d * h - e * g;
    const float det = a * A + b * B + c * C;
    const float k = det != 0 ? 1 / det : 0;
    // Cofactors by column: (A, B, C) is the first row.
    const float r[9] = {A * k, (c * h - b * i) * k, (b * f - c * e) * k, B * k, (a * i - c * g) * k,
                        (c * d - a * f) * k, C * k, (b * g - a * h) * k, (a * e - b * d) * k};
    std::memcpy(out, r, sizeof r);
}

namespace {

Matrix& current() { return gl.stacks[gl.matrixMode].current(); }

void multiplyCurrent(const Matrix& by) {
    matrixChanged(gl.matrixMode);
    current() = multiply(current(), by);
}

}  // namespace

}  // namespace gl11

using namespace gl11;

extern "C" {

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW) gl.matrixMode = 0;
    else if (mode == GL_PROJECTION) gl.matrixMode = 1;
    else if (mode == GL_TEXTURE) gl.matrixMode = 2;
}

void glLoadIdentity() {
    matrixChanged(gl.matrixMode);
    current() = identity();
}

void glPushMatrix() {
    Stack& s = gl.stacks[gl.matrixMode];
    if (s.top + 1 >= kStackDepth) return;  // GL_STACK_OVERFLOW: nothing changes
    s.at[s.top + 1] = s.at[s.top];
    ++s.top;
}

void glPopMatrix() {
    Stack& s = gl.stacks[gl.matrixMode];
    if (s.top == 0) return;  // GL_STACK_UNDERFLOW
    matrixChanged(gl.matrixMode);
    --s.top;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Matrix t = identity();
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    multiplyCurrent(t);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    Matrix s = identity();
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    multiplyCurrent(s);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length, y /= length, z /= length;
    const float radians = angle * 3.14159265358979f / 180;
    const float c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    Matrix r = identity();
    r.m[0] = x * x * k + c, r.m[4] = x * y * k - z * s, r.m[8] = x * z * k + y * s;
    r.m[1] = y * x * k + z * s, r.m[5] = y * y * k + c, r.m[9] = y * z * k - x * s;
    r.m[2] = x * z * k - y * s, r.m[6] = y * z * k + x * s, r.m[10] = z * z * k + c;
    multiplyCurrent(r);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal) {
    Matrix o = identity();
    o.m[0] = static_cast<float>(2 / (right - left));
    o.m[5] = static_cast<float>(2 / (top - bottom));
    o.m[10] = static_cast<float>(-2 / (farVal - nearVal));
    o.m[12] = static_cast<float>(-(right + left) / (right - left));
    o.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    o.m[14] = static_cast<float>(-(farVal + nearVal) / (farVal - nearVal));
    multiplyCurrent(o);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * 3.14159265358979323846 / 180;
    const double depth = zFar - zNear, sine = std::sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    Matrix p = {};
    p.m[0] = static_cast<float>(cotangent / aspect);
    p.m[5] = static_cast<float>(cotangent);
    p.m[10] = static_cast<float>(-(zFar + zNear) / depth);
    p.m[11] = -1;
    p.m[14] = static_cast<float>(-2 * zNear * zFar / depth);
    multiplyCurrent(p);
}

}  // extern "C"
