// Little-endian numbers read from a byte buffer, as every file format the
// game reads stores them. The caller has checked that the bytes are there.
#pragma once

#include <cstdint>
#include <cstring>

inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline int16_t leS16(const uint8_t* p) { return static_cast<int16_t>(le16(p)); }
inline uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t leS32(const uint8_t* p) { return static_cast<int32_t>(le32(p)); }
inline float leFloat(const uint8_t* p) {
    const uint32_t bits = le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
