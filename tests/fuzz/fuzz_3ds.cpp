// The 3DS reader on any bytes; every index it leaves must be inside its arrays.
#include <cstdlib>

#include "models3ds/reader3ds.h"
#include "platform/testing/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testplatform::reset();
    Model3ds model;
    Loader3ds loader;
    loader.importBytes(model, data, size, "fuzz.3ds");
    if (model.objects.size() != static_cast<size_t>(model.objectCount) ||
        model.materials.size() != static_cast<size_t>(model.materialCount))
        std::abort();
    for (const Object3ds& o : model.objects) {
        if (o.normals.size() != o.vertices.size()) std::abort();
        for (const Face3ds& f : o.faces)
            for (int v : f.vertexIndex)
                if (v < 0 || v >= o.vertexCount) std::abort();
    }
    return 0;
}
