// Writes the demo's whole data/ folder: height map, textures, the weapon
// (MD2), the two beach balls (3DS), the firing sound and Config.cfg; and the
// program's icon.
// Everything is computed; the output is the same on every run.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "byte_writer.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
std::string root;

void write(const std::string& relative, const Bytes& bytes) {
    const std::string path = root + "/" + relative;
    std::error_code error;
    std::filesystem::create_directories(path.substr(0, path.rfind('/')), error);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

// ---- tileable noise --------------------------------------------------------
//
// Everything below is periodic over a square of side 1 in (u, v): lattice
// points are taken modulo the period, so noise at u and u + 1 is the same and
// every texture and the height map tile without a seam.

uint32_t hash(int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// Value noise at a lattice point, 0..1.
double lattice(int x, int y, int period, uint32_t seed) { return (hash(x, y, period, seed) & 0xFFFF) / 65535.0; }

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Gradient noise with period cells across the square, about -1..1.
double gradientNoise(double u, double v, int period, uint32_t seed) {
    const double x = u * period, y = v * period;
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    auto corner = [&](int cx, int cy) {
        const double angle = (hash(ix + cx, iy + cy, period, seed) & 0xFFFF) / 65536.0 * 2 * kPi;
        return std::cos(angle) * (fx - cx) + std::sin(angle) * (fy - cy);
    };
    const double sx = fade(fx), sy = fade(fy);
    const double a = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * sx;
    const double b = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * sx;
    return 1.4 * (a + (b - a) * sy);
}

// Fractal sums of octaves, each twice the frequency and gain times the weight.
double fbm(double u, double v, int period, int octaves, double gain, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o, period *= 2, weight *= gain) {
        sum += weight * gradientNoise(u, v, period, seed + 17 * o);
        total += weight;
    }
    return sum / total;
}

// Ridged noise: sharp crests where the gradient noise crosses zero, finer
// octaves strongest near the crests; 0..1.
double ridged(double u, double v, int period, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0, previous = 1;
    for (int o = 0; o < octaves; ++o, period *= 2, weight *= 0.5) {
        const double r = std::pow(1 - std::fabs(gradientNoise(u, v, period, seed + 31 * o)), 1.6);
        sum += weight * r * previous;
        total += weight;
        previous = std::fmin(1.0, r * 1.5);
    }
    return sum / total;
}

// Cellular noise: distance to the nearest of one random point per cell, 0..~1.
double cellular(double u, double v, int period, uint32_t seed) {
    const double x = u * period, y = v * period;
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    double nearest = 9;
    for (int cy = -1; cy <= 1; ++cy)
        for (int cx = -1; cx <= 1; ++cx) {
            const uint32_t h = hash(ix + cx, iy + cy, period, seed);
            const double px = ix + cx + (h & 0xFF) / 255.0, py = iy + cy + ((h >> 8) & 0xFF) / 255.0;
            nearest = std::fmin(nearest, std::hypot(x - px, y - py));
        }
    return nearest;
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::fmin(1.0, std::fmax(0.0, (x - edge0) / (edge1 - edge0)));
    return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

uint8_t clampByte(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v)); }

// An uncompressed TGA, rows given top row first and stored bottom-up.
// channels 1 (greyscale), 3 (BGR) or 4 (BGRA); pixels are given as RGB(A).
Bytes tga(int width, int height, int channels, const std::vector<uint8_t>& topDown) {
    Bytes b = tgaHeader(width, height, channels * 8, channels == 1 ? 3 : 2, channels == 4 ? 8 : 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &topDown[(static_cast<size_t>(y) * width + x) * channels];
            if (channels == 1) {
                b.push_back(p[0]);
            } else {
                b.push_back(p[2]);
                b.push_back(p[1]);
                b.push_back(p[0]);
                if (channels == 4) b.push_back(p[3]);
            }
        }
    }
    return b;
}

// ---- the landscape ---------------------------------------------------------
//
// One tile: 128 x 128 samples over 50 world units, heights 0..2.55. Hills
// and hollows of 3 to 15 units from domain-warped gradient-noise octaves,
// blended with ridged noise into crests; thermal erosion then lets what is
// steeper than the talus slope slide down, leaving scree aprons and
// flattened floors, and the result is stretched over the full sample range.

constexpr int kMap = 128;
constexpr double kCellSize = 50.0 / kMap, kHeightRange = 2.55;

