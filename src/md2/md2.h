// Key-frame animated models in the MD2 format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "models3ds/mesh.h"

struct Md2Header {
    int32_t magic, version, skinWidth, skinHeight, frameSize, skinCount, vertexCount, texCoordCount,
        triangleCount, glCommandCount, frameCount, skinsOffset, texCoordsOffset, trianglesOffset, framesOffset,
        glCommandsOffset, endOffset;
};

struct Animation {
    char name[256];
    int32_t startFrame;
    int32_t endFrame;
};

struct AnimatedModel {
    int32_t objectCount = 0;
    int32_t materialCount = 0;
    int32_t animationCount = 0;
    int32_t currentAnimation = 0;
    int32_t currentFrame = 0;
    std::vector<Animation> animations;
    std::vector<Material3ds> materials;
    std::vector<Object3ds> objects;
};

struct Md2Frame {
    char name[17];
    std::vector<Vec3> vertices;
};

// Splits a frame name into its base name and trailing number.
void splitFrameName(const char* name, char* base, size_t baseSize, int& number);

class Md2Model {
public:
    static constexpr int kContinue = 999;

    Md2Header header{};
    AnimatedModel model;
    bool restart = false;
    int32_t nextFrame = 0;
    uint32_t lastTime = 0;  // tick count of the last key-frame switch
    float elapsed = 0;
    bool started = false;

    void load(const char* path);
    bool import(const char* path);
    bool importBytes(const uint8_t* data, size_t length, const char* path);
    void applyFixedTable();
    void release();
    // Advances the animation by the tick count and draws the blended frame.
    void draw(int selector);
    // The frames and blend factor draw() would use at time now, advancing the
    // playback state the same way.
    bool advance(int selector, uint32_t now, int32_t& from, int32_t& to, float& blend);

private:
    void buildAnimations(const std::vector<Md2Frame>& frames);
};
