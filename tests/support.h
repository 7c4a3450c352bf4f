// Small helpers shared by the tests: byte building and temporary files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
inline void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void putFloat(Bytes& b, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    put32(b, bits);
}

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

// A chunk and its payload, with children appended after the payload.
struct Chunk {
    uint16_t id;
    Bytes payload;
    std::vector<Chunk> children;
    Bytes bytes() const {
        Bytes inner = payload;
        for (const Chunk& c : children) {
            const Bytes b = c.bytes();
            inner.insert(inner.end(), b.begin(), b.end());
        }
        Bytes b;
        put16(b, id);
        put32(b, static_cast<uint32_t>(inner.size() + 6));
        b.insert(b.end(), inner.begin(), inner.end());
        return b;
    }
};

inline Bytes str(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