using Field = std::vector<double>;  // kMap x kMap, row-major, row j along z

double& at(Field& f, int i, int j) { return f[static_cast<size_t>((j + kMap) % kMap) * kMap + (i + kMap) % kMap]; }
double at(const Field& f, int i, int j) { return f[static_cast<size_t>((j + kMap) % kMap) * kMap + (i + kMap) % kMap]; }

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
            at(h, i, j) = std::pow(std::fmax(0.0, height), 1.6);  // wide, flat hollows
        }
    // The talus slope: 0.85 units of height per unit of distance.
    stretch(h);
    erodeThermally(h, 0.85 * kCellSize / kHeightRange, 40);
    stretch(h);
    return h;
}

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
    slope = std::hypot(dx, dz);
}

const Field& landField();

void writeHeightMap() {
    // Map row j is file row j: the reader takes rows in stored order, so the
    // bytes go out as they are.
    Bytes b = tgaHeader(kMap, kMap, 8, 3);
    for (double x : landField()) b.push_back(clampByte(255 * x));
    write("Heightmaps/Landscape.tga", b);
}

// The detail texture, repeated every half unit: pebbles and grit in grey,
// bright on average so that it only grains the land map it multiplies.
void writeDetail() {
    std::vector<uint8_t> px(256 * 256 * 3);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double u = (x + 0.5) / 256, v = (y + 0.5) / 256;
            const double pebble = cellular(u, v, 32, 3), grit = cellular(u, v, 80, 4);
            const double stone = 1 - smoothstep(0.25, 0.55, pebble);  // rounded stones, dark gaps between
            const double g = 222 + 14 * stone - 14 * smoothstep(0.5, 0.75, pebble) + 34 * (grit - 0.5) +
                             22 * fbm(u, v, 4, 4, 0.6, 9) + 30 * (lattice(x, y, 256, 5) - 0.5);
            uint8_t* p = &px[(y * 256 + x) * 3];
            p[0] = p[1] = p[2] = clampByte(g);
        }
    write("Textures/Landscape.tga", tga(256, 256, 3, px));
}

// The land-map zone of a map position: sand in the hollows, meadow on the
// slopes, rock and scree on the crests and steep faces. Each weight 0..1.
struct Zones {
    double sand, rock;
};

