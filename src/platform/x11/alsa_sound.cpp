#include "platform/x11/alsa_sound.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/files.h"

namespace {

void quiet(const char*, int, const char*, int, const char*, ...) {}

class Voice {
public:
    ~Voice() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    void play(const char* fileName) {
        std::shared_ptr<const WaveSound> sound = find(fileName);
        if (!sound) return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable()) thread_ = std::thread(&Voice::run, this);
        pending_ = std::move(sound);
        busy_ = true;
        wake_.notify_all();
    }

    void waitIdle() {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return !busy_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    std::shared_ptr<const WaveSound> pending_;
    bool busy_ = false;
    bool stop_ = false;
    // The game thread's alone. Looked up by the name as given: a shot
    // allocates nothing.
    std::map<std::string, std::shared_ptr<const WaveSound>, std::less<>> cache_;

    std::shared_ptr<const WaveSound> find(const char* fileName) {
        auto found = cache_.find(fileName);
        if (found != cache_.end()) return found->second;
        std::vector<uint8_t> bytes;
        auto sound = std::make_shared<WaveSound>();
        if (!readWholeFile(fileName, bytes) || !parseWave(bytes.data(), bytes.size(), *sound)) sound.reset();
        cache_.emplace(fileName, sound);
        return sound;
    }

    // True when a new sound, or the end, has come since this one started.
    bool interrupted() {
        std::lock_guard<std::mutex> lock(mutex_);
        return pending_ || stop_;
    }

    void run() {
        snd_lib_error_set_handler(quiet);
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) == 0)
            snd_pcm_nonblock(pcm, 0);
        else
            pcm = nullptr;
        unsigned setChannels = 0, setRate = 0, setBits = 0;
        for (;;) {
            std::shared_ptr<const WaveSound> sound;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                busy_ = pending_ != nullptr;
                wake_.notify_all();
                wake_.wait(lock, [this] { return pending_ || stop_; });
                if (stop_) break;
                sound = std::move(pending_);
            }
            if (!pcm) continue;
            snd_pcm_drop(pcm);  // cuts off what still plays
            if (sound->channels != setChannels || sound->rate != setRate || sound->bitsPerSample != setBits) {
                const snd_pcm_format_t format = sound->bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
                if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound->channels, sound->rate, 1,
                                       50000) < 0) {
                    setChannels = 0;
                    continue;
                }
                setChannels = sound->channels;
                setRate = sound->rate;
                setBits = sound->bitsPerSample;
            }
            if (snd_pcm_prepare(pcm) < 0) continue;
            write(pcm, *sound);
        }
        if (pcm) snd_pcm_close(pcm);
    }

    // Writes the frames in slices of 10 ms, never more than 50 ms ahead of
    // the clock, so that a new sound can cut in between two slices.
    void write(snd_pcm_t* pcm, const WaveSound& sound) {
        const size_t frameBytes = sound.frameBytes();
        const size_t frames = sound.samples.size() / frameBytes;
        const size_t slice = sound.rate / 100 ? sound.rate / 100 : 1;
        const auto start = std::chrono::steady_clock::now();
        size_t done = 0;
        while (done < frames) {
            if (interrupted()) return;
            const size_t n = frames - done < slice ? frames - done : slice;
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, &sound.samples[done * frameBytes], n);
            if (written < 0 && snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) return;
            if (written > 0) done += static_cast<size_t>(written);
            const auto due = start + std::chrono::microseconds(done * 1000000 / sound.rate) - std::chrono::milliseconds(50);
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait_until(lock, due, [this] { return pending_ || stop_; });
        }
        if (!interrupted()) snd_pcm_drain(pcm);
    }
};

Voice voice;

}  // namespace

namespace alsa {
void play(const char* fileName) { voice.play(fileName); }
void waitIdle() { voice.waitIdle(); }
}  // namespace alsa
