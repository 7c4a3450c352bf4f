// The height-map landscape: one square tile of samples repeated endlessly.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

struct Terrain {
    uint32_t mapSize;
    uint32_t cellCount;
    float worldSize;
    float heightScale;
    float detailRepeatS;
    float detailRepeatT;
    float sampleStep;
    float cellSize;
    float detailStepS;
    float detailStepT;
    float mapStep;
    uint8_t* heights;
    uint32_t wrapMask;  // mapSize - 1 when mapSize is a power of two, else 0

    void load(const char* path, float worldSize, float heightScale, uint32_t cellCount, float detailRepeatS,
              float detailRepeatT);
    // The stored column (or row) of a map position along one axis, wrapping
    // around; for a power-of-two side the remainder is a mask (the same value).
    uint32_t wrap(float mapPosition) const {
        const uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(mapPosition));
        return wrapMask ? u & wrapMask : u % mapSize;
    }
    // Raw sample at a map position, wrapping around; 0 while no map is loaded.
    unsigned sample(float mapX, float mapZ) const {
        if (!heights) return 0;
        return heights[static_cast<size_t>(wrap(mapZ)) * mapSize + wrap(mapX)];
    }
    float heightAt(float x, float z) const;
    void slopeAt(float x, float z, float& slopeX, float& slopeZ) const;
    // The unit normal of a x b, its y component negated: the terrain's
    // normal as it is drawn.
    struct Normal {
        float x, y, z;
    };
    static Normal unitNormal(float ax, float ay, float az, float bx, float by, float bz) {
        const float nx = ay * bz - az * by;
        const float ny = az * bx - ax * bz;
        const float nz = ax * by - ay * bx;
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        return {nx / length, -(ny / length), nz / length};
    }
    void draw(float viewX, float viewZ, float radius) const;

private:
    struct Corners {
        float h00, h10, h01, h11;
        float tx, tz;
        bool upper;
    };
    Corners cornersAt(float x, float z) const;
};

extern Terrain terrain;
