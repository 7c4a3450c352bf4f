// Every reader on any bytes, then what the game asks of what it built: the
// body of the fuzz targets, and of the unit tests' replay of their corpus.
// False where what was built breaks its own promises (a face naming a
// vertex it does not have, a sound of part frames); a read past a buffer
// is the sanitizers' to see.
#pragma once

#include "app/config.h"
#include "md2/md2.h"
#include "models3ds/reader3ds.h"
#include "support.h"
#include "textures/textures.h"
#ifdef VALE_WAVE
#include "platform/x11/wave.h"
#endif

enum class Reader { config, heightmap, tga, pcx, raw, md2, model3ds, wav };
inline volatile double readSink;  // what was read, so that no read is optimised away

inline bool readAll(Reader reader, const uint8_t* data, size_t size) {
    testplatform::reset();
    double sum = 0;
    bool whole = true;
    Image image;
    switch (reader) {
        case Reader::config: {  // it must end, within its buffers
            Config c;
            c.parse(reinterpret_cast<const char*>(data), size);
            sum += c.resolution_width;
            break;
        }
        case Reader::heightmap: {  // then the queries of the ground
            Terrain t{};
            loadHeightMap(t, Bytes(data, data + size));
            float sx, sz;
            for (float x = -30; x <= 30; x += 7.3f)
                for (float z = -30; z <= 30; z += 6.1f) {
                    t.slopeAt(x, z, sx, sz);
                    sum += t.heightAt(x, z) + sx + sz + t.sample(x * 3, z * 3);
                }
            std::free(t.heights);
            break;
        }
        case Reader::tga: decodeTga(data, size, image); break;
        case Reader::pcx: decodePcx(data, size, 64, image); break;
        case Reader::raw: decodeRaw(data, size, 64, image); break;
        case Reader::md2: {  // then a run of playback over every frame it names
            Md2Model m;
            if (!m.importBytes(data, size, "fuzz.md2")) break;
            m.applyFixedTable();
            int32_t from, to;
            float blend;
            for (uint32_t t = 0; t < 3000 && m.advance(t == 700 ? 2 : Md2Model::kContinue, t, from, to, blend); t += 70)
                sum += static_cast<double>(m.model.objects.at(static_cast<size_t>(from)).vertices.size() +
                                           m.model.objects.at(static_cast<size_t>(to)).vertices.size());
            break;
        }
        case Reader::model3ds: {  // every index it leaves inside its arrays
            Model3ds model;
            Loader3ds().importBytes(model, data, size, "fuzz.3ds");
            whole = model.objects.size() == static_cast<size_t>(model.objectCount) &&
                    model.materials.size() == static_cast<size_t>(model.materialCount);
            for (const Object3ds& o : model.objects) {
                whole = whole && o.normals.size() == o.vertices.size();
                for (const Face3ds& f : o.faces)
                    for (int v : f.vertexIndex) whole = whole && v >= 0 && v < o.vertexCount;
            }
            break;
        }
        case Reader::wav: {  // whatever it takes is whole frames of PCM
#ifdef VALE_WAVE
            WaveSound sound;
            whole = !parseWave(data, size, sound) || sound.samples.empty() ||
                    sound.samples.size() % sound.frameBytes() == 0;
#endif
            break;
        }
    }
    for (uint8_t b : image.pixels) sum += b;
    readSink = sum;
    return whole;
}
