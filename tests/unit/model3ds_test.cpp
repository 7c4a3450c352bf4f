#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "models3ds/reader3ds.h"
#include "platform/testing/test_platform.h"
#include "support.h"

namespace {

Bytes vertexList(std::initializer_list<float> xyz) {
    Bytes b;
    put16(b, static_cast<uint32_t>(xyz.size() / 3));
    for (float f : xyz) putFloat(b, f);
    return b;
}

Bytes faceList(std::initializer_list<int> abc) {
    Bytes b;
    put16(b, static_cast<uint32_t>(abc.size() / 3));
    int k = 0;
    for (int v : abc) {
        put16(b, v);
        if (++k % 3 == 0) put16(b, 7);
    }
    return b;
}

Chunk group(const std::string& material, std::initializer_list<int> faces) {
    Chunk c{0x4130, cString(material), {}};
    put16(c.payload, static_cast<uint32_t>(faces.size()));
    for (int f : faces) put16(c.payload, f);
    return c;
}

Chunk material(const std::string& name, Bytes colour, const std::string& map = "") {
    Chunk m{0xAFFF, {}, {{0xA000, cString(name), {}}, {0xA020, {}, {{0x0011, colour, {}}}}}};
    if (!map.empty()) m.children.push_back({0xA200, {}, {{0xA300, cString(map), {}}}});
    return m;
}

Chunk object(const std::string& name, std::vector<Chunk> meshChildren) {
    return {0x4000, cString(name), {{0x4100, {}, meshChildren}}};
}

Chunk file(std::vector<Chunk> editorChildren, int version = 3) {
    Bytes v;
    put32(v, version);
    editorChildren.insert(editorChildren.begin(), Chunk{0x3D3E, {3, 0, 0, 0}, {}});
    return {0x4D4D, {}, {{0x0002, v, {}}, {0x3D3D, {}, editorChildren}}};
}

Model3ds import(const Bytes& bytes) {
    Model3ds model;
    Loader3ds loader;
    loader.importBytes(model, bytes.data(), bytes.size(), "test.3ds");
    return model;
}

void expectVec(Vec3 expected, Vec3 actual, float tolerance = 1e-5f) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

class Reader3dsTest : public testing::Test {
protected:
    void SetUp() override { testplatform::reset(); }
};

const Chunk kTriangle = object("tri", {{0x4110, vertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), {}},
                                       {0x4120, faceList({0, 1, 2}), {}}});

}  // namespace

TEST_F(Reader3dsTest, ReadsMaterialsObjectsAndFaceGroupsInsideTheFaceList) {
    Chunk faces{0x4120, faceList({0, 1, 2, 0, 2, 3}), {group("paint", {0}), group("skin", {1}), {0x4150, {0, 0, 0, 0, 0, 0, 0, 0}, {}}}};
    Bytes uv;
    put16(uv, 4);
    for (float f : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f}) putFloat(uv, f);
    const Model3ds m = import(file({material("paint", {10, 20, 30}), material("skin", {200, 100, 50}, "skin.tga"),
                                    object("quad", {{0x4110, vertexList({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), {}},
                                                    {0x4140, uv, {}}, faces})})
                                  .bytes());
    EXPECT_TRUE(testplatform::boxes.empty());
    ASSERT_EQ(2, m.materialCount);
    EXPECT_STREQ("paint", m.materials[0].name);
    EXPECT_EQ(30, m.materials[0].color[2]);
    EXPECT_STREQ("", m.materials[0].mapFile);
    EXPECT_STREQ("skin.tga", m.materials[1].mapFile);
    EXPECT_EQ(200, m.materials[1].color[0]);
    ASSERT_EQ(1, m.objectCount);
    const Object3ds& o = m.objects[0];
    EXPECT_STREQ("quad", o.name);
    EXPECT_EQ(4, o.vertexCount);
    EXPECT_EQ(2, o.faceCount);
    EXPECT_EQ(4, o.texCoordCount);
    EXPECT_FLOAT_EQ(1.0f, o.texCoords[2].v);
    EXPECT_EQ(3, o.faces[1].vertexIndex[2]);
    EXPECT_EQ(0, o.faces[1].texCoordIndex[0]);
    // The last group that matched names the material; a texture once seen stays.
    EXPECT_EQ(1, o.materialIndex);
    EXPECT_TRUE(o.hasTexture);
}

