// The TGA, PCX and RAW decoders on any bytes; which one is chosen by
// VALE_FUZZ_IMAGE at build time.
#include "platform/testing/test_platform.h"
#include "textures/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testplatform::reset();
    Image image;
#if VALE_FUZZ_IMAGE == 1
    decodeTga(data, size, image);
#elif VALE_FUZZ_IMAGE == 2
    decodePcx(data, size, 64, image);
#else
    decodeRaw(data, size, 64, image);
#endif
    unsigned sum = 0;
    for (uint8_t b : image.pixels) sum += b;
    return sum == 0xFFFFFFFFu;
}
