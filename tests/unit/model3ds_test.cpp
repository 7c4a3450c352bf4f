#include <cstring>

#include "models3ds/reader3ds.h"
#include "support.h"

namespace {

Chunk rgb(uint8_t r, uint8_t g, uint8_t b) { return {0x0011, {r, g, b}, {}}; }

Chunk object(const std::string& name, const std::vector<float>& xyz, const std::vector<std::array<int, 3>>& faces,
             std::vector<Chunk> more = {}) {
    more.insert(more.begin(), {{0x4110, floatList(xyz.size() / 3, xyz), {}}, faceList(faces)});
    return {0x4000, cString(name), {{0x4100, {}, more}}};
}

// A file as our tools write it: version, then the editor block led by its mesh version.
Chunk file(std::vector<Chunk> editorChildren, int version = 3) {
    Bytes v;
    put32(v, version);
    editorChildren.insert(editorChildren.begin(), Chunk{0x3D3E, {3, 0, 0, 0}, {}});
    return {0x4D4D, {}, {{0x0002, v, {}}, {0x3D3D, {}, editorChildren}}};
}

Model3ds import(const Bytes& bytes) {
    testplatform::reset();
    Model3ds model;
    Loader3ds().importBytes(model, bytes.data(), bytes.size(), "test.3ds");
    return model;
}

const Chunk kTriangle = object("tri", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});

}  // namespace

TEST(Reader3ds, ReadsMaterialsObjectsAndGroupsAmongOtherToolsChunks) {
    // Beside ours: master scale, an ambient colour before the diffuse one,
    // specular and shininess, smoothing groups, a local axis and a keyframer.
    Chunk paint = material3ds("paint", rgb(10, 20, 30));
    paint.children.insert(paint.children.begin() + 1, Chunk{0xA010, {}, {rgb(50, 5, 5), {0x0012, {50, 5, 5}, {}}}});
    paint.children.push_back({0xA030, {}, {rgb(255, 255, 255)}});
    paint.children.push_back({0xA040, {}, {{0x0030, {40, 0}, {}}}});
    Chunk quad = object("quad", {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2}, {0, 2, 3}},
                        {{0x4140, floatList(4, {0, 0, 1, 0, 1, 1, 0, 1}), {}}, {0x4160, Bytes(48, 0), {}}});
    quad.children[0].children[1].children = {faceGroup("paint", {0}), faceGroup("b", {1}), faceGroup("nobody", {1}),
                                             {0x4150, Bytes(8, 0), {}}};
    Chunk c = file({{0x0100, floatList(1, {}), {}}, paint, material3ds("skin", rgb(200, 100, 50), "skin.tga"),
                    material3ds("b", rgb(2, 2, 2), "b.tga"), material3ds("b", rgb(3, 3, 3)), quad, kTriangle});
    c.children.push_back({0xB000, {}, {{0xB00A, {5, 0, 0, 0}, {}}, {0xB002, {1, 2, 3, 4, 5, 6}, {}}}});
    const Model3ds m = import(c.bytes());
    EXPECT_EQ("", shownBoxes());
    ASSERT_EQ(values(4, 2), values(m.materialCount, m.objectCount));
    EXPECT_EQ(values(10, 30), values(m.materials[0].color[0], m.materials[0].color[2]));  // diffuse, not ambient
    EXPECT_STREQ("skin.tga", m.materials[1].mapFile);
    const Object3ds& o = m.objects[0];
    EXPECT_STREQ("quad", o.name);
    EXPECT_EQ(values(4, 2, 4, 1, 2, 3, 0), values(o.vertexCount, o.faceCount, o.texCoordCount, o.texCoords[2].v,
                                                  o.faces[1].vertexIndex[1], o.faces[1].vertexIndex[2],
                                                  o.faces[1].texCoordIndex[0]));
    // The last group that matched names the material (the first of equal names); a texture once seen stays.
    EXPECT_EQ(values(2, true, 0, false),
              values(o.materialIndex, o.hasTexture, m.objects[1].materialIndex, m.objects[1].hasTexture));
}

