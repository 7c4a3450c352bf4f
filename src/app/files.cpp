#include "app/files.h"

#include <cstdio>

bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    // A read that failed part way is a failure, not a shorter file.
    const bool read = !std::ferror(file);
    std::fclose(file);
    return read;
}
