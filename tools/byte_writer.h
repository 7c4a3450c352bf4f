// Little-endian byte building and 3DS chunk writing, shared by the data
// generator and the tests' file fixtures.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
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
