// Small helpers shared by the tests: byte building and temporary files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "byte_writer.h"
#include "terrain/terrain.h"

// A file under a fresh temporary folder, removed with the object.
class TempFile {
public:
    TempFile(const Bytes& bytes, const std::string& name) {
        char dir[] = "/tmp/vale-test-XXXXXX";
        dir_ = mkdtemp(dir);
        path_ = dir_ + "/" + name;
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    ~TempFile() {
        std::remove(path_.c_str());
        rmdir(dir_.c_str());
    }
    const char* path() const { return path_.c_str(); }

private:
    std::string dir_, path_;
};

// An uncompressed TGA header for the given size and depth.
inline Bytes tgaHeader(int width, int height, int depth, int imageType = 2) {
    Bytes b = {0, 0, static_cast<uint8_t>(imageType), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, width);
    put16(b, height);
    b.push_back(static_cast<uint8_t>(depth));
    b.push_back(0);
    return b;
}


// A height-map file of side n pixels of depth bits, every byte from
// height(column, row) of the stored square.
template <typename F>
Bytes heightMapFile(int n, F height, int depth = 8) {
    Bytes b = tgaHeader(n, n, depth, 3);
    const int side = n * depth / 8;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) b.push_back(static_cast<uint8_t>(height(i, j)));
    return b;
}

// Loads a terrain from such a file with the scene's parameters (any map it
// held before is freed).
inline void loadHeightMap(Terrain& terrain, const Bytes& file, uint32_t cells = 128) {
    std::free(terrain.heights);
    terrain = Terrain{};
    TempFile f(file, "Landscape.tga");
    terrain.load(f.path(), 50.0f, 0.01f, cells, 100.0f, 100.0f);
}