TEST(Reader3ds, ChunksAreKnownByTheirIdsNotTheirPlaces) {
    // Without the mesh-version chunk a material or an object comes first.
    for (const bool materialFirst : {true, false}) {
        std::vector<Chunk> children = {kTriangle, kTriangle};
        children.insert(children.begin() + (materialFirst ? 0 : 1), material3ds("m", rgb(1, 2, 3)));
        const Model3ds m = import(Chunk{0x4D4D, {}, {{0x3D3D, {}, children}, {0xB000, {1, 2, 3}, {}}}}.bytes());
        EXPECT_EQ(values(2, 1), values(m.objectCount, m.materialCount));
    }
    // A colour's first sub-chunk gives it; later ones are the material's.
    Chunk mat = material3ds("m", rgb(9, 8, 7));
    mat.children[1].children.push_back({0xA000, cString("renamed"), {}});
    const Model3ds m = import(file({mat}).bytes());
    EXPECT_EQ(9, m.materials[0].color[0]);
    EXPECT_STREQ("renamed", m.materials[0].name);
    // Floats, linear or gamma-corrected, are scaled; a percentage is no colour.
    const auto floats = [](uint16_t id, float r, float g, float b) {
        Chunk c{id, {}, {}};
        for (float f : {r, g, b}) putFloat(c.payload, f);
        return c;
    };
    const std::pair<Chunk, std::vector<double>> kinds[] = {{floats(0x0010, 1, 0.5f, -2), {255, 128, 0}},
                                                           {floats(0x0013, 0.2f, 1, 3), {51, 255, 255}},
                                                           {{0x0030, {40, 0}, {}}, {0, 0, 0}}};
    for (const auto& [colour, expected] : kinds) {
        const Model3ds model = import(file({material3ds("f", colour)}).bytes());
        const uint8_t* c = model.materials[0].color;
        EXPECT_EQ(expected, values(c[0], c[1], c[2])) << colour.id;
    }
}

TEST(Reader3ds, VersionWarningAndFilesThatAreNoModel) {
    EXPECT_EQ(1, import(file({kTriangle}, 3).bytes()).objectCount);
    EXPECT_EQ("", shownBoxes());
    EXPECT_EQ(1, import(file({kTriangle}, 4).bytes()).objectCount);
    EXPECT_EQ("Warning: This 3DS file is over version 3 so it may load incorrectly", shownBoxes());
    Chunk c = file({kTriangle});
    c.id = 0x4D4C;
    EXPECT_EQ(0, import(c.bytes()).objectCount);
    EXPECT_EQ("Error: Unable to load PRIMARY chuck from file: test.3ds!", shownBoxes());
}

TEST(Reader3ds, NormalsAreAreaWeightedAndCounterClockwise) {
    // Vertex 0 shared by a triangle of area 8 facing +z and one of area
    // 0.125 facing +x: their sum (0.25, 0, 16), normalised; vertex 5 in no face.
    const Model3ds m =
        import(file({object("w", {0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0.5f, 0, 0, 0, 0.5f, 9, 9, 9}, {{0, 1, 2}, {0, 3, 4}})})
                   .bytes());
    const auto& n = m.objects[0].normals;
    const float k = 1 / std::hypot(0.25f, 16.0f);
    EXPECT_THAT(values(n[0].x, n[0].y, n[0].z, n[1].x, n[1].y, n[1].z, n[3].x, n[3].y, n[3].z, n[5].x, n[5].y, n[5].z),
                within(1e-6, values(0.25f * k, 0, 16 * k, 0, 0, 1, 1, 0, 0, 0, 0, 0)));
}

TEST(Reader3ds, DeepNestingIsCutOffWithoutExhaustingTheStack) {
    // 200,000 nested editor blocks (other lies about lengths and counts are
    // the fuzz target's).
    Bytes bytes;
    const Bytes triangle = kTriangle.bytes();
    const uint32_t levels = 200000;
    put16(bytes, 0x4D4D);
    put32(bytes, 6 + 12 * levels + static_cast<uint32_t>(triangle.size()));
    for (uint32_t k = 0; k < levels; ++k) {
        put16(bytes, 0x3D3D);
        put32(bytes, 12 * (levels - k) + static_cast<uint32_t>(triangle.size()));
        put16(bytes, 0x0001);
        put32(bytes, 6);
    }
    bytes.insert(bytes.end(), triangle.begin(), triangle.end());
    EXPECT_EQ(0, import(bytes).objectCount);
}
