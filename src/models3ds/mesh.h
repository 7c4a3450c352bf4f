// Mesh records shared by the 3DS and the MD2 readers.
#pragma once

#include <cstdint>
#include <vector>

struct Vec3 {
    float x, y, z;
};

inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator/(Vec3 a, float d) { return {a.x / d, a.y / d, a.z / d}; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalise(Vec3 v);  // the zero vector stays zero

struct TexCoord {
    float u, v;
};

struct Face3ds {
    int32_t vertexIndex[3];
    int32_t texCoordIndex[3];
};

struct Material3ds {
    char name[255];
    char mapFile[255];
    uint8_t color[3];
};

struct Object3ds {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t texCoordCount = 0;
    int32_t materialIndex = 0;
    bool hasTexture = false;
    char name[255] = {};
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;
    std::vector<TexCoord> texCoords;
    std::vector<Face3ds> faces;

    // Frees the arrays; the counts stay.
    void releaseArrays();
};
