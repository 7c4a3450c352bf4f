// The weapon: its skin and its animated MD2 model.
#include <array>
#include <cmath>
#include <cstdio>

#include "datagen/datagen.h"

namespace {

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
            if (material == kWood) k *= 1 + 0.14 * det::sin(bx * 0.7 + 4 * det::sin(by * 0.21)) + 0.05 * n;
            if (material == kSteel || material == kBlued) k *= 1 + 0.05 * det::sin(by * 2.1 + bx * 0.05);
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
            const double angle = 2 * det::kPi * (k + 0.5) / 8;
            m.vertices.push_back({end ? x1 : x0, y + radius * det::cos(angle), radius * det::sin(angle)});
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
    double phase = 2 * det::kPi * frame / 40.0, dx = 0, dy = 0, dz = 0, pitch = 0;
    if (frame < 40) {
        dy = 0.45 * det::sin(phase);
        dz = 0.3 * det::sin(phase * 2) * 0.5;
        pitch = 0.012 * det::sin(phase + 0.6);
    } else if (frame < 46) {  // the firing kick: back and muzzle up, then home
        const double k = det::sin(det::kPi * (frame - 39) / 7.0);
        dx = -2.2 * k;
        pitch = 0.09 * k;
    } else {
        const double k = det::sin(det::kPi * ((frame * 7) % 20) / 20.0);
        dy = -1.5 * k;
        pitch = 0.08 * k;
    }
    // Tilt about the grip.
    const double px = v.x - 14, py = v.y - 8;
    const double rx = px * det::cos(pitch) - py * det::sin(pitch);
    const double ry = px * det::sin(pitch) + py * det::cos(pitch);
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

}  // namespace

void writeWeapon() {
    writeWeaponSkin();
    writeWeaponModel();
}
