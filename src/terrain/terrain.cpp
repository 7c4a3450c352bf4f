#include "terrain/terrain.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/little_endian.h"
#include "platform/platform.h"
#include "platform/texts.h"
#include "textures/textures.h"

void Terrain::load(const char* path, float world, float scale, uint32_t cells, float repeatS, float repeatT) {
    worldSize = world;
    heightScale = scale;
    cellCount = cells;
    detailRepeatS = repeatS;
    detailRepeatT = repeatT;

    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        platform::messageBox(texts::kHeightMap, platform::kBoxPlain);
        return;
    }
    unsigned char header[18] = {};
    size_t got = std::fread(header, 1, sizeof header, file);
    (void)got;  // a short header leaves zeros: an empty map
    const uint32_t width = le16(header + 12);
    const uint32_t bitsPerPixel = header[16];
    mapSize = (width * bitsPerPixel) >> 3;

    // The whole square is cleared first, so a file shorter than the map
    // leaves flat ground rather than stale memory. A header claiming rows
    // longer than any real map (up to tens of gigabytes squared) is taken as
    // an allocation that failed.
    constexpr uint32_t kLargestMap = 16384;
    heights = mapSize && mapSize <= kLargestMap
                  ? static_cast<uint8_t*>(std::calloc(static_cast<size_t>(mapSize) * mapSize, 1))
                  : nullptr;
    if (mapSize && !heights) {
        std::fclose(file);
        platform::messageBox(texts::kHeightMapMemory, platform::kBoxPlain);
        return;
    }
    if (heights) {
        // The samples follow the image ID field and any colour map.
        std::fseek(file, static_cast<long>(tgaPixelOffset(header)), SEEK_SET);
        got = std::fread(heights, 1, static_cast<size_t>(mapSize) * mapSize, file);
        (void)got;
    }
    wrapMask = mapSize && (mapSize & (mapSize - 1)) == 0 ? mapSize - 1 : 0;
    std::fclose(file);

    sampleStep = static_cast<float>(mapSize) / static_cast<float>(cellCount);
    cellSize = worldSize / static_cast<float>(cellCount);
    detailStepS = detailRepeatS / static_cast<float>(cellCount);
    detailStepT = detailRepeatT / static_cast<float>(cellCount);
    mapStep = 1.0f / static_cast<float>(cellCount);
}

Terrain::Corners Terrain::cornersAt(float x, float z) const {
    Corners c{};
    if (!heights || cellSize == 0.0f) return c;
    const float fx = (x + worldSize / 2) / cellSize;
    const float fz = (z + worldSize / 2) / cellSize;
    const int32_t ix = static_cast<int32_t>(fx);
    const int32_t iz = static_cast<int32_t>(fz);
    c.tx = fx - static_cast<float>(ix);
    c.tz = fz - static_cast<float>(iz);
    const float mx = static_cast<float>(ix) * sampleStep;
    const float mz = static_cast<float>(iz) * sampleStep;
    const float s = sampleStep;
    c.upper = !(c.tx + c.tz < 1.0f);
    c.h10 = static_cast<float>(sample(mx + s, mz)) * heightScale;
    c.h01 = static_cast<float>(sample(mx, mz + s)) * heightScale;
    if (c.upper)
        c.h11 = static_cast<float>(sample(mx + s, mz + s)) * heightScale;
    else
        c.h00 = static_cast<float>(sample(mx, mz)) * heightScale;
    return c;
}

float Terrain::heightAt(float x, float z) const {
    const Corners c = cornersAt(x, z);
    if (c.upper) return c.h01 + (c.h11 - c.h01) * c.tx + (c.h10 - c.h11) * (1 - c.tz);
    return c.h00 + (c.h10 - c.h00) * c.tx + (c.h01 - c.h00) * c.tz;
}

void Terrain::slopeAt(float x, float z, float& slopeX, float& slopeZ) const {
    const Corners c = cornersAt(x, z);
    if (cellSize == 0.0f) {
        slopeX = slopeZ = 0;
        return;
    }
    if (c.upper) {
        slopeX = (c.h11 - c.h01) / cellSize;
        slopeZ = (c.h11 - c.h10) / cellSize;
    } else {
        slopeX = (c.h10 - c.h00) / cellSize;
        slopeZ = (c.h01 - c.h00) / cellSize;
    }
}
