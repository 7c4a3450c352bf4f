#include "platform/x11/wave.h"

#include <cstring>

#include "app/little_endian.h"

bool parseWave(const uint8_t* data, size_t length, WaveSound& sound) {
    if (length < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return false;
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= length) {
        const uint8_t* chunk = data + pos;
        const size_t size = le32(chunk + 4);
        const size_t room = length - pos - 8;
        const size_t held = size < room ? size : room;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && held >= 16) {
            unsigned format = le16(chunk + 8);
            // The extensible header names its real format in its sub-format.
            if (format == 0xFFFE && held >= 26) format = le16(chunk + 32);
            sound.channels = le16(chunk + 10);
            sound.rate = le32(chunk + 12);
            sound.bitsPerSample = le16(chunk + 22);
            haveFormat = format == 1 && (sound.channels == 1 || sound.channels == 2) &&
                         (sound.bitsPerSample == 8 || sound.bitsPerSample == 16) && sound.rate >= 1000 &&
                         sound.rate <= 384000;
            if (!haveFormat) return false;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            const size_t whole = held - held % sound.frameBytes();
            sound.samples.assign(chunk + 8, chunk + 8 + whole);
            return !sound.samples.empty();
        }
        pos += 8 + held + (held & 1);  // chunks are padded to even lengths
    }
    return false;
}

