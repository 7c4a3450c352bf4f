// The height-map loader on any file, then the queries the game asks of it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/testing/test_platform.h"
#include "terrain/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/vale-fuzz-heightmap-" + std::to_string(getpid()) + ".tga";
    testplatform::reset();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    Terrain t{};
    t.load(path.c_str(), 50.0f, 0.01f, 128, 100.0f, 100.0f);
    float sx, sz, sum = 0;
    for (float x = -30; x <= 30; x += 7.3f)
        for (float z = -30; z <= 30; z += 6.1f) {
            sum += t.heightAt(x, z) + static_cast<float>(t.sample(x * 3, z * 3));
            t.slopeAt(x, z, sx, sz);
            sum += sx + sz;
        }
    std::free(t.heights);
    return sum == 12345.678f;
}
