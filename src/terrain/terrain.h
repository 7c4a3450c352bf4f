// The height-map landscape: one square tile of samples repeated endlessly.
#pragma once

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

    void load(const char* path, float worldSize, float heightScale, uint32_t cellCount, float detailRepeatS,
              float detailRepeatT);
    // Raw sample at a map position, wrapping around; 0 while no map is loaded.
    unsigned sample(float mapX, float mapZ) const;
    float heightAt(float x, float z) const;
    void slopeAt(float x, float z, float& slopeX, float& slopeZ) const;
    static void sendNormal(float ax, float ay, float az, float bx, float by, float bz);
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
