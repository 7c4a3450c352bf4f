#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

#include "md2/md2.h"
#include "platform/testing/test_platform.h"
#include "support.h"

namespace {

struct Md2Layout {
    int version = 8;
    int magic = 0x32504449;
    int skinWidth = 256, skinHeight = 128;
    std::vector<std::string> names = {"stand01"};
    std::vector<std::array<uint8_t, 3>> vertices = {{10, 20, 30}, {0, 0, 0}, {255, 255, 255}};
    std::vector<std::pair<int, int>> texCoords = {{64, 32}, {0, 0}, {256, 128}};
    std::vector<std::array<int, 6>> triangles = {{0, 1, 2, 0, 1, 2}};
    float scale[3] = {1, 1, 1};
    float translate[3] = {0, 0, 0};
    int glCommands = 0;
};

// An MD2 file as the format lays it out, with skins and GL commands as other
// tools write them. Frame f moves every vertex by f along file x.
Bytes md2File(const Md2Layout& s) {
    const int vertexCount = static_cast<int>(s.vertices.size());
    const int frameSize = 40 + 4 * vertexCount;
    const int skins = 68, tex = skins + 64, tri = tex + 4 * static_cast<int>(s.texCoords.size());
    const int frames = tri + 12 * static_cast<int>(s.triangles.size());
    const int gl = frames + frameSize * static_cast<int>(s.names.size());
    const int end = gl + 4 * s.glCommands;
    Bytes b;
    for (int v : {s.magic, s.version, s.skinWidth, s.skinHeight, frameSize, 1, vertexCount,
                  static_cast<int>(s.texCoords.size()), static_cast<int>(s.triangles.size()), s.glCommands,
                  static_cast<int>(s.names.size()), skins, tex, tri, frames, gl, end})
        put32(b, static_cast<uint32_t>(v));
    Bytes skin(64, 0);
    std::memcpy(skin.data(), "models/skin.pcx", 15);
    b.insert(b.end(), skin.begin(), skin.end());
    for (const auto& st : s.texCoords) {
        put16(b, st.first);
        put16(b, st.second);
    }
    for (const auto& t : s.triangles)
        for (int k : t) put16(b, static_cast<uint32_t>(k));
    for (size_t f = 0; f < s.names.size(); ++f) {
        for (float v : s.scale) putFloat(b, v);
        putFloat(b, s.translate[0] + static_cast<float>(f));
        putFloat(b, s.translate[1]);
        putFloat(b, s.translate[2]);
        Bytes name(16, 0);
        std::memcpy(name.data(), s.names[f].data(), std::min<size_t>(16, s.names[f].size()));
        b.insert(b.end(), name.begin(), name.end());
        for (const auto& v : s.vertices) {
            b.insert(b.end(), v.begin(), v.end());
            b.push_back(0);
        }
    }
    for (int i = 0; i < s.glCommands; ++i) put32(b, 0);
    return b;
}

bool importLayout(Md2Model& model, const Md2Layout& layout) {
    const Bytes bytes = md2File(layout);
    return model.importBytes(bytes.data(), bytes.size(), "weapon.md2");
}

std::vector<std::string> numbered(const std::string& base, int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) names.push_back(base + (i < 10 ? "0" : "") + std::to_string(i));
    return names;
}

class Md2Test : public testing::Test {
protected:
    void SetUp() override { testplatform::reset(); }
};

}  // namespace

TEST_F(Md2Test, VerticesSwapAxesAndTexCoordsDivideByTheSkin) {
    Md2Layout layout;
    layout.magic = 12345;  // not checked
    layout.glCommands = 3;
    Md2Model m;
    ASSERT_TRUE(importLayout(m, layout));
    EXPECT_TRUE(testplatform::boxes.empty());
    ASSERT_EQ(1, m.model.objectCount);
    EXPECT_EQ(1, m.model.materialCount);
    const Object3ds& o = m.model.objects[0];
    EXPECT_EQ(3, o.vertexCount);
    EXPECT_EQ(1, o.faceCount);
    EXPECT_EQ(3, o.texCoordCount);
    EXPECT_FLOAT_EQ(10, o.vertices[0].x);
    EXPECT_FLOAT_EQ(30, o.vertices[0].y);
    EXPECT_FLOAT_EQ(-20, o.vertices[0].z);
    EXPECT_FLOAT_EQ(0.25f, o.texCoords[0].u);
    EXPECT_FLOAT_EQ(0.75f, o.texCoords[0].v);
    EXPECT_EQ(2, o.faces[0].vertexIndex[2]);
    EXPECT_EQ(2, o.faces[0].texCoordIndex[2]);
}

