// Frame benchmark: the real frame (balls, player, weapon, terrain, weapon
// fire, crosshair) on an offscreen Mesa context at 1024x768, against the same
// frame's commands replayed from a display list (the limit the driver sets)
// and an empty clear-and-finish frame on the same context; the game code's own CPU time
// per frame (from the same program linked against a do-nothing OpenGL); and
// instructions per frame counted by callgrind.
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
#include "app/gl_window.h"
#include "app/input.h"
#include "app/vale.h"
#include "balls/balls.h"
#include "player/player.h"
#include "platform/testing/test_platform.h"
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

    if (inner) {  // under callgrind: warm up outside the collected loops
        for (int i = 0; i < warmUp; ++i) frame(i);
        vale_bench_frames(warmUp, frames);
        vale_bench_empty_frames(frames);
        return 0;
    }

    vale_bench_frames(0, warmUp);
    using Clock = std::chrono::steady_clock;
    const double cpu0 = threadCpuSeconds();
    auto t0 = Clock::now();
    vale_bench_frames(warmUp, frames);
    [[maybe_unused]] const double fullSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const double fullCpu = threadCpuSeconds() - cpu0;

    // The simulation steps alone, from the same state, for scale.
    const double sim0 = threadCpuSeconds();
    for (int i = 0; i < frames; ++i) {
        ballSet.update();
        player.update();
        player.weaponFire.step(Camera.x, Camera.y, Camera.z, Camera.pitch, Camera.heading);
    }
    [[maybe_unused]] const double simSeconds = threadCpuSeconds() - sim0;

    t0 = Clock::now();
    vale_bench_empty_frames(frames);
    [[maybe_unused]] const double emptySeconds = std::chrono::duration<double>(Clock::now() - t0).count();

#ifndef VALE_NULL_GL
    // The real limit: one full frame's OpenGL commands recorded into a
    // display list and played back, the same pixels with no game code and
    // the least submission cost.
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    frame(warmUp + frames);
    glEndList();
    const std::vector<unsigned char> live = buffer;
    if (const char* dump = std::getenv("VALE_BENCH_FRAME")) std::ofstream(dump, std::ios::binary).write(
        reinterpret_cast<const char*>(live.data()), static_cast<std::streamsize>(live.size()));
    std::fill(buffer.begin(), buffer.end(), 0);
    vale_bench_replays(list, 1);
    const bool samePixels = buffer == live;
    t0 = Clock::now();
    vale_bench_replays(list, frames);
    const double replaySeconds = std::chrono::duration<double>(Clock::now() - t0).count();
#endif

    const std::string self = selfPath();
#ifdef VALE_NULL_GL
    std::printf("game code alone (no driver): %.2f us CPU per frame, simulation %.2f us\n",
                fullCpu / frames * 1e6, simSeconds / frames * 1e6);
    const double ir = instructionsPerFrame(self, dataParent, "vale_bench_frames", 100);
    std::printf("game code alone: %.0f instructions per frame (callgrind)\n", ir);
#else
    const double fullFps = frames / fullSeconds, emptyFps = frames / emptySeconds;
    std::printf("offscreen Mesa (%s), %dx%d, %d frames after %d warm-up frames\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kWidth, kHeight, frames, warmUp);
    std::printf("full frame:  %8.1f fps  (%.3f ms, CPU %.3f ms)\n", fullFps, 1e3 / fullFps, fullCpu / frames * 1e3);
    std::printf("empty frame: %8.1f fps  (%.3f ms)\n", emptyFps, 1e3 / emptyFps);
    const double replayFps = frames / replaySeconds;
    std::printf("replay:      %8.1f fps  (%.3f ms; the frame's commands from a display list, %s pixels)\n",
                replayFps, 1e3 / replayFps, samePixels ? "the same" : "OTHER");
    std::printf("full / replay: %6.2f     (goal: 0.9 or more)\n", fullFps / replayFps);
    std::printf("full / empty:  %6.2f\n", fullFps / emptyFps);
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
