// The ten beach balls: falling, bouncing, rolling, knocking into each other
// and being shot.
#pragma once

#include "models3ds/static_model.h"

struct Ball {
    bool intact;
    float x, y, z;
    float heading;
    float vx, vy, vz;
};

struct BallSet {
    static constexpr int kBalls = 10;

    StaticModel ballModel;
    StaticModel shotModel;
    Ball balls[kBalls] = {};

    void init(float spread);
    // Scatters the balls from the C library's generator.
    void scatter(float spread);
    void update();
    void draw() const;
    void release();
};

extern BallSet ballSet;
