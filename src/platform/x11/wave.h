// Wave files: RIFF/WAVE chunks holding PCM samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// PCM samples of a wave file: interleaved frames, 8-bit unsigned or 16-bit
// signed little-endian, one or two channels.
struct WaveSound {
    unsigned channels = 0;
    unsigned rate = 0;
    unsigned bitsPerSample = 0;
    std::vector<uint8_t> samples;

    size_t frameBytes() const { return channels * bitsPerSample / 8; }
};

// Reads a RIFF/WAVE file by its chunks; false for anything but PCM of the
// kinds above.
bool parseWave(const uint8_t* data, size_t length, WaveSound& sound);