TEST_F(Md2Test, ScaleAndTranslateApplyPerFrameAndOnlyFrameZeroHasTriangles) {
    Md2Layout layout;
    layout.names = {"a01", "a02"};
    layout.scale[0] = 0.5f;
    layout.scale[1] = 2;
    layout.scale[2] = 3;
    layout.translate[1] = 1;
    layout.translate[2] = -4;
    Md2Model m;
    ASSERT_TRUE(importLayout(m, layout));
    const Object3ds& second = m.model.objects[1];
    EXPECT_FLOAT_EQ(0.5f * 10 + 1, second.vertices[0].x);
    EXPECT_FLOAT_EQ(3 * 30 - 4, second.vertices[0].y);
    EXPECT_FLOAT_EQ(-(2 * 20 + 1), second.vertices[0].z);
    EXPECT_TRUE(second.faces.empty());
    EXPECT_TRUE(second.texCoords.empty());
    EXPECT_EQ(1, second.faceCount);
}

TEST_F(Md2Test, FrameNamesSplitOnTheirLastTwoCharacters) {
    struct Case {
        const char* name;
        const char* base;
        int number;
    } cases[] = {{"run01", "run", 1}, {"stand10", "stand", 10}, {"pain101", "pain1", 1}, {"idle", "idle", 0},
                 {"x", "x", 0}, {"7", "7", 0}, {"a9b", "a", 9}, {"", "", 0}};
    for (const Case& c : cases) {
        char base[256];
        int number = -1;
        splitFrameName(c.name, base, sizeof base, number);
        EXPECT_STREQ(c.base, base) << c.name;
        EXPECT_EQ(c.number, number) << c.name;
    }
}

TEST_F(Md2Test, RunsOfBaseNamesBecomeAnimations) {
    Md2Layout layout;
    layout.names = {"a01", "a02", "b01", "b02", "b03", "solo01"};
    Md2Model m;
    ASSERT_TRUE(importLayout(m, layout));
    ASSERT_EQ(3, m.model.animationCount);
    EXPECT_STREQ("a", m.model.animations[0].name);
    EXPECT_EQ(0, m.model.animations[0].startFrame);
    EXPECT_EQ(2, m.model.animations[0].endFrame);
    EXPECT_STREQ("b", m.model.animations[1].name);
    EXPECT_EQ(2, m.model.animations[1].startFrame);
    EXPECT_EQ(5, m.model.animations[1].endFrame);
    EXPECT_EQ(5, m.model.animations[2].startFrame);
    EXPECT_EQ(6, m.model.animations[2].endFrame);
}

TEST_F(Md2Test, FixedTableOverridesTheFirstTwentyEntries) {
    Md2Layout layout;
    layout.names.clear();
    for (int run = 0; run < 22; ++run) {
        const auto names = numbered(std::string("r") + static_cast<char>('a' + run), 9);
        layout.names.insert(layout.names.end(), names.begin(), names.end());
    }
    TempFile file(md2File(layout), "many.md2");
    Md2Model m;
    m.load(file.path());
    ASSERT_EQ(22, m.model.animationCount);
    EXPECT_EQ(0, m.model.animations[0].startFrame);
    EXPECT_EQ(40, m.model.animations[0].endFrame);
    EXPECT_EQ(190, m.model.animations[19].startFrame);
    EXPECT_EQ(198, m.model.animations[19].endFrame);
    EXPECT_STREQ("rt", m.model.animations[19].name);  // names stay as built
    EXPECT_EQ(180, m.model.animations[20].startFrame);  // later entries keep their own
    EXPECT_EQ(189, m.model.animations[20].endFrame);
    // Fewer runs than entries: the table still has all twenty.
    Md2Layout few;
    few.names = numbered("idle", 3);
    TempFile small(md2File(few), "few.md2");
    Md2Model n;
    n.load(small.path());
    EXPECT_EQ(1, n.model.animationCount);
    ASSERT_EQ(20u, n.model.animations.size());
    EXPECT_EQ(84, n.model.animations[8].startFrame);
}

