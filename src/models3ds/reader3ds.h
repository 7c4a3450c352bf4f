// Reader of the 3DS chunk format: materials, objects and vertex normals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "models3ds/mesh.h"

struct Model3ds {
    int32_t objectCount = 0;
    int32_t materialCount = 0;
    std::vector<Material3ds> materials;
    std::vector<Object3ds> objects;
};

struct Chunk3ds {
    uint16_t id = 0;
    uint32_t length = 0;
    uint32_t bytesRead = 0;
};

class Loader3ds {
public:
    // Reads the file at path into model and computes the vertex normals;
    // failures are shown in a message box and leave the model empty.
    void import(Model3ds& model, const char* path);
    // The same from bytes in memory; path only names the file in messages.
    void importBytes(Model3ds& model, const uint8_t* data, size_t length, const char* path);

private:
    const uint8_t* data_ = nullptr;
    size_t length_ = 0;
    size_t pos_ = 0;
    int depth_ = 0;

    size_t read(void* dest, size_t count);
    size_t skip(size_t count);
    void readChunk(Chunk3ds& chunk);
    uint32_t rest(const Chunk3ds& chunk) const;
    uint32_t readString(char* dest, size_t destSize, uint32_t limit);
    void skipRest(Chunk3ds& chunk);
    bool atEnd() const { return pos_ >= length_; }

    void walkMain(Model3ds& model, Chunk3ds& parent);
    void walkObject(Model3ds& model, Object3ds& object, Chunk3ds& parent);
    void walkMaterial(Model3ds& model, Chunk3ds& parent);
    void readColor(Material3ds& material, Chunk3ds& chunk);
    void readVertices(Object3ds& object, Chunk3ds& chunk);
    void readFaces(Object3ds& object, Chunk3ds& chunk);
    void readTexCoords(Object3ds& object, Chunk3ds& chunk);
    void readFaceMaterial(Model3ds& model, Object3ds& object, Chunk3ds& chunk);
    template <typename Handler>
    void walk(Chunk3ds& parent, Handler handle);
};

void computeNormals(Model3ds& model);
