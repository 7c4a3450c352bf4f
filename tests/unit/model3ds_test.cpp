#include <algorithm>

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

std::tuple<int, int, int> colour(const Material3ds& m) { return {m.color[0], m.color[1], m.color[2]}; }

const Chunk kTriangle = object("tri", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}});

}  // namespace

TEST(Reader3ds, ReadsMaterialsObjectsAndGroupsAmongOtherToolsChunks) {
    // Beside ours: master scale, an ambient colour before the diffuse one,
    // specular and shininess, smoothing groups, a local axis and a keyframer.
    Chunk paint = material3ds("paint", rgb(10, 20, 30));
    paint.children.insert(paint.children.begin() + 1, Chunk{0xA010, {}, {rgb(50, 5, 5), {0x0012, {50, 5, 5}, {}}}});
    paint.children.push_back({0xA030, {}, {rgb(255, 255, 255)}});
    paint.children.push_back({0xA040, {}, {{0x0030, {40, 0}, {}}}});
    // Its third face names the vertex past the last, and is dropped.
    Chunk quad = object("quad", {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2}, {0, 2, 3}, {1, 2, 4}},
                        {{0x4140, floatList(4, {0, 0, 1, 0, 1, 1, 0, 1}), {}}, {0x4160, Bytes(48, 0), {}}});
    quad.children[0].children[1].children = {faceGroup("paint", {0}), faceGroup("b", {1}), faceGroup("nobody", {1}),
                                             {0x4150, Bytes(8, 0), {}}};
    Chunk c = file({{0x0100, floatList(1, {}), {}}, paint, material3ds("skin", rgb(200, 100, 50), "skin.tga"),
                    material3ds("b", rgb(2, 2, 2), "b.tga"), material3ds("b", rgb(3, 3, 3)), quad, kTriangle});
    c.children.push_back({0xB000, {}, {{0xB00A, {5, 0, 0, 0}, {}}, {0xB002, {1, 2, 3, 4, 5, 6}, {}}}});
    const Model3ds m = import(c.bytes());
    EXPECT_EQ("", shownBoxes());
    ASSERT_EQ(std::pair(4, 2), std::pair(m.materialCount, m.objectCount));
    EXPECT_EQ(std::tuple(10, 20, 30), colour(m.materials[0])) << "the diffuse colour, not the ambient one";
    EXPECT_STREQ("skin.tga", m.materials[1].mapFile);
    const Object3ds& o = m.objects[0];
    EXPECT_STREQ("quad", o.name);
    ASSERT_EQ(std::tuple(4, 2, 4), std::tuple(o.vertexCount, o.faceCount, o.texCoordCount));
    EXPECT_EQ(1, o.texCoords[2].v);
    EXPECT_EQ(std::tuple(0, 2, 3), std::tuple(o.faces[1].vertexIndex[0], o.faces[1].vertexIndex[1], o.faces[1].vertexIndex[2]));
    // The last group that matched names the material (the first of equal names); a texture once seen stays.
    EXPECT_EQ(std::pair(2, true), std::pair(o.materialIndex, o.hasTexture));
    EXPECT_EQ(std::pair(0, false), std::pair(m.objects[1].materialIndex, m.objects[1].hasTexture));
}

TEST(Reader3ds, ChunksAreKnownByTheirIdsNotTheirPlaces) {
    for (const bool materialFirst : {true, false}) {  // without the mesh-version chunk
        std::vector<Chunk> children = {kTriangle, kTriangle};
        children.insert(children.begin() + (materialFirst ? 0 : 1), material3ds("m", rgb(1, 2, 3)));
        const Model3ds m = import(Chunk{0x4D4D, {}, {{0x3D3D, {}, children}, {0xB000, {1, 2, 3}, {}}}}.bytes());
        EXPECT_EQ(std::pair(2, 1), std::pair(m.objectCount, m.materialCount)) << materialFirst;
    }
    Chunk mat = material3ds("m", rgb(9, 8, 7));  // a colour's first sub-chunk gives it; later ones are the material's
    mat.children[1].children.push_back({0xA000, cString("renamed"), {}});
    const Model3ds m = import(file({mat}).bytes());
    EXPECT_EQ(std::tuple(9, 8, 7), colour(m.materials[0]));
    EXPECT_STREQ("renamed", m.materials[0].name);
}

