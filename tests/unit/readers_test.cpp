// The fuzz targets' corpus replayed in the fast tests: every reader on the
// shipped files (and the generator's seeds of the formats the game ships no
// file in) and on the ways a file lies, cut short at a hundred
// lengths, each of its first 128 bytes made 0, 0x7F or 0xFF, and 64 kB of
// 0xFF after its end. Each case is a buffer of exactly its size, so that a
// read past it fails under the sanitizers (scripts/sanitize.sh, and
// scripts/mutants.sh's build); what a reader builds must keep its promises.
#include <algorithm>
#include <string>

#include "app/files.h"
#include "fuzz/read_all.h"

namespace {

const std::string data = VALE_DATA_DIR "/", seeds = VALE_SEEDS_DIR "/";

void replay(Reader reader, const std::string& name) {
    Bytes file;
    ASSERT_TRUE(readWholeFile(name.c_str(), file)) << name;
    const auto read = [&](Bytes bytes, const char* what, size_t at) {
        EXPECT_TRUE(readAll(reader, bytes.data(), bytes.size())) << name << ", " << what << " " << at;
    };
    read(file, "whole", file.size());
    for (size_t n = 0; n < file.size(); n += std::max<size_t>(1, file.size() / 100))
        read(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)), "cut short at", n);
    for (size_t at = 0; at < std::min<size_t>(file.size(), 128); ++at)
        for (uint8_t value : {0x00, 0x7F, 0xFF}) {
            Bytes lying = file;
            lying[at] = value;
            read(lying, "lying at", at);
        }
    Bytes longer = file;
    longer.resize(file.size() + 65536, 0xFF);
    read(longer, "oversized by", 65536);
}

}  // namespace

TEST(Readers, TheConfigurationFileLyingOrCutShortIsReadWithinItsBuffer) { replay(Reader::config, data + "Config.cfg"); }
TEST(Readers, TheHeightMapLyingOrCutShortIsReadWithinItsBuffer) { replay(Reader::heightmap, data + "Heightmaps/Landscape.tga"); }
TEST(Readers, EveryTgaTextureLyingOrCutShortIsReadWithinItsBuffer) {
    for (const char* texture : {"Landscape", "Landmap", "Crosshair", "Ball", "Weapon"})
        replay(Reader::tga, data + "Textures/" + texture + ".tga");
}
TEST(Readers, APcxPictureLyingOrCutShortIsReadWithinItsBuffer) { replay(Reader::pcx, seeds + "pcx/seed.pcx"); }
TEST(Readers, ARawPictureLyingOrCutShortIsReadWithinItsBuffer) { replay(Reader::raw, seeds + "raw/seed.raw"); }
TEST(Readers, TheWeaponsMd2LyingOrCutShortIsReadWithinItsBuffer) { replay(Reader::md2, data + "Models/Weapon.md2"); }
TEST(Readers, TheBeachBalls3dsFilesLyingOrCutShortAreReadWithinTheirBuffers) {
    for (const char* ball : {"beachball", "shotbeachball"}) replay(Reader::model3ds, data + "models/" + ball + ".3ds");
}
#ifdef VALE_WAVE
TEST(Readers, TheFiringSoundLyingOrCutShortIsReadWithinItsBuffer) { replay(Reader::wav, data + "sounds/bullet_fire_1.wav"); }
#endif