TEST_F(Reader3dsTest, GroupsChooseTheFirstOfEqualNamesAndTextureStaysOn) {
    const Model3ds m = import(
        file({material("a", {1, 1, 1}, "a.tga"), material("b", {2, 2, 2}), material("b", {3, 3, 3}),
              object("o", {{0x4110, vertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), {}},
                           {0x4120, faceList({0, 1, 2}), {group("a", {0}), group("b", {0}), group("nobody", {0})}}}),
              kTriangle})
            .bytes());
    ASSERT_EQ(2, m.objectCount);
    EXPECT_EQ(1, m.objects[0].materialIndex);
    EXPECT_TRUE(m.objects[0].hasTexture);
    EXPECT_EQ(0, m.objects[1].materialIndex);
    EXPECT_FALSE(m.objects[1].hasTexture);
}

TEST_F(Reader3dsTest, EditorBlockWithoutItsVersionChunkLosesNothing) {
    // Every other test's file has the mesh-version chunk first; exporters
    // that leave it out put a material or an object there.
    for (const bool materialFirst : {true, false}) {
        std::vector<Chunk> children = {kTriangle, kTriangle};
        children.insert(children.begin() + (materialFirst ? 0 : 1), material("m", {1, 2, 3}));
        const Chunk c{0x4D4D, {}, {{0x3D3D, {}, children}, {0xB000, {1, 2, 3}, {}}}};
        const Model3ds m = import(c.bytes());
        EXPECT_EQ(2, m.objectCount);
        ASSERT_EQ(1, m.materialCount);
        EXPECT_EQ(3, m.materials[0].color[2]);
    }
}

TEST_F(Reader3dsTest, ColourIsReadByItsKindAndLaterSubChunksAreSiblings) {
    // The first colour sub-chunk gives the colour; the one after it is met
    // by the material walk, so a name there renames the material.
    Chunk mat = material("m", {9, 8, 7});
    mat.children[1].children.push_back({0xA000, cString("renamed"), {}});
    mat.children.push_back({0xA300, cString("late.tga"), {}});
    Model3ds m = import(file({mat}).bytes());
    ASSERT_EQ(1, m.materialCount);
    EXPECT_EQ(9, m.materials[0].color[0]);
    EXPECT_EQ(7, m.materials[0].color[2]);
    EXPECT_STREQ("renamed", m.materials[0].name);
    EXPECT_STREQ("late.tga", m.materials[0].mapFile);
    // Floats, linear or gamma-corrected, are scaled; a percentage is no colour.
    for (const uint16_t id : {0x0010, 0x0013}) {
        Bytes rgb;
        for (float f : {1.0f, 0.5f, -2.0f}) putFloat(rgb, f);
        mat = material("f", {});
        mat.children[1].children[0] = {id, rgb, {}};
        m = import(file({mat}).bytes());
        EXPECT_EQ(255, m.materials[0].color[0]);
        EXPECT_EQ(128, m.materials[0].color[1]);
        EXPECT_EQ(0, m.materials[0].color[2]);
    }
    mat = material("p", {});
    mat.children[1].children[0] = {0x0030, {40, 0}, {}};
    m = import(file({mat}).bytes());
    EXPECT_EQ(0, m.materials[0].color[0] | m.materials[0].color[1] | m.materials[0].color[2]);
}

TEST_F(Reader3dsTest, VersionAboveThreeWarnsOnceAndStillLoads) {
    EXPECT_EQ(1, import(file({kTriangle}, 3).bytes()).objectCount);
    EXPECT_TRUE(testplatform::boxes.empty());
    const Model3ds m = import(file({kTriangle}, 4).bytes());
    EXPECT_EQ(1, m.objectCount);
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Warning", testplatform::boxes[0].caption);
    EXPECT_EQ("This 3DS file is over version 3 so it may load incorrectly", testplatform::boxes[0].text);
}

