// Packs a data/ folder into the browser build's archive, vale.data (its
// layout: src/platform/web/memory_files.h): every file under the folder,
// by its path relative to it, in byte order of the paths, so that the same
// folder makes the same bytes on every build. A run's log (fps.txt) and
// hidden files (the build's .stamp) are not the game's data and stay out.
//   datapack DATA_DIR ARCHIVE
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "byte_writer.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: datapack DATA_DIR ARCHIVE\n");
        return 2;
    }
    const fs::path root = argv[1];
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name[0] == '.') {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && name != "fps.txt") paths.push_back(it->path().lexically_relative(root).generic_string());
    }
    if (error) {
        std::fprintf(stderr, "datapack: %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    std::sort(paths.begin(), paths.end());
    Bytes archive;
    put32(archive, static_cast<uint32_t>(paths.size()));
    for (const std::string& path : paths) {
        const auto size = fs::file_size(root / path, error);
        Bytes bytes(error ? 0 : size);
        std::ifstream in(root / path, std::ios::binary);
        if (error || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
            std::fprintf(stderr, "datapack: %s/%s could not be read\n", argv[1], path.c_str());
            return 1;
        }
        put32(archive, static_cast<uint32_t>(path.size()));
        archive.insert(archive.end(), path.begin(), path.end());
        put32(archive, static_cast<uint32_t>(bytes.size()));
        archive.insert(archive.end(), bytes.begin(), bytes.end());
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "datapack: %s could not be written\n", argv[2]);
        return 1;
    }
    return 0;
}
