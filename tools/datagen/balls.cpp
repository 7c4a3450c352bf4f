// The two beach balls, whole and shot, as 3DS models.
#include <array>
#include <cmath>

#include "datagen/datagen.h"

namespace {

// A sphere of radius 0.1 in the file's axes (z up), striped in six segments
// around the vertical; squash flattens it into a deflated heap.
Bytes beachBall(bool deflated) {
    static const char* const materialNames[3] = {"red stripe", "white stripe", "blue stripe"};
    static const uint8_t materialColours[3][3] = {{220, 30, 30}, {245, 245, 245}, {30, 70, 220}};
    const int stacks = 8, slices = 12;
    std::vector<V3> vertices;
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            const double theta = det::kPi * i / stacks, phi = 2 * det::kPi * j / slices;
            double r = 0.1, x = r * det::sin(theta) * det::cos(phi), y = r * det::sin(theta) * det::sin(phi),
                   z = r * det::cos(theta);
            if (deflated) {
                const double wrinkle = 1 + 0.12 * det::sin(5 * phi + 3 * theta) * det::sin(theta);
                x *= 1.25 * wrinkle;
                y *= 1.25 * wrinkle;
                z = -0.1 + (z + 0.1) * 0.22 + 0.008 * det::sin(7 * phi);
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

}  // namespace

void writeBalls() {
    write("models/beachball.3ds", beachBall(false));
    write("models/shotbeachball.3ds", beachBall(true));
}
