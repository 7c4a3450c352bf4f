// libFuzzer targets: every reader on any bytes (read_all.h), one target a
// build (VALE_FUZZ_READER); what was built breaking its promises aborts.
#include <cstdlib>

#include "fuzz/read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!readAll(Reader::VALE_FUZZ_READER, data, size)) std::abort();
    return 0;
}