Zones zonesAt(const Field& f, double x, double z) {
    double height, slope;
    heightAndSlope(f, x, z, height, slope);
    const double u = x / kMap, v = z / kMap, n = fbm(u, v, 16, 3, 0.5, 303);
    const double rock = std::fmax(smoothstep(0.4, 0.6, slope + 0.3 * n), smoothstep(0.72, 0.85, height + 0.12 * n));
    const double sand = smoothstep(0.26, 0.16, height + 0.1 * n) * (1 - smoothstep(0.3, 0.5, slope));
    return {sand * (1 - rock), rock};
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

const Field& landField() {
    static const Field field = centredLandscape();
    return field;
}

void writeLandmap() {
    // Texture row t = 0 (stored first) lies on map row 0, so the image is
    // built bottom-up here and handed over flipped. Two texels a cell.
    std::vector<uint8_t> px(256 * 256 * 3);
    for (int t = 0; t < 256; ++t)
        for (int s = 0; s < 256; ++s) {
            const double x = (s + 0.5) / 2, z = (t + 0.5) / 2, u = x / kMap, v = z / kMap;
            const Zones zone = zonesAt(landField(), x, z);
            const double patch = fbm(u, v, 8, 4, 0.55, 404), fine = fbm(u, v, 64, 2, 0.5, 505);
            // Meadow: lush and dry grass in patches, darker tufts.
            const double dry = smoothstep(-0.15, 0.35, patch);
            double r = mix(78, 168, dry), g = mix(172, 184, dry), b = mix(52, 76, dry);
            const double tuft = 1 + 0.18 * fine;
            r *= tuft, g *= tuft, b *= tuft;
            // Sand: pale, with ripples.
            const double ripple = 1 + 0.06 * std::sin(2 * kPi * (u * 90 + v * 30 + 2 * patch));
            const double sr = 240 * ripple, sg = 218 * ripple, sb = 160 * ripple;
            // Rock: warm grey in strata, scree lighter and speckled at its edge.
            double height, slope;
            heightAndSlope(landField(), x, z, height, slope);
            const double strata = 1 + 0.06 * std::sin(height * 25 + 4 * patch) + 0.1 * fine;
            const double scree = 1 - smoothstep(0.4, 0.9, zone.rock);
            const double speck = 1 + scree * 0.25 * (lattice(s, t, 256, 606) - 0.5);
            const double rr = (160 + 34 * scree) * strata * speck, rg = (150 + 30 * scree) * strata * speck,
                         rb = (136 + 24 * scree) * strata * speck;
            r = mix(mix(r, sr, zone.sand), rr, zone.rock);
            g = mix(mix(g, sg, zone.sand), rg, zone.rock);
            b = mix(mix(b, sb, zone.sand), rb, zone.rock);
            uint8_t* p = &px[((255 - t) * 256 + s) * 3];
            p[0] = clampByte(r);
            p[1] = clampByte(g);
            p[2] = clampByte(b);
        }
    write("Textures/Landmap.tga", tga(256, 256, 3, px));
}

void writeCrosshair() {
    // Drawn with source colour added and the frame kept by source alpha: a
    // clear texel is black with alpha 1, a line texel white with alpha 0.
    std::vector<uint8_t> px(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double dx = x + 0.5 - 32, dy = y + 0.5 - 32, r = std::sqrt(dx * dx + dy * dy);
            double k = 0;
            if (std::fabs(r - 12) < 1.0) k = 1;
            if ((std::fabs(dx) < 1.0 && std::fabs(dy) > 4 && std::fabs(dy) < 20) ||
                (std::fabs(dy) < 1.0 && std::fabs(dx) > 4 && std::fabs(dx) < 20))
                k = 1;
            uint8_t* p = &px[(y * 64 + x) * 4];
            p[0] = p[1] = p[2] = clampByte(255 * k * 0.9);
            p[3] = clampByte(255 * (1 - k));
        }
    write("Textures/Crosshair.tga", tga(64, 64, 4, px));
}

void writeBallTexture() {
    // A sphere map of bright segments with a highlight.
    static const uint8_t colours[6][3] = {{230, 40, 40}, {250, 250, 250}, {40, 90, 230},
                                          {250, 210, 30}, {250, 250, 250}, {40, 180, 70}};
    std::vector<uint8_t> px(64 * 64 * 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double dx = (x + 0.5) / 32 - 1, dy = (y + 0.5) / 32 - 1;
            const double angle = std::atan2(dy, dx) + kPi;
            const int segment = static_cast<int>(angle / (2 * kPi) * 6) % 6;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double light = 0.65 + 0.35 * std::exp(-((dx + 0.35) * (dx + 0.35) + (dy + 0.35) * (dy + 0.35)) * 6);
            uint8_t* p = &px[(y * 64 + x) * 3];
            for (int c = 0; c < 3; ++c)
                p[c] = clampByte(colours[segment][c] * light * (r > 1 ? 0.7 : 1) + (r < 0.15 ? 60 : 0));
        }
    write("Textures/Ball.tga", tga(64, 64, 3, px));
}

// ---- the weapon -----------------------------------------------------------

struct V3 {
    double x, y, z;
};

// The rifle, in model axes: x forward along the barrel, y up, z to the side.
// Its parts are eight-cornered blocks (boxes, tapered or slanted) and
// eight-sided tubes, each of one material.
enum Material { kSteel, kBlued, kWood, kPolymer };

struct Mesh {
    std::vector<V3> vertices;
    std::vector<std::pair<int, int>> texCoords;  // texels, t from the top
    std::vector<std::array<int, 6>> triangles;   // 3 vertices, 3 texcoords
};

// The skin is a 4 x 4 grid of 32-texel blocks: a column per material, a row
// per shade (top, side, underside, end). The weapon is drawn unlit, so the
// light falls where the skin says: each face takes the block of its facing.
constexpr double kShade[4] = {1.35, 1.0, 0.55, 0.8};

void writeWeaponSkin() {
    static const double base[4][3] = {{72, 76, 82}, {44, 48, 58}, {118, 70, 34}, {34, 34, 37}};
    std::vector<uint8_t> px(128 * 128 * 3);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int material = x / 32, shade = y / 32, bx = x % 32, by = y % 32;
            const double n = lattice(x, y, 128, 99) - 0.5;
            double k = kShade[shade] * (1 + 0.08 * n);
            if (material == kWood) k *= 1 + 0.14 * std::sin(bx * 0.7 + 4 * std::sin(by * 0.21)) + 0.05 * n;
            if (material == kSteel || material == kBlued) k *= 1 + 0.05 * std::sin(by * 2.1 + bx * 0.05);
            // Bevelled edges: a dark rim, and a highlight just inside the upper edge.
            double glint = 0;
            if (bx < 2 || by < 2 || bx > 29 || by > 29) k *= 0.55;
            else if (by < 5) k *= material == kWood ? 1.15 : 1.4, glint = by < 4 ? 16 : 0;
            uint8_t* p = &px[(y * 128 + x) * 3];
            for (int c = 0; c < 3; ++c) p[c] = clampByte(base[material][c] * k + glint);
        }
    write("Textures/Weapon.tga", tga(128, 128, 3, px));
}

