// Angles are kept in degrees; where they are turned into radians, pi is
// taken as 3.141592654.
#pragma once

constexpr float kPi = 3.141592654f;

inline float radians(float degrees) { return degrees / 180 * kPi; }
