// The data generator's pieces: the output folder's writer, tileable noise,
// the landscape and what each part of data/ is made from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_writer.h"
#include "datagen/det_math.h"

// Writes a file under the output folder, making its folders; a file that
// cannot be written in full ends the generator with status 1.
void write(const std::string& relative, const Bytes& bytes);

struct V3 {
    double x, y, z;
};

// ---- tileable noise (noise.cpp): periodic over a square of side 1 in (u, v)
uint32_t hash(int x, int y, int period, uint32_t seed);
double lattice(int x, int y, int period, uint32_t seed);
double gradientNoise(double u, double v, int period, uint32_t seed);
double fbm(double u, double v, int period, int octaves, double gain, uint32_t seed);
double ridged(double u, double v, int period, int octaves, uint32_t seed);
double cellular(double u, double v, int period, uint32_t seed);
double smoothstep(double edge0, double edge1, double x);
double mix(double a, double b, double t);
uint8_t clampByte(double v);
Bytes tga(int width, int height, int channels, const std::vector<uint8_t>& topDown);

// ---- the landscape (landscape.cpp)
constexpr int kMap = 128;
constexpr double kCellSize = 50.0 / kMap, kHeightRange = 2.55;

using Field = std::vector<double>;  // kMap x kMap, row-major, row j along z

inline double& at(Field& f, int i, int j) { return f[static_cast<size_t>((j + kMap) % kMap) * kMap + (i + kMap) % kMap]; }
inline double at(const Field& f, int i, int j) { return f[static_cast<size_t>((j + kMap) % kMap) * kMap + (i + kMap) % kMap]; }

// The land-map zone of a map position: sand in the hollows, meadow on the
// slopes, rock and scree on the crests and steep faces. Each weight 0..1.
struct Zones {
    double sand, rock;
};

Zones zonesAt(const Field& f, double x, double z);
void heightAndSlope(const Field& f, double x, double z, double& height, double& slope);
// The tile's heights 0..1, the start in its middle.
const Field& landField();
void writeHeightMap();

// ---- textures (textures.cpp) and the rest
void writeDetail();
void writeLandmap();
void writeCrosshair();
void writeBallTexture();
void writeWeapon();       // weapon.cpp: skin and model
void writeBalls();        // balls.cpp
void writeShot();         // sound.cpp
void writeIcons();        // icons.cpp
// A PNG of a square RGBA picture, rows from the top (png.cpp).
Bytes png(int side, const std::vector<uint8_t>& rgba);