TEST(Reader3ds, FloatColoursAreScaledToBytesAndAColourCutShortIsNone) {
    // Floats, linear or gamma-corrected, are scaled; a percentage or a float
    // colour cut short is no colour; one the file's end cuts off reads zeros, never the stack's bytes.
    const auto floats = [](uint16_t id, std::vector<float> v) {
        Chunk c{id, {}, {}};
        for (float f : v) putFloat(c.payload, f);
        return c;
    };
    const std::tuple<Chunk, size_t, std::tuple<int, int, int>> kinds[] = {
        {floats(0x0010, {1, 0.5f, -2}), 0, {255, 128, 0}}, {floats(0x0013, {0.2f, 1, 3}), 0, {51, 255, 255}},
        {{0x0030, {40, 0}, {}}, 0, {0, 0, 0}}, {floats(0x0010, {1, 1}), 0, {0, 0, 0}},
        {floats(0x0010, {1, 1, 1}), 4, {255, 255, 0}}};
    for (const auto& [chunk, cut, expected] : kinds) {
        Bytes bytes = file({material3ds("f", chunk)}).bytes();
        bytes.resize(bytes.size() - cut);
        EXPECT_EQ(expected, colour(import(bytes).materials[0])) << chunk.id << " cut by " << cut;
    }
}

TEST(Reader3ds, DeepNestingIsCutOffWithoutExhaustingTheStack) {
    Bytes bytes;  // 200,000 nested editor blocks (other lies are the fuzz target's)
    const Bytes triangle = kTriangle.bytes();
    const uint32_t levels = 200000, rest = static_cast<uint32_t>(triangle.size());
    put16(bytes, 0x4D4D);
    put32(bytes, 6 + 12 * levels + rest);
    for (uint32_t k = 0; k < levels; ++k) put16(bytes, 0x3D3D), put32(bytes, 12 * (levels - k) + rest), put16(bytes, 1), put32(bytes, 6);
    bytes.insert(bytes.end(), triangle.begin(), triangle.end());
    EXPECT_EQ(0, import(bytes).objectCount);
}

TEST(Reader3ds, AVertexListClaimingMoreThanItHoldsKeepsItsCountTheRestAtTheOrigin) {
    Chunk tri = kTriangle;
    tri.children[0].children[0] = {0x4110, floatList(5, {0, 0, 0, 1, 0, 0, 0, 1, 0}), {}};
    const Model3ds m = import(file({tri}).bytes());
    ASSERT_EQ(std::pair(1, 5), std::pair(m.objectCount, m.objects[0].vertexCount));
    EXPECT_EQ(std::tuple(1.0f, 0.0f, 0.0f, 0.0f), std::tuple(m.objects[0].vertices[1].x, m.objects[0].vertices[4].x,
                                                             m.objects[0].vertices[4].y, m.objects[0].vertices[4].z));
}

TEST(Reader3ds, AChunkClaimingMoreThanItsParentHoldsLeavesTheObjectsAfterIt) {
    Bytes bytes = file({kTriangle, kTriangle}).bytes();
    // The first object's mesh claims 1000 bytes more than its object holds.
    const uint8_t mesh[] = {'t', 'r', 'i', 0, 0x00, 0x41};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(mesh), std::end(mesh)) + 6;
    Bytes length;
    put32(length, 1000 + (at[0] | at[1] << 8));
    std::copy(length.begin(), length.end(), at);
    EXPECT_EQ(2, import(bytes).objectCount);
}
