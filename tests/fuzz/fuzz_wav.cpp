// The wave reader on any bytes: whatever it takes is whole frames of PCM.
#include <cstdlib>

#include "platform/x11/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveSound sound;
    if (parseWave(data, size, sound) && (sound.samples.empty() || sound.samples.size() % sound.frameBytes() != 0))
        std::abort();
    return 0;
}
