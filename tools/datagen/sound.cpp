// The firing sound: a crack, a body of filtered noise and a low thump.
#include <cmath>

#include "datagen/datagen.h"

void writeShot() {
    const int rate = 22050, count = rate * 35 / 100;
    Bytes pcm;
    uint32_t noise = 12345;
    double low = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        noise = noise * 1664525u + 1013904223u;
        const double white = ((noise >> 9) & 0xFFFF) / 32767.5 - 1;
        low += (white - low) * 0.25;
        const double crack = white * det::exp(-t / 0.012);
        const double body = low * det::exp(-t / 0.07) * 1.6;
        const double thump = det::sin(2 * det::kPi * 70 * t) * det::exp(-t / 0.05) * 0.8;
        const double v = det::tanh(1.4 * (crack + body + thump));
        const int s = static_cast<int>(std::lround(v * 30000));
        put16(pcm, static_cast<uint16_t>(static_cast<int16_t>(s)));
    }
    write("sounds/bullet_fire_1.wav", waveFile(pcm, rate));
}
