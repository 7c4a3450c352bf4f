#include "md2/md2.h"
#include "support.h"

namespace {

// An MD2 file as other tools write it (a skin name, GL commands, a 256 x 128
// skin, three texture coordinates): one frame a name, frame f moving every
// vertex of the first by f along file x, under a scale and translation.
Bytes md2(const std::vector<std::string>& names, std::array<float, 6> scaleTranslate = {1, 1, 1, 0, 0, 0}) {
    std::vector<Md2Pose> frames;
    for (const std::string& name : names) {
        frames.push_back({scaleTranslate, name, {10, 20, 30, 0, 0, 0, 0, 0, 255, 255, 255, 0}});
        scaleTranslate[3] += 1;
    }
    return md2File(256, 128, "models/skin.pcx", {{64, 32}, {0, 0}, {256, 128}}, {{0, 1, 2, 0, 1, 2}}, frames, 2);
}

bool import(Md2Model& model, const Bytes& bytes, const char* name = "weapon.md2") {
    testplatform::reset();
    return model.importBytes(bytes.data(), bytes.size(), name);
}

// base01, base02 ... base<count>, after the names given.
std::vector<std::string> numbered(const std::string& base, int count, std::vector<std::string> names = {}) {
    for (int i = 1; i <= count; ++i) names.push_back(base + (i < 10 ? "0" : "") + std::to_string(i));
    return names;
}

std::vector<std::pair<int, int>> ranges(const Md2Model& m) {
    std::vector<std::pair<int, int>> r;
    for (const Animation& a : m.model.animations) r.emplace_back(a.startFrame, a.endFrame);
    return r;
}

// The one-frame file with header fields (index, value) set.
Bytes with(std::vector<std::pair<int, int32_t>> fields) {
    Bytes b = md2({"stand01"});
    for (auto [index, value] : fields)
        for (int k = 0; k < 4; ++k) b[4 * index + k] = static_cast<uint8_t>(value >> (8 * k));
    return b;
}

}  // namespace

TEST(Md2, RunsOfFrameNamesMakeTheAnimations) {
    Md2Model m;  // runs of base names: the last two characters are the frame number
    ASSERT_TRUE(import(m, md2({"a01", "a02", "pain101", "pain102", "pain103", "abcdefghijklmn01"})));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 2}, {2, 5}, {5, 6}}), ranges(m));
    EXPECT_STREQ("abcdefghijklmn", m.model.animations[2].name);  // a full 16-byte name is cut, not overrun
}

TEST(Md2, TheFixedTableGivesTheFirstTwentyAnimationsTheirFrames) {
    Md2Model m;
    std::vector<std::string> names;
    for (int run = 0; run < 22; ++run) names = numbered(std::string("r") + char('a' + run), 9, names);
    TempFile file(md2(names), "many.md2");
    m.load(file.path());
    ASSERT_EQ(22u, ranges(m).size());
    EXPECT_EQ((std::pair{0, 40}), ranges(m)[0]);
    EXPECT_EQ((std::pair{190, 198}), ranges(m)[19]);
    EXPECT_EQ((std::pair{180, 189}), ranges(m)[20]) << "entry 20 keeps its own run";
}

TEST(Md2, PlaybackStepsAFrameEveryTenthOfASecondLoopingInItsAnimation) {
    Md2Model p;  // a 60-frame model
    ASSERT_TRUE(import(p, md2(numbered("frame", 60))));
    p.applyFixedTable();
    // Draws from time t to last, every 100 ms, with the selector on the first;
    // then the frames and blend of the last. Time counts from the first draw.
    constexpr int kOn = Md2Model::kContinue;
    const struct {
        uint32_t t, last;
        int selector, from, to;
        float blend;
    } steps[] = {{5000, 5000, kOn, 0, 1, 0}, {5050, 5050, kOn, 0, 1, 0.5f},
                 {5100, 5100, kOn, 0, 1, 1},       // switches, but draws with the frames of before
                 {5350, 5350, kOn, 1, 2, 2.5f},    // a slow frame: beyond 1, then one switch only
                 {5400, 9200, kOn, 39, 0, 1},      // animation 0 is frames 0 to 40
                 {10000, 10000, 1, 0, 40, 0},      // animation 1, frames 40 to 45: the next held at its start
                 {10060, 10060, kOn, 0, 40, 0.6f}, {10100, 10700, kOn, 45, 40, 1},  // wraps to its own start
                 {11000, 11100, 19, 40, 0, 1}};    // frames 190 to 197 of a 60-frame model: frame 0
    for (const auto& step : steps) {
        int32_t from = -1, to = -1;
        float blend = -1;
        for (uint32_t t = step.t; t <= step.last; t += 100)
            ASSERT_TRUE(p.advance(t == step.t ? step.selector : kOn, t, from, to, blend));
        EXPECT_EQ(std::tuple(step.from, step.to, step.blend), std::tuple(from, to, blend)) << step.t;
    }
}

TEST(Md2, AMissingFileIsNamedInItsMessage) {
    Md2Model m;
    testplatform::reset();
    EXPECT_FALSE(m.import("/nonexistent/Weapon.md2"));
    EXPECT_EQ("Error: Unable to find the file: /nonexistent/Weapon.md2!", shownBoxes());
}

TEST(Md2, AFileOfAnotherVersionLoadsNothing) {
    Md2Model m;
    TempFile old(with({{1, 7}}), "old.md2");
    testplatform::reset();
    m.load(old.path());
    EXPECT_TRUE(m.model.objects.empty() && m.model.animations.empty());
    EXPECT_EQ(std::string("Error: Invalid file format (Version not 8): ") + old.path() + "!", shownBoxes());
}

TEST(Md2, AHeaderThatClaimsMoreThanTheFileHoldsIsRefusedWhole) {
    Bytes pastVertices = with({}), negativeTexCoord = with({});  // the triangle's third vertex, and texture coordinate
    pastVertices[148] = 3, negativeTexCoord[154] = negativeTexCoord[155] = 0xFF;
    // frame past the buffer, smaller than its vertices, frames outside the file, negative count and
    // offset, texture coordinates past the end, zero skin width, a vertex count whose size overflows
    for (const Bytes& b : {with({{4, 8324}}), with({{4, 20}}), with({{14, 1 << 30}}), with({{10, -1}}), with({{12, -8}}),
                           with({{7, 100000}}), with({{2, 0}}), with({{6, 1073741825}}), pastVertices, negativeTexCoord}) {
        Md2Model bad;
        EXPECT_TRUE(!import(bad, b, "bad.md2") && bad.model.objects.empty());
        EXPECT_EQ("Error: Invalid file format (Corrupt data): bad.md2!", shownBoxes());
    }
}

TEST(Md2, WithoutSkinsOrCommandsTheirOffsetsAreMoot) {
    Md2Model m;
    EXPECT_TRUE(import(m, with({{5, 0}, {11, 1 << 30}, {9, 0}, {15, -5}})));
}