// A quad a, b, c, d (counter-clockwise seen from outside), skinned from the
// block of its material and facing.
void addQuad(Mesh& m, Material material, int a, int b, int c, int d) {
    const V3 &pa = m.vertices[a], &pb = m.vertices[b], &pc = m.vertices[c];
    const V3 u = {pb.x - pa.x, pb.y - pa.y, pb.z - pa.z}, v = {pc.x - pa.x, pc.y - pa.y, pc.z - pa.z};
    V3 n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0) n = {n.x / length, n.y / length, n.z / length};
    const int shade = n.y > 0.35 ? 0 : n.y < -0.5 ? 2 : std::fabs(n.x) > 0.7 ? 3 : 1;
    const int s0 = material * 32 + 2, s1 = material * 32 + 30, t0 = shade * 32 + 2, t1 = shade * 32 + 30;
    const int t = static_cast<int>(m.texCoords.size());
    m.texCoords.push_back({s0, t0});
    m.texCoords.push_back({s1, t0});
    m.texCoords.push_back({s1, t1});
    m.texCoords.push_back({s0, t1});
    m.triangles.push_back({a, b, c, t, t + 1, t + 2});
    m.triangles.push_back({a, c, d, t, t + 2, t + 3});
}

// A block from its rear face at x0 (bottom and top y, half width) to its
// front face at x1 (the same); shift moves the bottom forward, for a rake.
void addBlock(Mesh& m, Material material, double x0, double y0a, double y0b, double w0, double x1, double y1a,
              double y1b, double w1, double shift = 0) {
    const int first = static_cast<int>(m.vertices.size());
    for (int i = 0; i < 8; ++i) {
        const bool front = i & 1, top = i & 2, right = i & 4;
        const double w = front ? w1 : w0;
        m.vertices.push_back({(front ? x1 : x0) + (top ? 0 : shift), front ? (top ? y1b : y1a) : (top ? y0b : y0a),
                              right ? w : -w});
    }
    static const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    for (const auto& q : faces) addQuad(m, material, first + q[0], first + q[1], first + q[2], first + q[3]);
}

void addBox(Mesh& m, Material material, V3 lo, V3 hi) {
    const double w = (hi.z - lo.z) / 2;
    addBlock(m, material, lo.x, lo.y, hi.y, w, hi.x, lo.y, hi.y, w);
}

// An eight-sided tube along x at height y, from x0 to x1, closed at both ends.
void addTube(Mesh& m, Material material, double x0, double x1, double y, double radius) {
    const int a = static_cast<int>(m.vertices.size()), b = a + 8;
    for (int end = 0; end < 2; ++end)
        for (int k = 0; k < 8; ++k) {
            const double angle = 2 * kPi * (k + 0.5) / 8;
            m.vertices.push_back({end ? x1 : x0, y + radius * std::cos(angle), radius * std::sin(angle)});
        }
    for (int k = 0; k < 8; ++k) addQuad(m, material, a + k, a + (k + 1) % 8, b + (k + 1) % 8, b + k);
    for (int k = 1; k < 7; k += 2) {  // each cap as three quads
        addQuad(m, material, a, a + k + 2, a + k + 1, a + k);
        addQuad(m, material, b, b + k, b + k + 1, b + k + 2);
    }
}

