// The OpenGL 1.1 state the layer keeps, and what its parts share. Draws are
// gathered into one batch in preallocated memory; anything that changes
// how the batch would be drawn draws it first (flushBatch), so a batch is
// always drawn with the state it was gathered under.
#pragma once

#include <cstdint>

#include "platform/gl11/es2.h"

namespace gl11 {

// Column-major, as OpenGL's.
struct Matrix {
    float m[16];
};
Matrix identity();
Matrix multiply(const Matrix& a, const Matrix& b);  // a * b
void transform(const Matrix& m, const float in[4], float out[4]);
// The inverse transpose of the matrix's upper 3 x 3, column-major: what
// carries normals to eye space.
void normalMatrix(const Matrix& m, float out[9]);

// A vertex as the shaders read it: its position and normal already in eye
// space, so that draws under different model-views share a batch.
struct Vertex {
    float position[3];
    float normal[3];
    uint8_t color[4];
    float tex[2][2];
};

constexpr int kMaxVertices = 32768;   // a batch (16-bit indices)
constexpr int kMaxIndices = 3 * kMaxVertices;
constexpr int kStackDepth = 32;
constexpr int kLights = 8;
constexpr int kUnits = 2;
constexpr int kMaxTextures = 4096;  // names the layer tracks images for

struct Light {
    bool on = false;
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0};  // in eye space, as it was at glLightfv
};

struct Unit {
    bool enabled = false;
    GLuint bound = 0;
    bool sphere[2] = {false, false};  // s, t generation mode is GL_SPHERE_MAP
    bool gen[2] = {false, false};     // GL_TEXTURE_GEN_S, _T enabled
};

struct Stack {
    Matrix at[kStackDepth];
    int top = 0;
    Matrix& current() { return at[top]; }
};

struct State {
    // Matrices: 0 model-view, 1 projection, 2 texture (kept, not applied).
    Stack stacks[3];
    int matrixMode = 0;
    unsigned projectionVersion = 1;  // counts changes of the projection
    bool normalStale = true;         // the model-view changed since normalMatrix was worked out
    float normalMatrix[9];
    bool affine = true;  // the model-view's last row is 0 0 0 1 (as of normalMatrix)

    // Current attributes (the colour also as the bytes a vertex takes).
    float color[4] = {1, 1, 1, 1};
    uint8_t colorBytes[4] = {255, 255, 255, 255};
    float normal[3] = {0, 0, 1};
    float tex[kUnits][2] = {};

    // Gathering between glBegin and glEnd.
    bool inBegin = false;
    GLenum mode = 0;
    int primitiveStart = 0;  // the primitive's first vertex in the batch
    int primitiveCount = 0;  // its vertices so far
    int vertexCount = 0;
    int indexCount = 0;

    // Lighting and fog.
    bool lighting = false, colorMaterial = false, normalize = false;
    Light lights[kLights];
    float globalAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    bool fog = false;
    GLenum fogMode = GL_EXP;
    float fogDensity = 1, fogStart = 0, fogEnd = 1;
    float fogColor[4] = {0, 0, 0, 0};
    unsigned lightVersion = 1;  // counts changes of lights or fog

    // Texturing.
    Unit units[kUnits];
    int unit = 0;      // the active unit
    int esUnit = -1;   // the ES context's active unit
    bool hasImage[kMaxTextures] = {};

    // Fragment operations.
    bool alphaTest = false;
    GLenum alphaFunc = GL_ALWAYS;
    float alphaRef = 0;
    bool blend = false, depthTest = false, cullFace = false;

    GLint viewport[4] = {0, 0, 0, 0};
    bool viewportSet = false;

    // Display lists of glyphs.
    GLuint listBase = 0;
    GLuint nextList = 1;
    GLuint listStack[kStackDepth];
    int listStackTop = 0;
    bool rasterValid = false;
    float raster[2] = {0, 0};
    float rasterColor[4] = {1, 1, 1, 1};
};
extern State gl;

extern Vertex batchVertices[kMaxVertices];
extern uint16_t batchIndices[kMaxIndices];

// Draws what is gathered (and keeps an open primitive's vertices).
void flushBatch();
// Hands the batch's vertices and indices to ES 2 and draws them.
void drawBatch();
inline void flushIfGathered() {
    if (gl.indexCount) flushBatch();
}
// The matrix of stack 0, 1 or 2 changed. Vertices are carried into eye
// space as they come, so a new model-view only makes its normal matrix
// stale; the projection is the shaders', so what is gathered under the old
// one is drawn first. The texture matrix is kept, not applied.
inline void matrixChanged(int stack) {
    if (stack == 0) gl.normalStale = true;
    if (stack != 1) return;
    flushIfGathered();
    ++gl.projectionVersion;
}
inline void lightsChanged() {
    flushIfGathered();
    ++gl.lightVersion;
}

// The program the layer draws with, made once; false if it did not build.
bool makeProgram();
// Binds the unit's texture for drawing or upload.
void selectUnit(int unit);

}  // namespace gl11
