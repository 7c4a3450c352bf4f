#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/x11/alsa_sound.h"
#include "support.h"
#include "textures/textures.h"

namespace {

// A wave file of 16-bit mono samples, with a chunk before the format as
// some tools write.
Bytes waveFile(const Bytes& samples, unsigned rate, unsigned bits = 16, unsigned format = 1) {
    Bytes b = {'W', 'A', 'V', 'E', 'L', 'I', 'S', 'T', 3, 0, 0, 0, 'x', 'y', 'z', 0, 'f', 'm', 't', ' '};
    put32(b, 16);
    put16(b, format);
    put16(b, 1);
    put32(b, rate);
    put32(b, rate * bits / 8);
    put16(b, bits / 8);
    put16(b, bits);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, static_cast<uint32_t>(samples.size()));
    b.insert(b.end(), samples.begin(), samples.end());
    Bytes riff = {'R', 'I', 'F', 'F'};
    put32(riff, static_cast<uint32_t>(b.size()));
    riff.insert(riff.end(), b.begin(), b.end());
    return riff;
}

Bytes ramp(size_t frames, int seed) {
    Bytes b;
    for (size_t i = 0; i < frames; ++i) put16(b, static_cast<uint32_t>((i * 37 + seed * 1000) & 0xFFFF));
    return b;
}

}  // namespace

TEST(Wave, ChunksAreFoundByIdAndOnlyPcmIsTaken) {
    const Bytes samples = ramp(100, 1);
    Bytes file = waveFile(samples, 22050);
    WaveSound sound;
    ASSERT_TRUE(parseWave(file.data(), file.size(), sound));
    EXPECT_EQ(22050u, sound.rate);
    EXPECT_EQ(1u, sound.channels);
    EXPECT_EQ(samples, sound.samples);
    // Cut short: whole frames of what is there.
    file.resize(file.size() - 51);
    ASSERT_TRUE(parseWave(file.data(), file.size(), sound));
    EXPECT_EQ(samples.size() - 52, sound.samples.size());
    // Compressed, 24-bit and headerless files are refused.
    for (const Bytes& bad : {waveFile(samples, 22050, 16, 2), waveFile(samples, 22050, 24), samples}) {
        WaveSound none;
        EXPECT_FALSE(parseWave(bad.data(), bad.size(), none));
    }
}

TEST(AlsaSound, PlaysTheWaveAndANewShotCutsTheOldOneOff) {
    // ALSA's file plugin in front of a null device writes what is played.
    char dir[] = "/tmp/vale-sound-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    const std::string out = std::string(dir) + "/out.raw", conf = std::string(dir) + "/asound.conf";
    std::ofstream(conf) << "pcm.!default { type file slave.pcm \"nul\" file \"" << out << "\" format raw }\n"
                        << "pcm.nul { type null }\n";
    setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
    const Bytes first = ramp(8000, 1), second = ramp(2000, 2);  // one second, a quarter, at 8 kHz
    TempFile a(waveFile(first, 8000), "a.wav"), b(waveFile(second, 8000), "b.wav"), bad(Bytes(40, 7), "bad.wav");

    const auto start = std::chrono::steady_clock::now();
    alsa::play(a.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));  // returns at once
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    alsa::play(bad.path());
    alsa::play("/nonexistent/shot.wav");
    alsa::play(b.path());
    alsa::waitIdle();

    std::vector<uint8_t> played;
    ASSERT_TRUE(readWholeFile(out.c_str(), played));
    ASSERT_GE(played.size(), second.size());
    const size_t cut = played.size() - second.size();
    EXPECT_LT(cut, first.size() / 2) << "the first shot was not cut off";
    EXPECT_TRUE(std::equal(second.begin(), second.end(), played.begin() + static_cast<long>(cut)));
    EXPECT_TRUE(std::equal(played.begin(), played.begin() + static_cast<long>(cut), first.begin()));
    std::remove(out.c_str());
    std::remove(conf.c_str());
    rmdir(dir);
}