Mesh gunMesh() {
    Mesh m;
    addBlock(m, kWood, -12, 2.6, 11.6, 1.4, 9, 7.4, 11.0, 1.65);         // stock, deep at the butt
    addBlock(m, kPolymer, -12.8, 2.4, 11.8, 1.5, -12, 2.6, 11.6, 1.5);   // butt plate
    addBlock(m, kWood, 6.2, 1.8, 8.6, 1.35, 10.6, 1.8, 8.6, 1.35, -3.2); // pistol grip, raked back
    addBox(m, kSteel, {9, 8.2, -1.9}, {27, 13.2, 1.9});                  // receiver
    addBox(m, kSteel, {12, 13.2, -1.2}, {25, 13.6, 1.2});                // top rail
    addBlock(m, kPolymer, 17, 2.2, 8.2, 1.1, 21.5, 2.2, 8.2, 1.1, 1.8);  // magazine, leaning forward
    addBox(m, kSteel, {10.5, 6.3, -0.4}, {17.5, 6.9, 0.4});              // trigger guard
    addBox(m, kSteel, {13.2, 6.9, -0.25}, {13.9, 8.2, 0.25});            // trigger
    addBlock(m, kWood, 27, 8.6, 12.4, 1.75, 43, 9.4, 12.2, 1.45);        // fore-end
    addTube(m, kBlued, 27, 55, 11.4, 0.85);                              // barrel
    addTube(m, kSteel, 53, 57.5, 11.4, 1.15);                            // muzzle brake
    addBox(m, kSteel, {51, 12.2, -0.35}, {52.5, 14.4, 0.35});            // front sight
    addTube(m, kBlued, 14.5, 24.5, 15.6, 0.95);                          // scope tube
    addTube(m, kBlued, 12.0, 14.5, 15.6, 1.3);                           // eyepiece
    addTube(m, kBlued, 24.5, 28.0, 15.6, 1.55);                          // objective bell
    addBox(m, kSteel, {15.5, 13.6, -0.8}, {17, 14.9, 0.8});              // scope rings
    addBox(m, kSteel, {22, 13.6, -0.8}, {23.5, 14.9, 0.8});
    addBox(m, kSteel, {19.5, 10.6, -2.9}, {20.7, 11.8, 2.9});            // bolt handle
    return m;
}

// Pose of key frame i: a slow idle sway for the first loop (the one the
// weapon plays), the firing kick for the next run, other motions after.
V3 posed(const V3& v, int frame) {
    double phase = 2 * kPi * frame / 40.0, dx = 0, dy = 0, dz = 0, pitch = 0;
    if (frame < 40) {
        dy = 0.45 * std::sin(phase);
        dz = 0.3 * std::sin(phase * 2) * 0.5;
        pitch = 0.012 * std::sin(phase + 0.6);
    } else if (frame < 46) {  // the firing kick: back and muzzle up, then home
        const double k = std::sin(kPi * (frame - 39) / 7.0);
        dx = -2.2 * k;
        pitch = 0.09 * k;
    } else {
        const double k = std::sin(kPi * ((frame * 7) % 20) / 20.0);
        dy = -1.5 * k;
        pitch = 0.08 * k;
    }
    // Tilt about the grip.
    const double px = v.x - 14, py = v.y - 8;
    const double rx = px * std::cos(pitch) - py * std::sin(pitch);
    const double ry = px * std::sin(pitch) + py * std::cos(pitch);
    // Held to the right and below the eye, the muzzle turned in towards the
    // middle of the view.
    const double x = rx + 14 + dx, z = v.z + dz;
    return {x, ry + 8 + dy - 2.5, z + 4.5 - (x - 8) * 0.09};
}

