// libFuzzer targets: every reader on any bytes, then what the game asks of
// what it built. One file, one target per build (VALE_FUZZ_<name>).
#include "app/config.h"
#include "md2/md2.h"
#include "models3ds/reader3ds.h"
#include "platform/x11/wave.h"
#include "support.h"
#include "textures/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testplatform::reset();
    double sum = 0;  // what was read, used so that no read is optimised away
#if defined(VALE_FUZZ_config)  // it must end, within its buffers
    Config c;
    c.parse(reinterpret_cast<const char*>(data), size);
    sum += c.resolution_width;
#elif defined(VALE_FUZZ_heightmap)  // then the queries of the ground
    Terrain t{};
    loadHeightMap(t, Bytes(data, data + size));
    float sx, sz;
    for (float x = -30; x <= 30; x += 7.3f)
        for (float z = -30; z <= 30; z += 6.1f) {
            t.slopeAt(x, z, sx, sz);
            sum += t.heightAt(x, z) + sx + sz + t.sample(x * 3, z * 3);
        }
    std::free(t.heights);
#elif defined(VALE_FUZZ_tga) || defined(VALE_FUZZ_pcx) || defined(VALE_FUZZ_raw)
    Image image;
#if defined(VALE_FUZZ_tga)
    decodeTga(data, size, image);
#elif defined(VALE_FUZZ_pcx)
    decodePcx(data, size, 64, image);
#else
    decodeRaw(data, size, 64, image);
#endif
    for (uint8_t b : image.pixels) sum += b;
#elif defined(VALE_FUZZ_md2)  // then a run of playback over every frame it names
    Md2Model m;
    if (m.importBytes(data, size, "fuzz.md2")) {
        m.applyFixedTable();
        int32_t from, to;
        float blend;
        for (uint32_t t = 0; t < 3000 && m.advance(t == 700 ? 2 : Md2Model::kContinue, t, from, to, blend); t += 70)
            sum += static_cast<double>(m.model.objects.at(static_cast<size_t>(from)).vertices.size() +
                                       m.model.objects.at(static_cast<size_t>(to)).vertices.size());
    }
#elif defined(VALE_FUZZ_3ds)  // every index it leaves inside its arrays
    Model3ds model;
    Loader3ds().importBytes(model, data, size, "fuzz.3ds");
    if (model.objects.size() != static_cast<size_t>(model.objectCount) ||
        model.materials.size() != static_cast<size_t>(model.materialCount))
        std::abort();
    for (const Object3ds& o : model.objects) {
        if (o.normals.size() != o.vertices.size()) std::abort();
        for (const Face3ds& f : o.faces)
            for (int v : f.vertexIndex)
                if (v < 0 || v >= o.vertexCount) std::abort();
    }
#elif defined(VALE_FUZZ_wav)  // whatever it takes is whole frames of PCM
    WaveSound sound;
    if (parseWave(data, size, sound) && (sound.samples.empty() || sound.samples.size() % sound.frameBytes() != 0))
        std::abort();
#endif
    static volatile double sink;
    sink = sum;
    return 0;
}
