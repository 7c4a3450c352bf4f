// Frame benchmark: the real frame (balls, player, weapon, terrain, weapon
// fire, crosshair) on an offscreen Mesa context at 1024x768, against the same
// frame's commands replayed from a display list (the limit the driver sets)
// and an empty clear-and-finish frame on the same context, measured in
// interleaved rounds with each ratio taken within a round; the full frame's
// frame-time spread; the game code's own CPU time per frame (from the same
// program linked against a do-nothing OpenGL); and instructions per frame
// counted by callgrind.
//
//   vale_bench DATA_PARENT [FRAMES]
#include <GL/osmesa.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/input.h"
#include "app/vale.h"
#include "balls/balls.h"
#include "platform/platform.h"
#include "platform/testing/test_platform.h"
#include "player/player.h"
#include "terrain/camera.h"

#ifdef VALE_NULL_GL
extern "C" void APIENTRY nullActiveTexture(GLenum);
extern "C" void APIENTRY nullMultiTexCoord2f(GLenum, GLfloat, GLfloat);
#endif

namespace {

constexpr int kWidth = 1024, kHeight = 768;

double threadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// Input of frame i: walking forward throughout, turning slowly, and a
// press of the fire button every half second.
void scriptedInput(int i) {
    keyboard.keys['W'] = true;
    mouse.x = mouse.lastX + 2;
    mouse.leftButton = i % 30 < 5;
}

// One frame as the main loop draws it, at a steady 60 frames a second.
void frame(int i) {
    scriptedInput(i);
    testplatform::counter += 1000000 / 60;
    testplatform::ticks += 16;
    drawFrame();
    glFinish();
}

}  // namespace

// The measured loops; callgrind collects inside these only.
extern "C" __attribute__((noinline)) void vale_bench_frames(int first, int count) {
    for (int i = first; i < first + count; ++i) frame(i);
}

extern "C" __attribute__((noinline)) void vale_bench_empty_frames(int count) {
    for (int i = 0; i < count; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glFinish();
    }
}

extern "C" __attribute__((noinline)) void vale_bench_replays(GLuint list, int count) {
    for (int i = 0; i < count; ++i) {
        glCallList(list);
        glFinish();
    }
}

namespace {

// Instructions in a callgrind output file ("summary:" or "totals:" line).
long long callgrindTotal(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    long long total = -1;
    while (std::getline(in, line))
        if (line.rfind("summary:", 0) == 0 || line.rfind("totals:", 0) == 0) total = std::atoll(line.c_str() + line.find(':') + 1);
    return total;
}

// Runs a program of this benchmark under callgrind for `frames` frames
// after a warm-up, collecting in one function; instructions per frame.
double instructionsPerFrame(const std::string& program, const char* dataParent, const char* function, int frames) {
    const std::string out = "/tmp/vale-bench-callgrind-" + std::to_string(getpid()) + "-" + function;
    // Mesa's rasteriser threads would run outside the collected function:
    // without them every instruction of a frame is counted, the same each run.
    const std::string command = "LP_NUM_THREADS=0 valgrind --tool=callgrind --toggle-collect=" + std::string(function) +
                                " --callgrind-out-file=" + out + " " + program + " " + dataParent + " " +
                                std::to_string(frames) + " --inner >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return -1;
    const long long total = callgrindTotal(out);
    std::remove(out.c_str());
    return total < 0 ? -1 : static_cast<double>(total) / frames;
}

std::string selfPath() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    path[n] = '\0';
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DATA_PARENT [FRAMES]\n", argv[0]);
        return 2;
    }
    char dataParentPath[4096];
    if (!realpath(argv[1], dataParentPath)) {
        std::perror(argv[1]);
        return 1;
    }
    const char* dataParent = dataParentPath;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 600;
    const bool inner = argc > 3 && std::strcmp(argv[3], "--inner") == 0;
    const int warmUp = 60;
    if (chdir(dataParent) != 0) {
        std::perror(dataParent);
        return 1;
    }

#ifdef VALE_NULL_GL
    testplatform::procAddress = [](const char* name) -> void* {
        if (!std::strcmp(name, "glActiveTextureARB")) return reinterpret_cast<void*>(nullActiveTexture);
        if (!std::strcmp(name, "glMultiTexCoord2fARB")) return reinterpret_cast<void*>(nullMultiTexCoord2f);
        return nullptr;
    };
#else
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    std::vector<unsigned char> buffer(static_cast<size_t>(kWidth) * kHeight * 4);
    if (!context || !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, kWidth, kHeight)) {
        std::fprintf(stderr, "no offscreen Mesa context\n");
        return 1;
    }
    testplatform::procAddress = [](const char* name) {
        return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
    };
#endif
    testplatform::frequency = 1000000;
    testplatform::counter = 1;
    config = Config{};
    config.resolution_width = kWidth;
    config.resolution_height = kHeight;
    initGl();
    if (!testplatform::boxes.empty()) {
        std::fprintf(stderr, "loading reported: %s %s\n", testplatform::boxes[0].caption.c_str(),
                     testplatform::boxes[0].text.c_str());
        return 1;
    }

#ifndef VALE_NULL_GL
    // The first frame at a fixed state (1/60 s on each clock, no input), as
    // RGBA rows from the bottom: what the browser build's first frame is
    // compared with.
    if (const char* first = std::getenv("VALE_BENCH_FIRST")) {
        testplatform::counter += 1000000 / 60;
        testplatform::ticks += 16;
        drawFrame();
        glFinish();
        std::ofstream(first, std::ios::binary).write(reinterpret_cast<const char*>(buffer.data()),
                                                     static_cast<std::streamsize>(buffer.size()));
        return 0;
    }