void writeWeaponModel() {
    const Mesh mesh = gunMesh();
    static const char* const names[20] = {"idle",  "fire",   "reload", "draw",  "holster", "inspect", "walk",
                                          "run",   "jump",   "land",   "crouch", "aim",    "melee",   "pain",
                                          "empty", "switch", "raise",  "lower", "spin",    "rest"};
    static const int ends[20] = {40,  46,  54,  58,  62,  66,  72,  84,  95,  112,
                                 123, 135, 154, 160, 169, 173, 178, 184, 190, 198};
    std::vector<Md2Pose> poses;
    int run = 0, number = 0;
    for (int f = 0; f < 198; ++f) {
        if (f >= ends[run]) {
            ++run;
            number = 0;
        }
        ++number;
        // File axes: x forward, y = -(model z), z = model y.
        std::vector<V3> file(mesh.vertices.size());
        V3 lo = {1e9, 1e9, 1e9}, hi = {-1e9, -1e9, -1e9};
        for (size_t i = 0; i < mesh.vertices.size(); ++i) {
            const V3 p = posed(mesh.vertices[i], f);
            file[i] = {p.x, -p.z, p.y};
            lo = {std::fmin(lo.x, file[i].x), std::fmin(lo.y, file[i].y), std::fmin(lo.z, file[i].z)};
            hi = {std::fmax(hi.x, file[i].x), std::fmax(hi.y, file[i].y), std::fmax(hi.z, file[i].z)};
        }
        const V3 scale = {(hi.x - lo.x) / 255, (hi.y - lo.y) / 255, (hi.z - lo.z) / 255};
        char name[17];
        std::snprintf(name, sizeof name, "%s%02d", names[run], number);
        Md2Pose pose{{static_cast<float>(scale.x), static_cast<float>(scale.y), static_cast<float>(scale.z),
                      static_cast<float>(lo.x), static_cast<float>(lo.y), static_cast<float>(lo.z)},
                     name,
                     {}};
        for (const V3& p : file)
            pose.vertices.insert(pose.vertices.end(), {clampByte((p.x - lo.x) / scale.x),
                                                       clampByte((p.y - lo.y) / scale.y),
                                                       clampByte((p.z - lo.z) / scale.z), 0});
        poses.push_back(pose);
    }
    const Bytes b = md2File(128, 128, "Textures/Weapon.tga", mesh.texCoords, mesh.triangles, poses);
    write("Models/Weapon.md2", b);
}

// ---- the beach balls ------------------------------------------------------

// A sphere of radius 0.1 in the file's axes (z up), striped in six segments
// around the vertical; squash flattens it into a deflated heap.
Bytes beachBall(bool deflated) {
    static const char* const materialNames[3] = {"red stripe", "white stripe", "blue stripe"};
    static const uint8_t materialColours[3][3] = {{220, 30, 30}, {245, 245, 245}, {30, 70, 220}};
    const int stacks = 8, slices = 12;
    std::vector<V3> vertices;
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            const double theta = kPi * i / stacks, phi = 2 * kPi * j / slices;
            double r = 0.1, x = r * std::sin(theta) * std::cos(phi), y = r * std::sin(theta) * std::sin(phi),
                   z = r * std::cos(theta);
            if (deflated) {
                const double wrinkle = 1 + 0.12 * std::sin(5 * phi + 3 * theta) * std::sin(theta);
                x *= 1.25 * wrinkle;
                y *= 1.25 * wrinkle;
                z = -0.1 + (z + 0.1) * 0.22 + 0.008 * std::sin(7 * phi);
            }
            vertices.push_back({x, y, z});
        }
    std::vector<float> xyz, uv;
    for (const V3& v : vertices)
        xyz.insert(xyz.end(), {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)});
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j)
            uv.insert(uv.end(), {static_cast<float>(j) / slices, static_cast<float>(i) / stacks});
    std::vector<std::array<int, 3>> faces;
    std::vector<int> faceMaterial;
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const int a = i * (slices + 1) + j, b = a + 1, c = a + slices + 1, d = c + 1;
            const int material = (j * 6 / slices) % 2 == 0 ? (j * 6 / slices) / 2 % 2 * 2 : 1;
            // Counter-clockwise seen from outside (z up, theta from the top).
            if (i != 0) {
                faces.push_back({a, c, b});
                faceMaterial.push_back(material);
            }
            if (i != stacks - 1) {
                faces.push_back({b, c, d});
                faceMaterial.push_back(material);
            }
        }
    std::vector<Chunk> groups;
    for (int m = 0; m < 3; ++m) {
        std::vector<int> members;
        for (size_t f = 0; f < faces.size(); ++f)
            if (faceMaterial[f] == m) members.push_back(static_cast<int>(f));
        groups.push_back(faceGroup(materialNames[m], members));
    }
    Chunk mesh{0x4100, {}, {{0x4110, floatList(vertices.size(), xyz), {}}, {0x4140, floatList(vertices.size(), uv), {}},
                            faceList(faces, groups)}};
    Chunk object{0x4000, cString(deflated ? "shotball" : "beachball"), {mesh}};
    Chunk editor{0x3D3D, {}, {}};
    Bytes meshVersion;
    put32(meshVersion, 3);
    editor.children.push_back({0x3D3E, meshVersion, {}});
    for (int m = 0; m < 3; ++m)
        editor.children.push_back(
            material3ds(materialNames[m], {0x0011, Bytes(materialColours[m], materialColours[m] + 3), {}}));
    editor.children.push_back(object);
    Bytes version;
    put32(version, 3);
    Chunk primary{0x4D4D, {}, {{0x0002, version, {}}, editor, {0xB000, {}, {}}}};
    return primary.bytes();
}

