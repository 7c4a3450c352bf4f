// Writes the demo's whole data/ folder: height map, textures, the weapon
// (MD2), the two beach balls (3DS), the firing sound and Config.cfg.
// Everything is computed; the output is the same on every run.
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "byte_writer.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
std::string root;

void makeDirs(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
    mkdir(path.c_str(), 0755);
}

void write(const std::string& relative, const Bytes& bytes) {
    const std::string path = root + "/" + relative;
    makeDirs(path.substr(0, path.rfind('/')));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

// Deterministic hash noise, tileable over period cells.
double lattice(int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double smoothNoise(double x, double y, int period, uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = lattice(ix, iy, period, seed), b = lattice(ix + 1, iy, period, seed);
    const double c = lattice(ix, iy + 1, period, seed), d = lattice(ix + 1, iy + 1, period, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Fractal noise over a square of side 1 that tiles, octaves from base cells.
double fractal(double u, double v, int baseCells, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    int cells = baseCells;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * smoothNoise(u * cells, v * cells, cells, seed + o);
        total += weight;
        weight *= 0.5;
        cells *= 2;
    }
    return sum / total;
}

uint8_t clampByte(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v)); }

// An uncompressed TGA, rows given top row first and stored bottom-up.
// channels 1 (greyscale), 3 (BGR) or 4 (BGRA); pixels are given as RGB(A).
Bytes tga(int width, int height, int channels, const std::vector<uint8_t>& topDown) {
    Bytes b = {0, 0, static_cast<uint8_t>(channels == 1 ? 3 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, width);
    put16(b, height);
    b.push_back(static_cast<uint8_t>(channels * 8));
    b.push_back(channels == 4 ? 8 : 0);
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

// Height of the landscape at map position (u, v) in [0, 1), as a sample 0..255.
// Rolling hills from whole-period waves (so the tile repeats seamlessly) and
// a little noise.
double landHeight(double u, double v) {
    double h = 0.5 + 0.22 * std::sin(2 * kPi * u) * std::cos(2 * kPi * v) +
               0.16 * std::sin(2 * kPi * (2 * u + v) + 1.3) + 0.10 * std::cos(2 * kPi * (3 * v - u) + 0.4) +
               0.22 * (fractal(u, v, 4, 4, 7) - 0.5);
    return 255 * std::fmin(1.0, std::fmax(0.0, h * 0.9 + 0.02));
}

// Height-map samples stored file order; row j is the map row j.
std::vector<uint8_t> heightMap() {
    std::vector<uint8_t> samples(128 * 128);
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i) samples[j * 128 + i] = clampByte(landHeight(i / 128.0, j / 128.0));
    return samples;
}

void writeHeightMap() {
    // Map row j is file row j: the reader takes rows in stored order, so the
    // bytes go out as they are.
    Bytes b = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, 128);
    put16(b, 128);
    b.push_back(8);
    b.push_back(0);
    const std::vector<uint8_t> samples = heightMap();
    b.insert(b.end(), samples.begin(), samples.end());
    write("Heightmaps/Landscape.tga", b);
}

void writeDetail() {
    std::vector<uint8_t> px(256 * 256 * 3);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double n = fractal(x / 256.0, y / 256.0, 8, 5, 21);
            const double g = 215 + 80 * (n - 0.5) + 30 * (lattice(x, y, 256, 5) - 0.5);
            uint8_t* p = &px[(y * 256 + x) * 3];
            p[0] = p[1] = p[2] = clampByte(g);
        }
    write("Textures/Landscape.tga", tga(256, 256, 3, px));
}