#endif
    if (inner) {  // under callgrind: warm up outside the collected loops
        for (int i = 0; i < warmUp; ++i) frame(i);
        vale_bench_frames(warmUp, frames);
        vale_bench_empty_frames(frames);
        return 0;
    }

    vale_bench_frames(0, warmUp);

#ifdef VALE_NULL_GL
    const double cpu0 = threadCpuSeconds();
    vale_bench_frames(warmUp, frames);
    const double fullCpu = threadCpuSeconds() - cpu0;
    // The simulation steps alone, from the same state, for scale.
    const double sim0 = threadCpuSeconds();
    for (int i = 0; i < frames; ++i) {
        ballSet.update();
        player.update();
        player.weaponFire.step(Camera.x, Camera.y, Camera.z, Camera.pitch, Camera.heading);
    }
    const double simSeconds = threadCpuSeconds() - sim0;
#else
    using Clock = std::chrono::steady_clock;
    // The real limit: one full frame's OpenGL commands recorded into a
    // display list and played back, the same pixels with no game code and
    // the least submission cost.
    int next = warmUp;
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    frame(next++);
    glEndList();
    const std::vector<unsigned char> live = buffer;
    if (const char* dump = std::getenv("VALE_BENCH_FRAME")) std::ofstream(dump, std::ios::binary).write(
        reinterpret_cast<const char*>(live.data()), static_cast<std::streamsize>(live.size()));
    std::fill(buffer.begin(), buffer.end(), 0);
    vale_bench_replays(list, 1);
    const bool samePixels = buffer == live;

    // Rounds of the three kinds of frame in alternating blocks of equal
    // length in time, the order turning each round, so that whatever else
    // the machine does falls on all three alike; each ratio is taken within
    // its round.
    constexpr int kRounds = 11;
    constexpr double kBlockSeconds = 0.4;
    std::vector<double> fullTimes, fullFps, replayFps, emptyFps, fullPerReplay, fullPerEmpty;
    double fullCpu = 0;
    for (int round = 0; round < kRounds; ++round) {
        double fps[3] = {};
        for (int k = 0; k < 3; ++k) {
            const int kind = (round + k) % 3;
            const double cpu0 = threadCpuSeconds();
            const auto t0 = Clock::now();
            int count = 0;
            double seconds = 0;
            do {
                if (kind == 0) {  // each frame timed: the spread is what a player feels
                    const auto f0 = Clock::now();
                    vale_bench_frames(next++, 1);
                    fullTimes.push_back(std::chrono::duration<double>(Clock::now() - f0).count());
                } else if (kind == 1) {
                    vale_bench_replays(list, 1);
                } else {
                    vale_bench_empty_frames(1);
                }
                ++count;
                seconds = std::chrono::duration<double>(Clock::now() - t0).count();
            } while (seconds < kBlockSeconds);
            if (kind == 0) fullCpu += threadCpuSeconds() - cpu0;
            fps[kind] = count / seconds;
        }
        fullFps.push_back(fps[0]);
        replayFps.push_back(fps[1]);
        emptyFps.push_back(fps[2]);
        fullPerReplay.push_back(fps[0] / fps[1]);
        fullPerEmpty.push_back(fps[0] / fps[2]);
    }
#endif

    const std::string self = selfPath();
#ifdef VALE_NULL_GL
    std::printf("game code alone (no driver): %.2f us CPU per frame, simulation %.2f us\n",
                fullCpu / frames * 1e6, simSeconds / frames * 1e6);
    const double ir = instructionsPerFrame(self, dataParent, "vale_bench_frames", 100);
    std::printf("game code alone: %.0f instructions per frame (callgrind)\n", ir);
#else
    std::printf("offscreen Mesa (%s), %dx%d, %d rounds of %.1f s of each kind of frame after %d warm-up frames\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kWidth, kHeight, kRounds, kBlockSeconds, warmUp);
    std::printf("                 median   (lowest .. highest round)\n");
    const auto row = [](const char* name, std::vector<double> v, const char* unit) {
        std::sort(v.begin(), v.end());
        const int digits = v.back() < 10 ? 3 : 1;  // ratios to three places, rates to one
        std::printf("%-15s %8.*f   (%.*f .. %.*f)%s\n", name, digits, v[v.size() / 2], digits, v.front(), digits,
                    v.back(), unit);
    };
    row("full frame", fullFps, " fps");
    row("replay", replayFps, samePixels ? " fps, the same pixels" : " fps, OTHER pixels");
    row("empty frame", emptyFps, " fps");
    row("full / replay", fullPerReplay, "   (goal: 0.9 or more)");
    row("full / empty", fullPerEmpty, "");
    std::sort(fullTimes.begin(), fullTimes.end());
    const size_t n = fullTimes.size();
    std::printf("full frame time: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms; CPU %.3f ms a frame\n",
                fullTimes[n / 2] * 1e3, fullTimes[std::min(n - 1, n * 99 / 100)] * 1e3, fullTimes.back() * 1e3,
                fullCpu / static_cast<double>(n) * 1e3);
    std::fflush(stdout);
    const double full = instructionsPerFrame(self, dataParent, "vale_bench_frames", 30);
    const double empty = instructionsPerFrame(self, dataParent, "vale_bench_empty_frames", 30);
    std::printf("instructions per frame (callgrind): full %.0f, empty %.0f\n", full, empty);
    // The same frames with a do-nothing OpenGL: the game code's own work.
    const std::string alone = self + "-nogl";
    if (access(alone.c_str(), X_OK) == 0) {
        std::fflush(stdout);
        const std::string command = alone + " " + dataParent + " " + std::to_string(frames * 10);
        if (std::system(command.c_str()) != 0) return 1;
    }
    OSMesaDestroyContext(context);
#endif
    return 0;
}
