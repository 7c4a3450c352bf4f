#include <thread>

#include "app/files.h"
#include "platform/x11/alsa_sound.h"
#include "support.h"

namespace {

// A wave file of mono samples with an odd-length chunk before the format,
// as some tools write.
Bytes waveWithList(const Bytes& samples) {
    Bytes b = waveFile(samples, 8000), size;
    b.insert(b.begin() + 12, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'x', 'y', 'z', 0});
    put32(size, static_cast<uint32_t>(b.size() - 8));
    std::copy(size.begin(), size.end(), b.begin() + 4);
    return b;
}

Bytes ramp(size_t frames, int seed) {
    Bytes b;
    for (size_t i = 0; i < frames; ++i) put16(b, static_cast<uint32_t>((i * 37 + seed * 1000) & 0xFFFF));
    return b;
}

}  // namespace

TEST(AlsaSound, PlaysTheWaveAndANewShotCutsTheOldOneOff) {
    // ALSA's file plugin in front of a null device writes what is played.
    const Bytes first = ramp(8000, 1), second = ramp(2000, 2);  // one second, a quarter, at 8 kHz
    TempFile a(waveWithList(first), "a.wav"), b(waveWithList(second), "b.wav"), bad(Bytes(40, 7), "bad.wav");
    const std::string out = a.folder() + "out.raw",
                      text = "pcm.!default { type file slave.pcm \"nul\" file \"" + out + "\" format raw }\npcm.nul { type null }\n";
    TempFile conf(Bytes(text.begin(), text.end()), "asound.conf");
    setenv("ALSA_CONFIG_PATH", conf.path(), 1);

    alsa::play(a.path());
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
}