void writeLandmap() {
    // Texture row t = 0 (stored first) lies on map row 0, so the image is
    // built bottom-up here and handed over flipped.
    std::vector<uint8_t> px(256 * 256 * 3);
    for (int t = 0; t < 256; ++t)
        for (int s = 0; s < 256; ++s) {
            const double h = landHeight(s / 256.0, t / 256.0) / 255.0;
            const double n = fractal(s / 256.0, t / 256.0, 16, 3, 40) - 0.5;
            double r, g, b;
            if (h < 0.22) {  // sandy hollows
                r = 235; g = 215; b = 160;
            } else if (h < 0.62) {  // meadow
                const double k = (h - 0.22) / 0.4;
                r = 95 + 50 * k; g = 200 - 25 * k; b = 70;
            } else {  // rocky tops
                const double k = std::fmin(1.0, (h - 0.62) / 0.3);
                r = 150 + 70 * k; g = 160 + 50 * k; b = 130 + 80 * k;
            }
            uint8_t* p = &px[((255 - t) * 256 + s) * 3];
            p[0] = clampByte(r * (1 + 0.3 * n));
            p[1] = clampByte(g * (1 + 0.3 * n));
            p[2] = clampByte(b * (1 + 0.3 * n));
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

// A box of the gun, in model axes (x forward along the barrel, y up, z to
// the side), with the skin block it is painted from.
struct Part {
    V3 lo, hi;
    int block;
};

const Part kGunParts[] = {
    {{8, 8.6, -1.9}, {26, 13.4, 1.9}, 0},      // receiver
    {{26, 10.6, -0.9}, {52, 12.6, 0.9}, 1},    // barrel
    {{26, 9.0, -1.5}, {40, 10.8, 1.5}, 2},     // fore-end
    {{11, 2.0, -1.5}, {16, 8.6, 1.5}, 3},      // grip
    {{18, 3.5, -1.1}, {22, 8.6, 1.1}, 1},      // magazine
    {{16, 6.8, -0.4}, {19, 7.4, 0.4}, 1},      // trigger guard
    {{49, 12.6, -0.35}, {50.5, 14.2, 0.35}, 1},  // front sight
    {{14, 13.4, -1.0}, {23, 15.0, 1.0}, 0},    // scope body
    {{22, 13.0, -0.5}, {23.5, 13.4, 0.5}, 1},  // scope mount
};

void writeWeaponSkin() {
    // Four 32-texel blocks along the top row of the skin: dark steel, blued
    // barrel, grey fore-end, walnut; the rest is plain steel.
    static const double base[4][3] = {{70, 74, 80}, {40, 44, 52}, {105, 108, 112}, {110, 70, 38}};
    std::vector<uint8_t> px(128 * 128 * 3);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int block = y < 32 ? x / 32 : 0;
            const double grain = block == 3 ? 18 * std::sin(x * 0.9 + 3 * std::sin(y * 0.3)) : 0;
            const double n = 14 * (lattice(x, y, 128, 99) - 0.5);
            const double edge = (x % 32 < 2 || y % 32 < 2) ? -20 : 0;
            uint8_t* p = &px[(y * 128 + x) * 3];
            for (int c = 0; c < 3; ++c) p[c] = clampByte(base[block][c] + grain + n + edge);
        }
    write("Textures/Weapon.tga", tga(128, 128, 3, px));
}

struct Mesh {
    std::vector<V3> vertices;
    std::vector<std::pair<int, int>> texCoords;  // texels, t from the top
    std::vector<std::array<int, 6>> triangles;   // 3 vertices, 3 texcoords
};

Mesh gunMesh() {
    Mesh m;
    for (const Part& part : kGunParts) {
        const int first = static_cast<int>(m.vertices.size());
        for (int i = 0; i < 8; ++i)
            m.vertices.push_back({i & 1 ? part.hi.x : part.lo.x, i & 2 ? part.hi.y : part.lo.y,
                                  i & 4 ? part.hi.z : part.lo.z});
        const int s0 = part.block * 32 + 3, s1 = part.block * 32 + 29;
        const int t = static_cast<int>(m.texCoords.size());
        m.texCoords.push_back({s0, 3});
        m.texCoords.push_back({s1, 3});
        m.texCoords.push_back({s1, 29});
        m.texCoords.push_back({s0, 29});
        // Six faces as quads of corner bit patterns, counter-clockwise seen
        // from outside.
        static const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                        {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
        for (const auto& q : faces) {
            m.triangles.push_back({first + q[0], first + q[1], first + q[2], t, t + 1, t + 2});
            m.triangles.push_back({first + q[0], first + q[2], first + q[3], t, t + 2, t + 3});
        }
    }
    return m;
}

// Pose of key frame i: a slow idle sway for the first loop, other motions after.
V3 posed(const V3& v, int frame) {
    double phase = 2 * kPi * frame / 40.0, dy = 0, dz = 0, pitch = 0;
    if (frame < 40) {
        dy = 0.45 * std::sin(phase);
        dz = 0.3 * std::sin(phase * 2) * 0.5;
        pitch = 0.012 * std::sin(phase + 0.6);
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
    const double x = rx + 14, z = v.z + dz;
    return {x, ry + 8 + dy - 2.5, z + 4.5 - (x - 8) * 0.09};
}

void writeWeaponModel() {
    const Mesh mesh = gunMesh();
    static const char* const names[20] = {"idle",  "fire",   "reload", "draw",  "holster", "inspect", "walk",
                                          "run",   "jump",   "land",   "crouch", "aim",    "melee",   "pain",
                                          "empty", "switch", "raise",  "lower", "spin",    "rest"};
    static const int ends[20] = {40,  46,  54,  58,  62,  66,  72,  84,  95,  112,
                                 123, 135, 154, 160, 169, 173, 178, 184, 190, 198};
    const int frames = 198, vertexCount = static_cast<int>(mesh.vertices.size());
    const int frameSize = 40 + 4 * vertexCount;
    const int skinsOffset = 68, texOffset = skinsOffset + 64;
    const int triOffset = texOffset + 4 * static_cast<int>(mesh.texCoords.size());
    const int framesOffset = triOffset + 12 * static_cast<int>(mesh.triangles.size());
    const int endOffset = framesOffset + frames * frameSize;
    Bytes b;
    const int header[17] = {0x32504449, 8, 128, 128, frameSize, 1, vertexCount,
                            static_cast<int>(mesh.texCoords.size()), static_cast<int>(mesh.triangles.size()), 0,
                            frames, skinsOffset, texOffset, triOffset, framesOffset, endOffset, endOffset};
    for (int v : header) put32(b, static_cast<uint32_t>(v));
    char skin[64] = "Textures/Weapon.tga";
    b.insert(b.end(), skin, skin + 64);
    for (const auto& st : mesh.texCoords) {
        put16(b, st.first);
        put16(b, st.second);
    }
    for (const auto& t : mesh.triangles)
        for (int k : t) put16(b, k);
    int run = 0, number = 0;
    for (int f = 0; f < frames; ++f) {
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
        putFloat(b, static_cast<float>(scale.x));
        putFloat(b, static_cast<float>(scale.y));
        putFloat(b, static_cast<float>(scale.z));
        putFloat(b, static_cast<float>(lo.x));
        putFloat(b, static_cast<float>(lo.y));
        putFloat(b, static_cast<float>(lo.z));
        char name[16] = {};
        std::snprintf(name, sizeof name, "%s%02d", names[run], number);
        b.insert(b.end(), name, name + 16);
        for (const V3& p : file) {
            b.push_back(clampByte((p.x - lo.x) / scale.x));
            b.push_back(clampByte((p.y - lo.y) / scale.y));
            b.push_back(clampByte((p.z - lo.z) / scale.z));
            b.push_back(0);
        }
    }
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
    Bytes texCoords;
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
    Bytes vertexList;
    put16(vertexList, static_cast<uint32_t>(vertices.size()));
    for (const V3& v : vertices) {
        putFloat(vertexList, static_cast<float>(v.x));
        putFloat(vertexList, static_cast<float>(v.y));
        putFloat(vertexList, static_cast<float>(v.z));
    }
    put16(texCoords, static_cast<uint32_t>(vertices.size()));
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            putFloat(texCoords, static_cast<float>(j) / slices);
            putFloat(texCoords, static_cast<float>(i) / stacks);
        }
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
    Chunk faceList{0x4120, {}, {}};
    put16(faceList.payload, static_cast<uint32_t>(faces.size()));
    for (const auto& f : faces) {
        put16(faceList.payload, f[0]);
        put16(faceList.payload, f[1]);
        put16(faceList.payload, f[2]);
        put16(faceList.payload, 7);
    }
    for (int m = 0; m < 3; ++m) {
        Chunk group{0x4130, cString(materialNames[m]), {}};
        std::vector<int> members;
        for (size_t f = 0; f < faces.size(); ++f)
            if (faceMaterial[f] == m) members.push_back(static_cast<int>(f));
        put16(group.payload, static_cast<uint32_t>(members.size()));
        for (int f : members) put16(group.payload, f);
        faceList.children.push_back(group);
    }
    Chunk mesh{0x4100, {}, {{0x4110, vertexList, {}}, {0x4140, texCoords, {}}, faceList}};
    Chunk object{0x4000, cString(deflated ? "shotball" : "beachball"), {mesh}};
    Chunk editor{0x3D3D, {}, {}};
    Bytes meshVersion;
    put32(meshVersion, 3);
    editor.children.push_back({0x3D3E, meshVersion, {}});
    for (int m = 0; m < 3; ++m) {
        Bytes colour(materialColours[m], materialColours[m] + 3);
        editor.children.push_back(
            {0xAFFF, {}, {{0xA000, cString(materialNames[m]), {}}, {0xA020, {}, {{0x0011, colour, {}}}}}});
    }
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
    Bytes b = {'R', 'I', 'F', 'F'};
    put32(b, static_cast<uint32_t>(36 + pcm.size()));
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, rate);
    put32(b, rate * 2);
    put16(b, 2);
    put16(b, 16);
    for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
    put32(b, static_cast<uint32_t>(pcm.size()));
    b.insert(b.end(), pcm.begin(), pcm.end());
    write("sounds/bullet_fire_1.wav", b);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--seeds") {
        root = argv[2];
        writeSeeds();
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen OUTPUT_DIR | datagen --seeds OUTPUT_DIR\n");
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
