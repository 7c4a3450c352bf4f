// Small helpers shared by the tests: byte building, temporary files, the
// message boxes shown, height maps.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "byte_writer.h"
#include "platform/testing/test_platform.h"
#include "terrain/terrain.h"

#ifdef _WIN32
constexpr bool kWindows = true;  // where the C runtimes differ by design, tests state both
#else
constexpr bool kWindows = false;
#endif

// A fresh folder under the system's temporary one, removed with the object;
// the first free name, as tests run in parallel processes.
struct TempDir {
    std::filesystem::path path = [] {
        std::filesystem::path p;
        auto n = std::chrono::steady_clock::now().time_since_epoch().count();
        do p = std::filesystem::temp_directory_path() / ("vale-test-" + std::to_string(n++));
        while (!std::filesystem::create_directory(p));
        return p;
    }();
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// A fresh temporary folder holding an empty data/, the working folder until
// the object goes.
struct TempWorkingDir : TempDir {
    const std::filesystem::path before = std::filesystem::current_path();
    TempWorkingDir() {
        std::filesystem::current_path(path);
        std::filesystem::create_directory("data");
    }
    ~TempWorkingDir() { std::filesystem::current_path(before); }
};

// A file of the given bytes under a fresh temporary folder, removed with the object.
struct TempFile {
    TempDir dir;
    std::string file;
    TempFile(const Bytes& bytes, const std::string& name) : file((dir.path / name).string()) {
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    const char* path() const { return file.c_str(); }
    std::string folder() const { return dir.path.string() + "/"; }
};

// The message boxes shown since the last reset, "caption: text" each, one a line.
inline std::string shownBoxes() {
    std::string all;
    for (const auto& box : testplatform::boxes) all += (all.empty() ? "" : "\n") + box.caption + ": " + box.text;
    return all;
}

// A height-map file of side n pixels of depth bits, every byte height(column, row).
template <typename F>
Bytes heightMapFile(int n, F height, int depth = 8) {
    Bytes b = tgaHeader(n, n, depth, 3);
    for (int j = 0; j < n * depth / 8; ++j)
        for (int i = 0; i < n * depth / 8; ++i) b.push_back(static_cast<uint8_t>(height(i, j)));
    return b;
}

// Frees a terrain's map and leaves it empty.
inline void clearTerrain(Terrain& terrain) {
    std::free(terrain.heights);
    terrain = Terrain{};
}

// Loads a terrain from such a file with the scene's parameters, freeing any map before.
inline void loadHeightMap(Terrain& terrain, const Bytes& file, uint32_t cells = 128) {
    clearTerrain(terrain);
    TempFile f(file, "Landscape.tga");
    terrain.load(f.path(), 50.0f, 0.01f, cells, 100.0f, 100.0f);
}