TEST_F(Reader3dsTest, WrongPrimaryAndMissingFileLeaveTheModelEmpty) {
    Chunk c = file({kTriangle});
    c.id = 0x4D4C;
    Model3ds m = import(c.bytes());
    EXPECT_EQ(0, m.objectCount);
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error", testplatform::boxes[0].caption);
    EXPECT_EQ("Unable to load PRIMARY chuck from file: test.3ds!", testplatform::boxes[0].text);
    testplatform::reset();
    Loader3ds loader;
    loader.import(m, "/nonexistent/ball.3ds");
    EXPECT_EQ(0, m.objectCount);
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Unable to find the file: /nonexistent/ball.3ds!", testplatform::boxes[0].text);
}

TEST_F(Reader3dsTest, NormalsAreAreaWeightedAndCounterClockwise) {
    Model3ds m = import(file({kTriangle}).bytes());
    for (const Vec3& n : m.objects[0].normals) expectVec({0, 0, 1}, n);
    // A flat square of two triangles: the same normal at all four corners.
    m = import(file({object("sq", {{0x4110, vertexList({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), {}},
                                   {0x4120, faceList({0, 1, 2, 0, 2, 3}), {}}})})
                   .bytes());
    for (const Vec3& n : m.objects[0].normals) expectVec({0, 0, 1}, n);
    // Vertex 0 shared by a large triangle facing +z and a small one facing +x.
    m = import(file({object("w", {{0x4110, vertexList({0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0.5f, 0, 0, 0, 0.5f}), {}},
                                  {0x4120, faceList({0, 1, 2, 0, 3, 4}), {}}})})
                   .bytes());
    const Vec3 n = m.objects[0].normals[0];
    // Areas 8 and 0.125: the sum (0.25, 0, 16) normalised.
    expectVec(normalise({0.25f, 0, 16}), n);
    expectVec({1, 0, 0}, m.objects[0].normals[3]);
}

TEST_F(Reader3dsTest, FilesOtherToolsWriteLoad) {
    // Chunks a modelling tool writes beside ours: master scale, ambient and
    // specular colours with linear variants, shininess, a local axis matrix,
    // smoothing groups and a keyframer.
    Bytes scale;
    putFloat(scale, 1.0f);
    Bytes axis(48, 0);
    Chunk mat = material("Material #1", {180, 20, 20}, "BALL.TGA");
    mat.children.insert(mat.children.begin() + 1, Chunk{0xA010, {}, {{0x0011, {50, 5, 5}, {}}, {0x0012, {50, 5, 5}, {}}}});
    mat.children.push_back({0xA030, {}, {{0x0011, {255, 255, 255}, {}}}});
    mat.children.push_back({0xA040, {}, {{0x0030, {40, 0}, {}}}});
    Chunk faces{0x4120, faceList({0, 1, 2}), {group("Material #1", {0}), {0x4150, {1, 0, 0, 0}, {}}}};
    Chunk obj{0x4000, cString("Sphere01"),
              {{0x4100, {}, {{0x4110, vertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), {}}, {0x4160, axis, {}}, faces}}}};
    Chunk c = file({{0x0100, scale, {}}, mat, obj});
    c.children.push_back({0xB000, {}, {{0xB00A, {5, 0, 0, 0}, {}}, {0xB002, {1, 2, 3, 4, 5, 6}, {}}}});
    const Model3ds m = import(c.bytes());
    EXPECT_TRUE(testplatform::boxes.empty());
    ASSERT_EQ(1, m.materialCount);
    EXPECT_EQ(180, m.materials[0].color[0]);  // the diffuse colour, not the ambient one
    EXPECT_STREQ("BALL.TGA", m.materials[0].mapFile);
    ASSERT_EQ(1, m.objectCount);
    EXPECT_TRUE(m.objects[0].hasTexture);
    EXPECT_EQ(1, m.objects[0].faceCount);
}