// ---- the firing sound -----------------------------------------------------

void writeShot() {
    const int rate = 22050, count = rate * 35 / 100;
    Bytes pcm;
    uint32_t noise = 12345;
    double low = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        noise = noise * 1664525u + 1013904223u;
        const double white = ((noise >> 9) & 0xFFFF) / 32767.5 - 1;
        low += (white - low) * 0.25;
        const double crack = white * std::exp(-t / 0.012);
        const double body = low * std::exp(-t / 0.07) * 1.6;
        const double thump = std::sin(2 * kPi * 70 * t) * std::exp(-t / 0.05) * 0.8;
        const double v = std::tanh(1.4 * (crack + body + thump));
        const int s = static_cast<int>(std::lround(v * 30000));
        put16(pcm, static_cast<uint16_t>(static_cast<int16_t>(s)));
    }
    write("sounds/bullet_fire_1.wav", waveFile(pcm, rate));
}

void writeConfig() {
    const std::string text =
        "fullscreen 0\n"
        "frameratecounter 1\n"
        "resolution_width 1024\n"
        "resolution_height 768\n"
        "resolution_depth 32\n"
        "zbuffer_depth 24\n"
        "texturefilter 2\n"
        "sound 1\n";
    write("Config.cfg", Bytes(text.begin(), text.end()));
}

// Seeds for the PCX and RAW fuzz targets, which no data file uses: a 64x64
// run-length PCX picture with its palette, and the same picture as RAW.
void writeSeeds() {
    Bytes pcx(128, 0);
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    Bytes raw;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64;) {
            const uint8_t index = static_cast<uint8_t>((x / 8 + y / 8) % 4 * 60);
            int run = 1;
            while (x + run < 64 && run < 63 && (x + run) / 8 == x / 8) ++run;
            pcx.push_back(static_cast<uint8_t>(0xC0 | run));
            pcx.push_back(index);
            for (int k = 0; k < run; ++k) {
                raw.push_back(index);
                raw.push_back(static_cast<uint8_t>(255 - index));
                raw.push_back(static_cast<uint8_t>(y * 4));
            }
            x += run;
        }
    }
    pcx.push_back(12);
    for (int i = 0; i < 256; ++i) {
        pcx.push_back(static_cast<uint8_t>(i));
        pcx.push_back(static_cast<uint8_t>(255 - i));
        pcx.push_back(static_cast<uint8_t>(i / 2));
    }
    write("pcx/seed.pcx", pcx);
    write("raw/seed.raw", raw);
}

// ---- the program's icon ----------------------------------------------------
//
// Hills under a hazy sky and a beach ball, on a rounded square: a PNG for
// the desktop and an ICO for vale.exe.

// The icon at side n, RGBA rows from the top, 4 x 4 samples a pixel.
std::vector<uint8_t> iconPixels(int n) {
    static const double stripes[6][3] = {{230, 40, 40}, {250, 250, 250}, {40, 90, 230},
                                         {250, 210, 30}, {250, 250, 250}, {40, 180, 70}};
    std::vector<uint8_t> px(static_cast<size_t>(n) * n * 4);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double sum[4] = {};
            for (int s = 0; s < 16; ++s) {
                const double u = (x + (s % 4 + 0.5) / 4) / n, v = (y + (s / 4 + 0.5) / 4) / n;
                // The rounded square: corners of radius 0.18.
                const double cx = std::max(std::fabs(u - 0.5) - 0.32, 0.0), cy = std::max(std::fabs(v - 0.5) - 0.32, 0.0);
                if (cx * cx + cy * cy > 0.18 * 0.18) continue;
                double c[3] = {128 + 90 * (0.6 - v), 150 + 70 * (0.6 - v), 190 + 40 * (0.6 - v)};  // sky
                const double far = 0.55 + 0.06 * std::sin(u * 7 + 1), near = 0.68 + 0.08 * std::sin(u * 5 - 2.2);
                if (v > far) c[0] = 120, c[1] = 150, c[2] = 120;                 // distant hills in haze
                if (v > near) c[0] = 60 + 60 * (v - near), c[1] = 140 - 40 * (v - near), c[2] = 50;  // meadow
                const double bx = u - 0.66, by = v - 0.52, br = std::sqrt(bx * bx + by * by);
                if (br < 0.2) {  // the ball: six stripes, lit from the upper left
                    const int k = static_cast<int>((std::atan2(by, bx) + kPi) / (2 * kPi) * 6) % 6;
                    const double light = 0.6 + 0.4 * std::exp(-((bx + 0.08) * (bx + 0.08) + (by + 0.08) * (by + 0.08)) * 60);
                    for (int i = 0; i < 3; ++i) c[i] = stripes[k][i] * light;
                }
                for (int i = 0; i < 3; ++i) sum[i] += c[i];
                sum[3] += 255;
            }
            uint8_t* p = &px[(static_cast<size_t>(y) * n + x) * 4];
            for (int i = 0; i < 3; ++i) p[i] = sum[3] > 0 ? clampByte(sum[i] * 255 / sum[3]) : 0;
            p[3] = clampByte(sum[3] / 16);
        }
    return px;
}

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void putBig32(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(v >> shift));
}

