#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "models3ds/reader3ds.h"
#include "platform/testing/test_platform.h"
#include "support.h"

namespace {

Bytes floats(std::initializer_list<float> values, int count) {
    Bytes b;
    if (count >= 0) put16(b, static_cast<uint32_t>(count));
    for (float f : values) putFloat(b, f);
    return b;
}

Chunk vertexList(std::initializer_list<float> xyz) {
    return {0x4110, floats(xyz, static_cast<int>(xyz.size() / 3)), {}};
}

Chunk faceList(std::initializer_list<int> abc, std::vector<Chunk> groups = {}) {
    Chunk c{0x4120, {}, groups};
    put16(c.payload, static_cast<uint32_t>(abc.size() / 3));
    int k = 0;
    for (int v : abc) {
        put16(c.payload, v);
        if (++k % 3 == 0) put16(c.payload, 7);  // edge flags
    }
    return c;
}

Chunk group(const std::string& material, int face) {
    Chunk c{0x4130, cString(material), {}};
    put16(c.payload, 1);
    put16(c.payload, face);
    return c;
}

Chunk material(const std::string& name, Chunk colour, const std::string& map = "") {
    Chunk m{0xAFFF, {}, {{0xA000, cString(name), {}}, {0xA020, {}, {colour}}}};
    if (!map.empty()) m.children.push_back({0xA200, {}, {{0xA300, cString(map), {}}}});
    return m;
}

Chunk rgb(uint8_t r, uint8_t g, uint8_t b) { return {0x0011, {r, g, b}, {}}; }

Chunk object(const std::string& name, std::vector<Chunk> meshChildren) {
    return {0x4000, cString(name), {{0x4100, {}, meshChildren}}};
}

// A file as our tools write it: version, then the editor block led by its
// mesh-version chunk.
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

const Chunk kTriangle = object("tri", {vertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), faceList({0, 1, 2})});

void expectVec(Vec3 e, Vec3 a) { EXPECT_NEAR(0, std::fabs(e.x - a.x) + std::fabs(e.y - a.y) + std::fabs(e.z - a.z), 1e-5f); }

}  // namespace