TEST_F(Reader3dsTest, TruncatedFilesAlwaysTerminate) {
    const Bytes whole =
        file({material("paint", {1, 2, 3}, "p.tga"),
              object("o", {{0x4110, vertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), {}},
                           {0x4120, faceList({0, 1, 2}), {group("paint", {0})}}})})
            .bytes();
    for (size_t n = 0; n <= whole.size(); ++n) {
        const Model3ds m = import(Bytes(whole.begin(), whole.begin() + n));
        for (const Object3ds& o : m.objects) {
            EXPECT_EQ(o.faces.size(), static_cast<size_t>(o.faceCount));
            EXPECT_EQ(o.normals.size(), o.vertices.size());
            for (const Face3ds& f : o.faces)
                for (int v : f.vertexIndex) EXPECT_LT(v, o.vertexCount);
        }
    }
}

TEST_F(Reader3dsTest, LyingLengthsAndCountsStayInsideTheirChunks) {
    // A vertex list claiming 1000 vertices holding 1; a face list claiming
    // 500 faces holding 1 that names vertex 9; a chunk of length 2; a child
    // longer than its parent.
    Bytes vertices;
    put16(vertices, 1000);
    for (float f : {1.f, 2.f, 3.f}) putFloat(vertices, f);
    Bytes faces;
    put16(faces, 500);
    for (int v : {0, 0, 1200, 0}) put16(faces, v);
    Bytes tiny = {0x10, 0x41, 2, 0, 0, 0};
    Chunk obj = object("liar", {{0x4110, vertices, {}}, {0x4120, faces, {}}});
    Bytes bytes = file({obj}).bytes();
    bytes.insert(bytes.end(), tiny.begin(), tiny.end());
    Model3ds m = import(bytes);
    ASSERT_EQ(1, m.objectCount);
    EXPECT_EQ(1000, m.objects[0].vertexCount);
    EXPECT_FLOAT_EQ(2.0f, m.objects[0].vertices[0].y);
    EXPECT_EQ(0, m.objects[0].faceCount);  // its one face names a vertex it lacks

    // Names longer than their fields, without a terminator.
    Chunk named{0xAFFF, {}, {{0xA000, Bytes(600, 'n'), {}}, {0xA300, Bytes(300, 'f'), {}}}};
    m = import(file({named}).bytes());
    ASSERT_EQ(1, m.materialCount);
    EXPECT_EQ(254u, std::string(m.materials[0].name).size());
    EXPECT_EQ(254u, std::string(m.materials[0].mapFile).size());

    // Chunk lengths below the header and above the parent.
    Bytes wild = {0x4D, 0x4D, 0xFF, 0xFF, 0xFF, 0x7F, 0x3D, 0x3D, 1, 0, 0, 0, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 'x'};
    m = import(wild);
    EXPECT_LE(m.objectCount, 1);
}

TEST_F(Reader3dsTest, DeepNestingIsCutOffWithoutExhaustingTheStack) {
    // 200,000 editor blocks, each holding an unknown chunk and the next.
    const Bytes triangle = kTriangle.bytes();
    const uint32_t levels = 200000;
    Bytes bytes;
    put16(bytes, 0x4D4D);
    put32(bytes, 6 + 12 * levels + static_cast<uint32_t>(triangle.size()));
    for (uint32_t k = 0; k < levels; ++k) {
        put16(bytes, 0x3D3D);
        put32(bytes, 12 * (levels - k) + static_cast<uint32_t>(triangle.size()));
        put16(bytes, 0x0001);
        put32(bytes, 6);
    }
    bytes.insert(bytes.end(), triangle.begin(), triangle.end());
    const Model3ds m = import(bytes);
    EXPECT_EQ(0, m.objectCount);
    // Within the limit the object is found.
    EXPECT_EQ(1, import(file({kTriangle}).bytes()).objectCount);
}
