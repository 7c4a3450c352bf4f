// Draws the window of grid cells around the viewer, one strip per row.
#include "app/gl_window.h"
#include "app/opengl.h"
#include "terrain/terrain.h"

namespace {

struct VertexWalk {
    const Terrain& t;
    MultiTexCoord2fArbFn multiTexCoord;

    float height(float u, float v) const { return static_cast<float>(t.sample(u, v)) * t.heightScale; }

    void emit(float px, float pz, float x, float z, float s0, float t0, float s1, float t1) const {
        const float s = t.sampleStep;
        const float here = height(px, pz);
        const float dZ = ((height(px, pz - s) - here) + (here - height(px, pz + s))) / 2;
        const float dX = ((height(px - s, pz) - here) + (here - height(px + s, pz))) / 2;
        Terrain::sendNormal(t.cellSize, dX, 0, 0, dZ, t.cellSize);
        multiTexCoord(kGlTexture0Arb, s0, t0);
        multiTexCoord(kGlTexture1Arb, s1, t1);
        glVertex3f(x, here, z);
    }
};

}  // namespace

void Terrain::draw(float viewX, float viewZ, float radius) const {
    if (!heights || cellSize <= 0.0f) return;
    glColor3f(1, 1, 1);
    const int32_t half = static_cast<int32_t>(static_cast<float>(cellCount) / 2.0f);
    const float reachF = radius / cellSize;
    if (!(reachF >= 1.0f)) return;  // below one cell (or not a number) nothing is drawn
    const int32_t reach = reachF < 4096.0f ? static_cast<int32_t>(reachF) : 4096;
    const int32_t col = static_cast<int32_t>(viewX / cellSize);
    const int32_t row = static_cast<int32_t>(viewZ / cellSize);
    const int32_t colStart = col + half - reach, colEnd = col + half + reach;
    const int32_t rowStart = row + half - reach, rowEnd = row + half + reach;

    const VertexWalk walk{*this, glWindow.glMultiTexCoord2fARB};
    const float origin = -worldSize / 2;
    float mz = static_cast<float>(rowStart) * sampleStep;
    float wz = origin + static_cast<float>(rowStart) * cellSize;
    float t0 = static_cast<float>(rowStart) * detailStepT;
    float t1 = static_cast<float>(rowStart) * mapStep;
    for (int32_t r = rowStart; r < rowEnd; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        float mx = static_cast<float>(colStart) * sampleStep;
        float wx = origin + static_cast<float>(colStart) * cellSize;
        float s0 = static_cast<float>(colStart) * detailStepS;
        float s1 = static_cast<float>(colStart) * mapStep;
        walk.emit(mx, mz, wx, wz, s0, t0, s1, t1);
        walk.emit(mx, mz + sampleStep, wx, wz + cellSize, s0, t0 + detailStepT, s1, t1 + mapStep);
        for (int32_t c = colStart; c < colEnd; ++c) {
            walk.emit(mx + sampleStep, mz, wx + cellSize, wz, s0 + detailStepS, t0, s1 + mapStep, t1);
            walk.emit(mx + sampleStep, mz + sampleStep, wx + cellSize, wz + cellSize, s0 + detailStepS,
                      t0 + detailStepT, s1 + mapStep, t1 + mapStep);
            mx += sampleStep;
            wx += cellSize;
            s0 += detailStepS;
            s1 += mapStep;
        }
        glEnd();
        mz += sampleStep;
        wz += cellSize;
        t0 += detailStepT;
        t1 += mapStep;
    }
}
