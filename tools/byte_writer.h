// Little-endian byte building and the file layouts written by the data
// generator and the tests' fixtures: TGA headers, MD2 models, waves, 3DS
// chunks.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
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

// A string with its terminating zero.
inline Bytes cString(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

// An uncompressed TGA header: image type 2 (colour) or 3 (greyscale).
inline Bytes tgaHeader(int width, int height, int depth, int imageType = 2, uint8_t descriptor = 0) {
    Bytes b = {0, 0, static_cast<uint8_t>(imageType), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(b, static_cast<uint32_t>(width));
    put16(b, static_cast<uint32_t>(height));
    b.insert(b.end(), {static_cast<uint8_t>(depth), descriptor});
    return b;
}

// One key frame of an MD2 model: packed vertices (x, y, z and a normal
// index each) under their scale and translation.
struct Md2Pose {
    std::array<float, 6> scaleTranslate;
    std::string name;
    Bytes vertices;
};

// An MD2 model file with one skin name, texture coordinates in skin texels,
// triangles (three vertex, then three texture-coordinate indices), the
// frames and glCommands zero words, laid out in that order.
inline Bytes md2File(int skinWidth, int skinHeight, const std::string& skin,
                     const std::vector<std::pair<int, int>>& texCoords, const std::vector<std::array<int, 6>>& triangles,
                     const std::vector<Md2Pose>& frames, int glCommands = 0) {
    const auto count = [](const auto& v) { return static_cast<int>(v.size()); };
    const int vertexCount = frames.empty() ? 0 : count(frames[0].vertices) / 4, frameSize = 40 + 4 * vertexCount;
    const int tri = 68 + 64 + 4 * count(texCoords), poses = tri + 12 * count(triangles);
    const int gl = poses + frameSize * count(frames);
    Bytes b;
    for (int v : {0x32504449, 8, skinWidth, skinHeight, frameSize, 1, vertexCount, count(texCoords), count(triangles),
                  glCommands, count(frames), 68, 68 + 64, tri, poses, gl, gl + 4 * glCommands})
        put32(b, static_cast<uint32_t>(v));
    b.insert(b.end(), skin.begin(), skin.end());
    b.resize(68 + 64);
    for (const auto& st : texCoords) {
        put16(b, static_cast<uint32_t>(st.first));
        put16(b, static_cast<uint32_t>(st.second));
    }
    for (const auto& t : triangles)
        for (int k : t) put16(b, static_cast<uint32_t>(k));
    for (const Md2Pose& f : frames) {
        for (float v : f.scaleTranslate) putFloat(b, v);
        const size_t name = b.size();  // a field of 16 bytes: longer names are cut
        b.insert(b.end(), f.name.begin(), f.name.end());
        b.resize(name + 16);
        b.insert(b.end(), f.vertices.begin(), f.vertices.end());
    }
    b.resize(b.size() + 4 * static_cast<size_t>(glCommands));
    return b;
}

// A mono wave file of samples of the given width and format tag (1: PCM).
inline Bytes waveFile(const Bytes& samples, uint32_t rate, uint32_t bits = 16, uint32_t format = 1) {
    Bytes b = {'R', 'I', 'F', 'F'};
    put32(b, static_cast<uint32_t>(36 + samples.size()));
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
    put32(b, 16);
    put16(b, format);
    put16(b, 1);
    put32(b, rate);
    put32(b, rate * bits / 8);
    put16(b, bits / 8);
    put16(b, bits);
    for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
    put32(b, static_cast<uint32_t>(samples.size()));
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

// A 3DS chunk: header, payload, then its children.
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

// A 3DS list of count entries of floats (vertices x, y, z; texture
// coordinates u, v).
inline Bytes floatList(size_t count, const std::vector<float>& values) {
    Bytes b;
    put16(b, static_cast<uint32_t>(count));
    for (float f : values) putFloat(b, f);
    return b;
}

// A 3DS face group: the material's name and the faces it covers.
inline Chunk faceGroup(const std::string& material, const std::vector<int>& faces) {
    Chunk c{0x4130, cString(material), {}};
    put16(c.payload, static_cast<uint32_t>(faces.size()));
    for (int f : faces) put16(c.payload, static_cast<uint32_t>(f));
    return c;
}

// A 3DS face list, three vertex indices and the edge flags a face, with its
// face groups.
inline Chunk faceList(const std::vector<std::array<int, 3>>& faces, std::vector<Chunk> groups = {}) {
    Chunk c{0x4120, {}, std::move(groups)};
    put16(c.payload, static_cast<uint32_t>(faces.size()));
    for (const auto& f : faces)
        for (int v : {f[0], f[1], f[2], 7}) put16(c.payload, static_cast<uint32_t>(v));
    return c;
}

// A 3DS material: its name, a diffuse colour sub-chunk and, when named, a
// texture map.
inline Chunk material3ds(const std::string& name, const Chunk& colour, const std::string& map = "") {
    Chunk m{0xAFFF, {}, {{0xA000, cString(name), {}}, {0xA020, {}, {colour}}}};
    if (!map.empty()) m.children.push_back({0xA200, {}, {{0xA300, cString(map), {}}}});
    return m;
}
