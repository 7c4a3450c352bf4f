// A 3DS model with its material textures, drawn in immediate mode.
#pragma once

#include <cstdint>

#include "models3ds/reader3ds.h"

struct StaticModel {
    uint32_t textures[99] = {};
    Loader3ds loader;
    Model3ds model;

    void load(const char* path, const char* textureDir);
    void draw(bool useColor, bool useTexture) const;
    void release();
};
