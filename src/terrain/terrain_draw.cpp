// Draws the window of grid cells around the viewer, one strip per row.
//
// Every grid line of the window is shared by two strips, and every column
// value (map x, world x, both s coordinates) by all of them: the running
// values repeat exactly, so each vertex's height and normal are worked out
// once, into the line buffers below, and sent by both strips that use it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/platform.h"
#include "terrain/terrain.h"

namespace {

constexpr int32_t kMaxReach = 4096;
constexpr int32_t kMaxLine = 2 * kMaxReach + 1;

struct LineVertex {
    float height;
    Terrain::Normal normal;
};

// The running column values, and the two lines of the strip being drawn.
float columnMap[kMaxLine], columnWorld[kMaxLine], columnS0[kMaxLine], columnS1[kMaxLine];
LineVertex lineA[kMaxLine], lineB[kMaxLine];

float height(const Terrain& t, float u, float v) { return static_cast<float>(t.sample(u, v)) * t.heightScale; }

// The central differences at a vertex, and its normal.
LineVertex lineVertex(const Terrain& t, float here, float north, float south, float west, float east) {
    const float dZ = ((north - here) + (here - south)) / 2;
    const float dX = ((west - here) + (here - east)) / 2;
    return {here, Terrain::unitNormal(t.cellSize, dX, 0, 0, dZ, t.cellSize)};
}

// Heights and normals of one grid line at map z pz.
void fillLine(const Terrain& t, float pz, int32_t count, LineVertex* line) {
    const float s = t.sampleStep;
    for (int32_t k = 0; k < count; ++k) {
        const float px = columnMap[k];
        line[k] = lineVertex(t, height(t, px, pz), height(t, px, pz - s), height(t, px, pz + s), height(t, px - s, pz),
                             height(t, px + s, pz));
    }
}

// The same where every map position is a whole number (a whole sample step,
// positions well inside float precision): the samples of a line come from
// three stored rows at the stored column of each window column, the
// neighbours to the west and east being the columns beside it. Each stored
// row is scaled once a frame and serves the three lines that read it.
uint32_t columnSample[kMaxLine + 2];
float scaledRows[3][kMaxLine + 2];
uint32_t scaledRowKey[3];
int nextScaledRow;

void forgetScaledRows() {
    for (uint32_t& key : scaledRowKey) key = UINT32_MAX;
}

const float* scaledRow(const Terrain& t, float pz, int32_t count) {
    const uint32_t row = t.wrap(pz);
    for (int i = 0; i < 3; ++i)
        if (scaledRowKey[i] == row) return scaledRows[i] + 1;
    const int i = nextScaledRow;
    nextScaledRow = (nextScaledRow + 1) % 3;
    scaledRowKey[i] = row;
    const uint8_t* stored = t.heights + static_cast<size_t>(row) * t.mapSize;
    for (int32_t j = 0; j < count + 2; ++j) scaledRows[i][j] = static_cast<float>(stored[columnSample[j]]) * t.heightScale;
    return scaledRows[i] + 1;
}

void fillLineWhole(const Terrain& t, float pz, int32_t count, LineVertex* line) {
    const float s = t.sampleStep;
    const float* north = scaledRow(t, pz - s, count);
    const float* here = scaledRow(t, pz, count);
    const float* south = scaledRow(t, pz + s, count);
    for (int32_t k = 0; k < count; ++k) line[k] = lineVertex(t, here[k], north[k], south[k], here[k - 1], here[k + 1]);
}

}  // namespace

void Terrain::draw(float viewX, float viewZ, float radius) const {
    if (!heights || cellSize <= 0.0f) return;
    glColor3f(1, 1, 1);
    const int32_t half = static_cast<int32_t>(static_cast<float>(cellCount) / 2.0f);
    const float reachF = radius / cellSize;
    if (!(reachF >= 1.0f)) return;  // below one cell (or not a number) nothing is drawn
    const int32_t reach = reachF < kMaxReach ? static_cast<int32_t>(reachF) : kMaxReach;
    const int32_t col = static_cast<int32_t>(viewX / cellSize);
    const int32_t row = static_cast<int32_t>(viewZ / cellSize);
    const int32_t colStart = col + half - reach;
    const int32_t rowStart = row + half - reach, rowEnd = row + half + reach;
    const int32_t count = 2 * reach + 1;  // vertices per grid line

    const float origin = -worldSize / 2;
    float mx = static_cast<float>(colStart) * sampleStep;
    float wx = origin + static_cast<float>(colStart) * cellSize;
    float s0 = static_cast<float>(colStart) * detailStepS;
    float s1 = static_cast<float>(colStart) * mapStep;
    for (int32_t k = 0; k < count; ++k) {
        columnMap[k] = mx;
        columnWorld[k] = wx;
        columnS0[k] = s0;
        columnS1[k] = s1;
        mx += sampleStep;
        wx += cellSize;
        s0 += detailStepS;
        s1 += mapStep;
    }

    // Whole positions below 2^23 add, subtract and truncate exactly.
    const float extent = static_cast<float>(std::max(std::abs(colStart) + count, std::abs(rowStart) + count) + 1) * sampleStep;
    const bool whole = sampleStep == std::floor(sampleStep) && extent < 8388608.0f;
    if (whole) {
        for (int32_t j = 0; j < count + 2; ++j) columnSample[j] = wrap(static_cast<float>(colStart + j - 1) * sampleStep);
        forgetScaledRows();
    }
    void (*const fill)(const Terrain&, float, int32_t, LineVertex*) = whole ? fillLineWhole : fillLine;

    const MultiTexCoord2fArbFn multiTexCoord = glWindow.glMultiTexCoord2fARB;
    auto emit = [multiTexCoord](const LineVertex& v, float x, float z, float s0, float t0, float s1, float t1) {
        glNormal3fv(&v.normal.x);
        multiTexCoord(kGlTexture0Arb, s0, t0);
        multiTexCoord(kGlTexture1Arb, s1, t1);
        glVertex3f(x, v.height, z);
    };
    float mz = static_cast<float>(rowStart) * sampleStep;
    float wz = origin + static_cast<float>(rowStart) * cellSize;
    float t0 = static_cast<float>(rowStart) * detailStepT;
    float t1 = static_cast<float>(rowStart) * mapStep;
    LineVertex* top = lineA;
    LineVertex* bottom = lineB;
    fill(*this, mz, count, top);
    for (int32_t r = rowStart; r < rowEnd; ++r) {
        fill(*this, mz + sampleStep, count, bottom);
        const float wz1 = wz + cellSize, t01 = t0 + detailStepT, t11 = t1 + mapStep;
        glBegin(GL_TRIANGLE_STRIP);
        for (int32_t k = 0; k < count; ++k) {
            emit(top[k], columnWorld[k], wz, columnS0[k], t0, columnS1[k], t1);
            emit(bottom[k], columnWorld[k], wz1, columnS0[k], t01, columnS1[k], t11);
        }
        glEnd();
        LineVertex* done = top;
        top = bottom;
        bottom = done;
        mz += sampleStep;
        wz += cellSize;
        t0 += detailStepT;
        t1 += mapStep;
    }
}
