// The MD2 reader on any bytes, then a run of playback over what it built.
#include "md2/md2.h"
#include "platform/testing/test_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testplatform::reset();
    Md2Model m;
    if (m.importBytes(data, size, "fuzz.md2")) {
        m.applyFixedTable();
        int32_t from, to;
        float blend;
        for (uint32_t t = 0; t < 3000; t += 70) {
            if (!m.advance(t == 700 ? 2 : Md2Model::kContinue, t, from, to, blend)) break;
            (void)m.model.objects.at(static_cast<size_t>(from)).vertices.size();
            (void)m.model.objects.at(static_cast<size_t>(to)).vertices.size();
        }
    }
    return 0;
}