// An RGBA PNG whose pixels are stored, not compressed: zlib's stored blocks.
Bytes png(int n, const std::vector<uint8_t>& rgba) {
    Bytes raw, z = {0x78, 0x01}, file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int y = 0; y < n; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgba.begin() + y * n * 4, rgba.begin() + (y + 1) * n * 4);
    }
    for (size_t at = 0; at < raw.size(); at += 65535) {
        const size_t len = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + len == raw.size() ? 1 : 0);
        put16(z, static_cast<uint32_t>(len));
        put16(z, static_cast<uint32_t>(~len & 0xFFFF));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + len));
    }
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
    putBig32(z, b << 16 | a);
    auto chunk = [&file](const char* type, const Bytes& data) {
        putBig32(file, static_cast<uint32_t>(data.size()));
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        file.insert(file.end(), body.begin(), body.end());
        putBig32(file, crc32(body.data(), body.size()));
    };
    Bytes header;
    putBig32(header, static_cast<uint32_t>(n));
    putBig32(header, static_cast<uint32_t>(n));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits a channel, RGBA
    chunk("IHDR", header);
    chunk("IDAT", z);
    chunk("IEND", {});
    return file;
}

// An ICO of 32-bit images, each a bottom-up BGRA bitmap with its mask.
Bytes ico(const std::vector<int>& sides) {
    Bytes file = {0, 0, 1, 0}, images;
    put16(file, static_cast<uint32_t>(sides.size()));
    for (int n : sides) {
        const std::vector<uint8_t> rgba = iconPixels(n);
        Bytes image;
        for (uint32_t v : {40u, static_cast<uint32_t>(n), static_cast<uint32_t>(2 * n)}) put32(image, v);
        put16(image, 1);
        put16(image, 32);
        for (int i = 0; i < 6; ++i) put32(image, 0);
        for (int y = n - 1; y >= 0; --y)
            for (int x = 0; x < n; ++x) {
                const uint8_t* p = &rgba[(static_cast<size_t>(y) * n + x) * 4];
                image.insert(image.end(), {p[2], p[1], p[0], p[3]});
            }
        image.resize(image.size() + static_cast<size_t>((n + 31) / 32 * 4) * n, 0);  // the mask: alpha decides
        file.insert(file.end(), {static_cast<uint8_t>(n % 256), static_cast<uint8_t>(n % 256), 0, 0});
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<uint32_t>(image.size()));
        put32(file, static_cast<uint32_t>(6 + 16 * sides.size() + images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}

void writeIcons() {
    write("vale.png", png(64, iconPixels(64)));
    write("vale.ico", ico({16, 32, 48, 64}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--seeds") {
        root = argv[2];
        writeSeeds();
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        root = argv[2];
        writeIcons();
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen OUTPUT_DIR | datagen --seeds OUTPUT_DIR | datagen --icons OUTPUT_DIR\n");
        return 2;
    }
    root = argv[1];
    writeConfig();
    writeHeightMap();
    writeDetail();
    writeLandmap();
    writeCrosshair();
    writeBallTexture();
    writeWeaponSkin();
    writeWeaponModel();
    write("models/beachball.3ds", beachBall(false));
    write("models/shotbeachball.3ds", beachBall(true));
    writeShot();
    return 0;
}
