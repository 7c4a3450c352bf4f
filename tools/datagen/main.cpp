// Writes the demo's whole data/ folder: height map, textures, the weapon
// (MD2), the two beach balls (3DS), the firing sound and Config.cfg; and the
// program's icon, and seeds for the fuzz targets. Everything is computed,
// with the generator's own elementary functions: the output is the same
// bytes on every run, whatever built the generator and wherever it runs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "datagen/datagen.h"

namespace {

std::string root;

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

void write(const std::string& relative, const Bytes& bytes) {
    const std::string path = root + "/" + relative;
    std::error_code error;
    std::filesystem::create_directories(path.substr(0, path.rfind('/')), error);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    // A full disk shows at the write or only at the close: either ends the run.
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!(f && std::fclose(f) == 0 && written)) {
        std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--seeds") {
        root = argv[2];
        writeSeeds();
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        root = argv[2];
        writeIcons();
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen OUTPUT_DIR | datagen --seeds OUTPUT_DIR | datagen --icons OUTPUT_DIR\n");
        return 2;
    }
    root = argv[1];
    writeConfig();
    writeHeightMap();
    writeDetail();
    writeLandmap();
    writeCrosshair();
    writeBallTexture();
    writeWeapon();
    writeBalls();
    writeShot();
    return 0;
}
