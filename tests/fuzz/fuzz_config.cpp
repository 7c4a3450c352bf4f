// The configuration reader on any bytes: it must end, and never read or
// write past its buffers.
#include <cstdio>

#include "app/config.h"
#include "platform/testing/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testplatform::reset();
    std::FILE* file = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile();
    if (!file) return 0;
    Config c;
    c.read(file);
    std::fclose(file);
    return 0;
}