TEST_F(Md2Test, WrongVersionAndMissingFileLoadNothing) {
    Md2Layout layout;
    layout.version = 7;
    TempFile file(md2File(layout), "old.md2");
    Md2Model m;
    m.load(file.path());
    EXPECT_TRUE(m.model.objects.empty());
    EXPECT_TRUE(m.model.animations.empty());
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Error", testplatform::boxes[0].caption);
    EXPECT_EQ(std::string("Invalid file format (Version not 8): ") + file.path() + "!", testplatform::boxes[0].text);
    testplatform::reset();
    EXPECT_FALSE(m.import("/nonexistent/Weapon.md2"));
    ASSERT_EQ(1u, testplatform::boxes.size());
    EXPECT_EQ("Unable to find the file: /nonexistent/Weapon.md2!", testplatform::boxes[0].text);
}

TEST_F(Md2Test, CorruptFilesAreRefusedWhole) {
    auto refused = [](Md2Layout layout, const std::function<void(Bytes&)>& damage) {
        Bytes bytes = md2File(layout);
        damage(bytes);
        testplatform::reset();
        Md2Model m;
        const bool ok = m.importBytes(bytes.data(), bytes.size(), "bad.md2");
        return !ok && m.model.objects.empty() && testplatform::boxes.size() == 1 &&
               testplatform::boxes[0].text == "Invalid file format (Corrupt data): bad.md2!";
    };
    const Md2Layout good;
    auto field = [](Bytes& b, int index, int32_t value) {
        for (int k = 0; k < 4; ++k) b[4 * index + k] = static_cast<uint8_t>(value >> (8 * k));
    };
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 4, 8324); }));        // frame past the buffer
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 4, 20); }));          // frame smaller than its vertices
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 14, 1 << 30); }));    // frames outside the file
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 10, -1); }));         // negative count
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 12, -8); }));         // negative offset
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 7, 100000); }));      // texcoords past the end
    EXPECT_TRUE(refused(good, [&](Bytes& b) { field(b, 2, 0); }));           // zero skin width
    Md2Layout badIndex;
    badIndex.triangles = {{0, 1, 3, 0, 1, 2}};
    EXPECT_TRUE(refused(badIndex, [](Bytes&) {}));
    badIndex.triangles = {{0, 1, 2, 0, 1, -1}};
    EXPECT_TRUE(refused(badIndex, [](Bytes&) {}));
    // A name that fills all 16 bytes is cut, not overrun.
    Md2Layout longName;
    longName.names = {"abcdefghijklmnop"};
    Md2Model m;
    ASSERT_TRUE(importLayout(m, longName));
    EXPECT_EQ(1, m.model.animationCount);
    EXPECT_STREQ("abcdefghijklmnop", m.model.animations[0].name);
    // No skins and no GL commands: their offsets, whatever they say, are moot.
    Bytes bare = md2File(good);
    field(bare, 5, 0);
    field(bare, 11, 1 << 30);
    field(bare, 9, 0);
    field(bare, 15, -5);
    EXPECT_TRUE(m.importBytes(bare.data(), bare.size(), "bare.md2"));
}

TEST_F(Md2Test, TruncatedFilesNeverLoadPartly) {
    Md2Layout layout;
    layout.names = numbered("idle", 5);
    const Bytes whole = md2File(layout);
    for (size_t n = 0; n < whole.size(); ++n) {
        Md2Model m;
        EXPECT_FALSE(m.importBytes(whole.data(), n, "cut.md2")) << n;
        EXPECT_TRUE(m.model.objects.empty());
    }
    Md2Model m;
    EXPECT_TRUE(m.importBytes(whole.data(), whole.size(), "whole.md2"));
}

