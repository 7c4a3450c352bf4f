// Tileable noise: lattice points are taken modulo the period, so noise at
// u and u + 1 is the same and every texture and the height map tile without
// a seam. And the TGA writer the textures share.
#include <cmath>

#include "datagen/datagen.h"

uint32_t hash(int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// Value noise at a lattice point, 0..1.
double lattice(int x, int y, int period, uint32_t seed) { return (hash(x, y, period, seed) & 0xFFFF) / 65535.0; }

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Gradient noise with period cells across the square, about -1..1.
double gradientNoise(double u, double v, int period, uint32_t seed) {
    const double x = u * period, y = v * period;
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    auto corner = [&](int cx, int cy) {
        const double angle = (hash(ix + cx, iy + cy, period, seed) & 0xFFFF) / 65536.0 * 2 * det::kPi;
        return det::cos(angle) * (fx - cx) + det::sin(angle) * (fy - cy);
    };
    const double sx = fade(fx), sy = fade(fy);
    const double a = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * sx;
    const double b = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * sx;
    return 1.4 * (a + (b - a) * sy);
}

// Fractal sums of octaves, each twice the frequency and gain times the weight.
double fbm(double u, double v, int period, int octaves, double gain, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o, period *= 2, weight *= gain) {
        sum += weight * gradientNoise(u, v, period, seed + 17 * o);
        total += weight;
    }
    return sum / total;
}

// Ridged noise: sharp crests where the gradient noise crosses zero, finer
// octaves strongest near the crests; 0..1.
double ridged(double u, double v, int period, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0, previous = 1;
    for (int o = 0; o < octaves; ++o, period *= 2, weight *= 0.5) {
        const double r = det::pow(1 - std::fabs(gradientNoise(u, v, period, seed + 31 * o)), 1.6);
        sum += weight * r * previous;
        total += weight;
        previous = std::fmin(1.0, r * 1.5);
    }
    return sum / total;
}

// Cellular noise: distance to the nearest of one random point per cell, 0..~1.
double cellular(double u, double v, int period, uint32_t seed) {
    const double x = u * period, y = v * period;
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    double nearest = 9;
    for (int cy = -1; cy <= 1; ++cy)
        for (int cx = -1; cx <= 1; ++cx) {
            const uint32_t h = hash(ix + cx, iy + cy, period, seed);
            const double px = ix + cx + (h & 0xFF) / 255.0, py = iy + cy + ((h >> 8) & 0xFF) / 255.0;
            nearest = std::fmin(nearest, det::hypot(x - px, y - py));
        }
    return nearest;
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::fmin(1.0, std::fmax(0.0, (x - edge0) / (edge1 - edge0)));
    return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

uint8_t clampByte(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v)); }

// An uncompressed TGA, rows given top row first and stored bottom-up.
// channels 1 (greyscale), 3 (BGR) or 4 (BGRA); pixels are given as RGB(A).
Bytes tga(int width, int height, int channels, const std::vector<uint8_t>& topDown) {
    Bytes b = tgaHeader(width, height, channels * 8, channels == 1 ? 3 : 2, channels == 4 ? 8 : 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &topDown[(static_cast<size_t>(y) * width + x) * channels];
            if (channels == 1) {
                b.push_back(p[0]);
            } else {
                b.push_back(p[2]);
                b.push_back(p[1]);
                b.push_back(p[0]);
                if (channels == 4) b.push_back(p[3]);
            }
        }
    }
    return b;
}
