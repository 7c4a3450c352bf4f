// The height map: the tile of landscape that repeats without end.
//
// One tile: 128 x 128 samples over 50 world units, heights 0..2.55. Hills
// and hollows of 3 to 15 units from domain-warped gradient-noise octaves,
// blended with ridged noise into crests; thermal erosion then lets what is
// steeper than the talus slope slide down, leaving scree aprons and
// flattened floors, and the result is stretched over the full sample range.
#include <cmath>

#include "datagen/datagen.h"

namespace {

void erodeThermally(Field& h, double talus, int passes) {
    static const int step[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (int pass = 0; pass < passes; ++pass) {
        Field moved(h.size(), 0.0);
        for (int j = 0; j < kMap; ++j)
            for (int i = 0; i < kMap; ++i) {
                const double here = at(h, i, j);
                double excess[8], total = 0, steepest = 0;
                for (int k = 0; k < 8; ++k) {
                    const double limit = talus * (k < 4 ? 1.0 : std::sqrt(2.0));
                    const double d = here - at(h, i + step[k][0], j + step[k][1]) - limit;
                    excess[k] = d > 0 ? d : 0;
                    total += excess[k];
                    steepest = std::fmax(steepest, excess[k]);
                }
                if (total <= 0) continue;
                const double amount = 0.5 * steepest;  // half the steepest excess moves each pass
                at(moved, i, j) -= amount;
                for (int k = 0; k < 8; ++k) at(moved, i + step[k][0], j + step[k][1]) += amount * excess[k] / total;
            }
        for (size_t n = 0; n < h.size(); ++n) h[n] += moved[n];
    }
}

// Stretches the field over 0..1.
void stretch(Field& h) {
    double lo = 1e9, hi = -1e9;
    for (double x : h) lo = std::fmin(lo, x), hi = std::fmax(hi, x);
    for (double& x : h) x = (x - lo) / (hi - lo);
}

// Heights 0..1 of the tile.
Field landscape() {
    Field h(kMap * kMap);
    for (int j = 0; j < kMap; ++j)
        for (int i = 0; i < kMap; ++i) {
            const double u0 = static_cast<double>(i) / kMap, v0 = static_cast<double>(j) / kMap;
            // The warp bends the features into natural, non-grid shapes.
            const double u = u0 + 0.035 * fbm(u0, v0, 4, 3, 0.5, 101);
            const double v = v0 + 0.035 * fbm(u0, v0, 4, 3, 0.5, 202);
            const double rolling = 0.5 + 0.5 * fbm(u, v, 4, 5, 0.48, 7);  // 12.5-unit hills and finer
            const double crests = ridged(u, v, 4, 3, 55);                 // ridges some 12 units apart
            const double blend = smoothstep(-0.3, 0.3, fbm(u0, v0, 2, 2, 0.5, 77));
            const double height = mix(rolling, 0.4 * rolling + 0.7 * crests, blend);
            at(h, i, j) = det::pow(std::fmax(0.0, height), 1.6);  // wide, flat hollows
        }
    // The talus slope: 0.85 units of height per unit of distance.
    stretch(h);
    erodeThermally(h, 0.85 * kCellSize / kHeightRange, 40);
    stretch(h);
    return h;
}

// The tile turned so that the start, the middle of the map, lies on gentle
// ground low in a valley, from which all three zones show within a few units, mostly in the
// light: of all offsets, the one whose neighbourhood holds the most even
// share of sand, meadow and rock, and the least ground turned from the sun.
Field centredLandscape() {
    const Field raw = landscape();
    const double light[3] = {-0.83, 0.28, 0.55};  // towards the scene's light, seen from the tile
    int bestI = 0, bestJ = 0;
    double best = -1e9;
    for (int oj = 0; oj < kMap; oj += 2)
        for (int oi = 0; oi < kMap; oi += 2) {
            double sand = 0, rock = 0, lit = 0, total = 0, height, slope;
            for (int j = -14; j <= 14; j += 2)
                for (int i = -14; i <= 14; i += 2) {
                    const Zones z = zonesAt(raw, oi + i, oj + j);
                    sand += z.sand;
                    rock += z.rock;
                    const double dx = (at(raw, oi + i + 1, oj + j) - at(raw, oi + i - 1, oj + j)) * kHeightRange / (2 * kCellSize);
                    const double dz = (at(raw, oi + i, oj + j + 1) - at(raw, oi + i, oj + j - 1)) * kHeightRange / (2 * kCellSize);
                    lit += std::fmax(0.0, (-dx * light[0] + light[1] - dz * light[2]) / std::sqrt(1 + dx * dx + dz * dz));
                    total += 1;
                }
            heightAndSlope(raw, oi, oj, height, slope);
            const double meadow = total - sand - rock;
            // Low down, the hills around rise into the view.
            const double score = std::fmin(sand, std::fmin(rock, meadow)) / total + 0.5 * lit / total -
                                 (slope > 0.2 ? slope : 0) - std::fabs(height - 0.3);
            if (score > best) best = score, bestI = oi, bestJ = oj;
        }
    Field f(raw.size());
    for (int j = 0; j < kMap; ++j)
        for (int i = 0; i < kMap; ++i) at(f, i, j) = at(raw, i + bestI - kMap / 2, j + bestJ - kMap / 2);
    return f;
}

}  // namespace

// Height (0..1) and slope (world units of height per unit of distance) at a
// map position in samples, bilinear between the samples.
void heightAndSlope(const Field& f, double x, double z, double& height, double& slope) {
    auto h = [&](double px, double pz) {
        const int i = static_cast<int>(std::floor(px)), j = static_cast<int>(std::floor(pz));
        const double tx = px - i, tz = pz - j;
        return mix(mix(at(f, i, j), at(f, i + 1, j), tx), mix(at(f, i, j + 1), at(f, i + 1, j + 1), tx), tz);
    };
    height = h(x, z);
    const double dx = (h(x + 0.5, z) - h(x - 0.5, z)) * kHeightRange / kCellSize;
    const double dz = (h(x, z + 0.5) - h(x, z - 0.5)) * kHeightRange / kCellSize;
    slope = det::hypot(dx, dz);
}

Zones zonesAt(const Field& f, double x, double z) {
    double height, slope;
    heightAndSlope(f, x, z, height, slope);
    const double u = x / kMap, v = z / kMap, n = fbm(u, v, 16, 3, 0.5, 303);
    const double rock = std::fmax(smoothstep(0.4, 0.6, slope + 0.3 * n), smoothstep(0.72, 0.85, height + 0.12 * n));
    const double sand = smoothstep(0.26, 0.16, height + 0.1 * n) * (1 - smoothstep(0.3, 0.5, slope));
    return {sand * (1 - rock), rock};
}

const Field& landField() {
    static const Field field = centredLandscape();
    return field;
}

void writeHeightMap() {
    // Map row j is file row j: the reader takes rows in stored order, so the
    // bytes go out as they are.
    Bytes b = tgaHeader(kMap, kMap, 8, 3);
    for (double x : landField()) b.push_back(clampByte(255 * x));
    write("Heightmaps/Landscape.tga", b);
}