// Playback against explicit tick counts, as draw() advances it.
class PlaybackTest : public Md2Test {
protected:
    Md2Model m;
    void SetUp() override {
        Md2Test::SetUp();
        Md2Layout layout;
        layout.names = numbered("frame", 60);
        ASSERT_TRUE(importLayout(m, layout));
        m.applyFixedTable();
    }
    int32_t from = -1, to = -1;
    float blend = -1;
    void at(uint32_t now, int selector = Md2Model::kContinue) { ASSERT_TRUE(m.advance(selector, now, from, to, blend)); }
};

TEST_F(PlaybackTest, AnimationZeroLoopsEveryFourSeconds) {
    at(5000);  // time counts from the first draw
    EXPECT_EQ(0, from);
    EXPECT_EQ(1, to);
    EXPECT_FLOAT_EQ(0.0f, blend);
    std::vector<int> seen;
    for (uint32_t t = 5100; t <= 5000 + 4100; t += 100) {
        at(t);
        seen.push_back(from);
    }
    for (int i = 0; i < 40; ++i) EXPECT_EQ(i, seen[i]);
    EXPECT_EQ(0, seen[40]);
}

TEST_F(PlaybackTest, BlendFollowsTimeAndOnlyOneSwitchHappensPerDraw) {
    at(1000);
    at(1050);
    EXPECT_EQ(0, from);
    EXPECT_FLOAT_EQ(0.5f, blend);
    at(1100);  // switches, but draws with the frames of before
    EXPECT_EQ(0, from);
    EXPECT_FLOAT_EQ(1.0f, blend);
    at(1350);  // a slow frame: f beyond 1, then one switch only
    EXPECT_EQ(1, from);
    EXPECT_EQ(2, to);
    EXPECT_FLOAT_EQ(2.5f, blend);
    at(1360);
    EXPECT_EQ(2, from);
}

TEST_F(PlaybackTest, LastFrameOfARangeWrapsToItsStart) {
    at(0, 1);  // animation 1: frames 40 to 45
    at(100);
    EXPECT_EQ(40, m.model.currentFrame);
    for (uint32_t t = 200; t <= 600; t += 100) at(t);
    EXPECT_EQ(45, m.model.currentFrame);
    at(700);
    EXPECT_EQ(45, from);
    EXPECT_EQ(40, to);
}

TEST_F(PlaybackTest, SelectingHoldsTheNextFrameAtTheNewStart) {
    at(0);
    at(100);
    at(200);
    EXPECT_EQ(2, m.model.currentFrame);
    at(1000, 2);  // select animation 2 (frames 46 to 53) at T = 1000
    EXPECT_EQ(2, from);
    EXPECT_EQ(46, to);
    at(1060);
    EXPECT_EQ(46, to);
    EXPECT_FLOAT_EQ(0.6f, blend);
    at(1100);
    EXPECT_EQ(46, m.model.currentFrame);
    at(1150);
    EXPECT_EQ(46, from);
    EXPECT_EQ(47, to);
}

TEST_F(PlaybackTest, RangesBeyondTheModelAndBadSelectorsStaySafe) {
    // Entry 19 names frames 190 to 197 of a 60-frame model.
    at(0, 19);
    at(100);
    EXPECT_EQ(0, m.model.currentFrame);
    at(200, 500);  // not an animation: playback continues
    EXPECT_GE(to, 0);
    EXPECT_LT(to, 60);
    Md2Model empty;
    EXPECT_FALSE(empty.advance(Md2Model::kContinue, 0, from, to, blend));
}

TEST_F(Md2Test, HugeVertexCountIsRefusedWithoutOverflow) {
    Md2Layout layout;
    Bytes bytes = md2File(layout);
    const int32_t count = 1073741825;  // 4 * count overflows a 32-bit int
    for (int k = 0; k < 4; ++k) bytes[4 * 6 + k] = static_cast<uint8_t>(count >> (8 * k));
    Md2Model m;
    EXPECT_FALSE(m.importBytes(bytes.data(), bytes.size(), "huge.md2"));
    EXPECT_TRUE(m.model.objects.empty());
}