TEST(Reader3ds, ReadsMaterialsObjectsAndGroupsAmongOtherToolsChunks) {
    // Beside ours: master scale, an ambient colour before the diffuse one,
    // specular and shininess, smoothing groups, a local axis and a keyframer.
    Chunk paint = material("paint", rgb(10, 20, 30));
    paint.children.insert(paint.children.begin() + 1, Chunk{0xA010, {}, {rgb(50, 5, 5), {0x0012, {50, 5, 5}, {}}}});
    paint.children.push_back({0xA030, {}, {rgb(255, 255, 255)}});
    paint.children.push_back({0xA040, {}, {{0x0030, {40, 0}, {}}}});
    const Chunk quad = object(
        "quad", {vertexList({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), {0x4140, floats({0, 0, 1, 0, 1, 1, 0, 1}, 4), {}},
                 {0x4160, Bytes(48, 0), {}},
                 faceList({0, 1, 2, 0, 2, 3}, {group("paint", 0), group("b", 1), group("nobody", 1),
                                               {0x4150, Bytes(8, 0), {}}})});
    Chunk c = file({{0x0100, floats({1}, -1), {}}, paint, material("skin", rgb(200, 100, 50), "skin.tga"),
                    material("b", rgb(2, 2, 2), "b.tga"), material("b", rgb(3, 3, 3)), quad, kTriangle});
    c.children.push_back({0xB000, {}, {{0xB00A, {5, 0, 0, 0}, {}}, {0xB002, {1, 2, 3, 4, 5, 6}, {}}}});
    const Model3ds m = import(c.bytes());
    EXPECT_EQ("", shownBoxes());
    ASSERT_EQ(4, m.materialCount);
    EXPECT_EQ(values(10, 30), values(m.materials[0].color[0], m.materials[0].color[2]));  // diffuse, not ambient
    EXPECT_STREQ("", m.materials[0].mapFile);
    EXPECT_STREQ("skin.tga", m.materials[1].mapFile);
    ASSERT_EQ(2, m.objectCount);
    const Object3ds& o = m.objects[0];
    EXPECT_STREQ("quad", o.name);
    EXPECT_EQ(values(4, 2, 4, 1, 2, 3, 0), values(o.vertexCount, o.faceCount, o.texCoordCount, o.texCoords[2].v,
                                                  o.faces[1].vertexIndex[1], o.faces[1].vertexIndex[2],
                                                  o.faces[1].texCoordIndex[0]));
    // The last group that matched names the material, the first of equal
    // names; a texture once seen stays.
    EXPECT_EQ(values(2, true, 0, false),
              values(o.materialIndex, o.hasTexture, m.objects[1].materialIndex, m.objects[1].hasTexture));
}

TEST(Reader3ds, ChunksAreKnownByTheirIdsNotTheirPlaces) {
    // Without the mesh-version chunk a material or an object comes first.
    for (const bool materialFirst : {true, false}) {
        std::vector<Chunk> children = {kTriangle, kTriangle};
        children.insert(children.begin() + (materialFirst ? 0 : 1), material("m", rgb(1, 2, 3)));
        const Model3ds m = import(Chunk{0x4D4D, {}, {{0x3D3D, {}, children}, {0xB000, {1, 2, 3}, {}}}}.bytes());
        EXPECT_EQ(values(2, 1), values(m.objectCount, m.materialCount));
    }
    // A colour's first sub-chunk gives it; later ones are the material's.
    Chunk mat = material("m", rgb(9, 8, 7));
    mat.children[1].children.push_back({0xA000, cString("renamed"), {}});
    Model3ds m = import(file({mat}).bytes());
    EXPECT_EQ(9, m.materials[0].color[0]);
    EXPECT_STREQ("renamed", m.materials[0].name);
    // Floats, linear or gamma-corrected, are scaled; a percentage is no colour.
    const struct {
        Chunk colour;
        uint8_t r, g, b;
    } kinds[] = {{{0x0010, floats({1, 0.5f, -2}, -1), {}}, 255, 128, 0},
                 {{0x0013, floats({0.2f, 1, 3}, -1), {}}, 51, 255, 255},
                 {{0x0030, {40, 0}, {}}, 0, 0, 0}};
    for (const auto& k : kinds) {
        const uint8_t* c = import(file({material("f", k.colour)}).bytes()).materials[0].color;
        EXPECT_EQ(values(k.r, k.g, k.b), values(c[0], c[1], c[2])) << k.colour.id;
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
    testplatform::reset();
    Model3ds m;
    Loader3ds().import(m, "/nonexistent/ball.3ds");
    EXPECT_EQ(0, m.objectCount);
    EXPECT_EQ("Error: Unable to find the file: /nonexistent/ball.3ds!", shownBoxes());
}

TEST(Reader3ds, NormalsAreAreaWeightedAndCounterClockwise) {
    // Vertex 0 shared by a triangle of area 8 facing +z and one of area
    // 0.125 facing +x; vertex 5 in no face.
    const Model3ds m = import(
        file({object("w", {vertexList({0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0.5f, 0, 0, 0, 0.5f, 9, 9, 9}),
                           faceList({0, 1, 2, 0, 3, 4})})})
            .bytes());
    const auto& n = m.objects[0].normals;
    expectVec(normalise({0.25f, 0, 16}), n[0]);
    expectVec({0, 0, 1}, n[1]);
    expectVec({1, 0, 0}, n[3]);
    expectVec({0, 0, 0}, n[5]);
}

TEST(Reader3ds, LyingOrTruncatedFilesStayInsideTheirBytes) {
    const Bytes whole = file({material("paint", rgb(1, 2, 3), "p.tga"),
                              object("o", {vertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), faceList({0, 1, 2}, {group("paint", 0)})})})
                            .bytes();
    for (size_t n = 0; n <= whole.size(); ++n)
        for (const Object3ds& o : import(Bytes(whole.begin(), whole.begin() + n)).objects) {
            EXPECT_EQ(o.faces.size(), static_cast<size_t>(o.faceCount));
            EXPECT_EQ(o.normals.size(), o.vertices.size());
            for (const Face3ds& f : o.faces)
                for (int v : f.vertexIndex) EXPECT_LT(v, o.vertexCount);
        }
    // 1000 vertices claimed with 1 held; 500 faces claimed with 1 held that
    // names vertex 1200; then a chunk of length 2.
    Chunk faces{0x4120, {}, {}};
    for (int v : {500, 0, 0, 1200, 0}) put16(faces.payload, v);
    Bytes bytes = file({object("liar", {{0x4110, floats({1, 2, 3}, 1000), {}}, faces})}).bytes();
    bytes.insert(bytes.end(), {0x10, 0x41, 2, 0, 0, 0});
    Model3ds m = import(bytes);
    ASSERT_EQ(1, m.objectCount);
    EXPECT_EQ(values(1000, 2, 0), values(m.objects[0].vertexCount, m.objects[0].vertices[0].y, m.objects[0].faceCount));
    // Names longer than their fields, without a terminator.
    m = import(file({{0xAFFF, {}, {{0xA000, Bytes(600, 'n'), {}}, {0xA300, Bytes(300, 'f'), {}}}}}).bytes());
    ASSERT_EQ(1, m.materialCount);
    EXPECT_EQ(values(254, 254), values(std::strlen(m.materials[0].name), std::strlen(m.materials[0].mapFile)));
    // Lengths above the parent's.
    EXPECT_LE(import({0x4D, 0x4D, 0xFF, 0xFF, 0xFF, 0x7F, 0x3D, 0x3D, 1, 0, 0, 0, 0, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 'x'})
                  .objectCount,
              1);
    // 200,000 nested editor blocks: cut off without exhausting the stack.
    const Bytes triangle = kTriangle.bytes();
    const uint32_t levels = 200000;
    bytes.clear();
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
